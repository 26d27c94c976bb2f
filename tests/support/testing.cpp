#include "testing.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <optional>
#include <utility>

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

void RecordingUserInterface::showLogRow(const QString& reason, const QString& item, RowStatus status,
                                        const QString& title, const QString& output) {
    log.push_back({reason, item, status, title, output});
    progressValue = 0;
}

void RecordingUserInterface::setProgressMaximum(int max) { progressMax = max; }

void RecordingUserInterface::resetProgress() {
    progressValue = 0;
    ++progressResets;
}

void RecordingUserInterface::advanceProgress() {
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

void RecordingUserInterface::show(const QString& title, const QString& current, int maximum) {
    busyShown = true;
    ++busyShows;
    busyTitle = title;
    busyCurrent = current;
    busyMax = maximum;
}

void RecordingUserInterface::buildStarted(bool) { ++buildsStarted; }
void RecordingUserInterface::buildFinished(bool) { ++buildsFinished; }

TestEnvironment::TestEnvironment() {
    const QString base = root.path() + QLatin1Char('/');
    QDir().mkpath(base + QStringLiteral("program/styles"));
    QDir().mkpath(base + QStringLiteral("data"));
    const QDir styles(QStringLiteral(TESSAREL_STYLES_DIR));
    for (const QString& name : styles.entryList({QStringLiteral("*.css")}, QDir::Files)) {
        QFile::copy(styles.filePath(name), base + QStringLiteral("program/styles/") + name);
    }
    preferences = std::make_unique<Preferences>(base + QStringLiteral("data/Tessarel.conf"));
    env = std::make_unique<Environment>(Environment{
        ui, *preferences,
        AppPaths{base + QStringLiteral("program/"), base + QStringLiteral("data/"), cache.path() + QLatin1Char('/')}});
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

std::map<QString, QByteArray> Tree(const QString& folder) {
    std::map<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QByteArray& entry = tree[QDir(folder).relativeFilePath(info.filePath())];
        if (info.isSymLink()) {
            entry = "link to " + info.symLinkTarget().toUtf8();
        } else if (info.isDir()) {
            entry = "folder";
        } else {
            // A pipe would wait for a writer.
            entry = info.isFile() ? ReadBytes(info.filePath()) : QByteArray("special file");
        }
    }
    return tree;
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

void WriteScript(const QString& path, const QString& script) {
    WriteBytes(path, script.toUtf8());
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
}

std::vector<qint64> ReadPids(const QString& file) {
    std::vector<qint64> pids;
    for (const QByteArray& line : ReadBytes(file).split('\n')) {
        bool ok = false;
        const qint64 pid = line.trimmed().toLongLong(&ok);
        if (ok && pid > 0) {
            pids.push_back(pid);
        }
    }
    return pids;
}

namespace {

/// The state and the parent of a process ("pid (name) S ppid ...": they
/// follow the last ")"); nothing when it cannot be read.
std::optional<std::pair<char, qint64>> ProcessStatus(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    const QList<QByteArray> fields = line.mid(close + 1).trimmed().split(' ');
    if (close < 0 || fields.size() < 2 || fields[0].isEmpty()) {
        return std::pair{'?', qint64{0}};
    }
    return std::pair{fields[0].at(0), fields[1].toLongLong()};
}

bool ProcessRuns(qint64 pid) {
    if (const auto status = ProcessStatus(pid)) {
        return status->first != 'Z';
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0 && !QFileInfo::exists(QStringLiteral("/proc/self"));
}

}  // namespace

bool PidsWritten(const QString& file, size_t count, int waitMs) {
    for (int waited = 0; ReadPids(file).size() < count; waited += 50) {
        if (waited >= waitMs) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

bool ChildProcessRuns() {
    const qint64 self = QCoreApplication::applicationPid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return std::any_of(entries.cbegin(), entries.cend(), [self](const QString& entry) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        const auto status = number ? ProcessStatus(pid) : std::nullopt;
        return status && status->second == self && status->first != 'Z';
    });
}

bool ProcessesEnded(const std::vector<qint64>& pids, int waitMs) {
    for (int waited = 0;; waited += 50) {
        if (std::none_of(pids.begin(), pids.end(), ProcessRuns)) {
            return true;
        }
        if (waited >= waitMs) {
            return false;
        }
        QThread::msleep(50);
    }
}

}  // namespace tessarel::testing
