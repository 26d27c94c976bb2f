#include "testing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tessarel::testing {

MessageAnswer RecordingUserInterface::message(const QString& title, const QString& text, MessageIcon icon,
                                              MessageButtons buttons) {
    messages.push_back({title, text, icon, buttons});
    if (!answers.empty()) {
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel) ? MessageAnswer::Yes
                                                                                         : MessageAnswer::Ok;
}

void RecordingUserInterface::AddItem(const QString& reason, const QString& item, bool status, const QString& title,
                                     const QString& output) {
    log.push_back({reason, item, status, title, output});
    progressValue = 0;
}

void RecordingUserInterface::SetProgressMax(int max) { progressMax = max; }

void RecordingUserInterface::ResetProgress() {
    progressValue = 0;
    ++progressResets;
}

void RecordingUserInterface::AddProgress() {
    ++progressSteps;
    if (progressValue < progressMax) {
        ++progressValue;
    }
}

void RecordingUserInterface::setProgressCaption(const QString& caption) {
    if (onCaption) {
        onCaption(caption);
    }
    captions << caption;
}

void RecordingUserInterface::showBusy(const QString& title, const QString& current, int maximum) {
    busyShown = true;
    ++busyShows;
    busyTitle = title;
    busyCurrent = current;
    busyMax = maximum;
}

bool RecordingUserInterface::startProgram(const QString& program, const QStringList& arguments,
                                          const QString& workingFolder) {
    started.push_back({program, arguments, workingFolder});
    return startSucceeds;
}

void RecordingUserInterface::buildStarted(bool) { ++buildsStarted; }
void RecordingUserInterface::buildFinished(bool) { ++buildsFinished; }

TestEnvironment::TestEnvironment() {
    const QString base = root.path() + QLatin1Char('/');
    QDir().mkpath(base + QStringLiteral("program/styles"));
    QDir().mkpath(base + QStringLiteral("data"));
    const QDir styles(QStringLiteral(TESSAREL_SOURCE_DIR "/styles"));
    for (const QString& name : styles.entryList({QStringLiteral("*.css")}, QDir::Files)) {
        QFile::copy(styles.filePath(name), base + QStringLiteral("program/styles/") + name);
    }
    preferences = std::make_unique<Preferences>(base + QStringLiteral("data/Tessarel.conf"));
    env = std::make_unique<Environment>(
        Environment{ui, *preferences, AppPaths{base + QStringLiteral("program/"), base + QStringLiteral("data/")}});
}

QString TestEnvironment::path(const QString& relative) const { return root.path() + QLatin1Char('/') + relative; }

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
}

QString Crlf(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return result;
}

QString RandomText(QRandomGenerator& random, const QStringList& pieces, int most) {
    QString text;
    const int count = random.bounded(0, most);
    for (int k = 0; k < count; ++k) {
        text += pieces[random.bounded(pieces.size())];
    }
    return text;
}

}  // namespace tessarel::testing
