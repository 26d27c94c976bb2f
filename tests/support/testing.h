#pragma once

#include "support/environment.h"
#include "support/file_progress.h"
#include "support/user_interface.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <vector>

namespace tessarel::testing {

/// A user interface that records everything said to it and answers messages
/// from a script (OK/Yes by default).
class RecordingUserInterface : public UserInterface, public FileProgress {
public:
    struct Message {
        QString title;
        QString text;
        MessageIcon icon;
        MessageButtons buttons;
    };
    struct LogLine {
        QString reason, item;
        RowStatus status;
        QString title, output;
    };

    MessageAnswer message(const QString& title, const QString& text, MessageIcon icon, MessageButtons buttons) override;
    void setProgressMaximum(int max) override;
    void resetProgress() override;
    void advanceProgress() override;
    void setProgressCaption(const QString& caption) override;
    bool cancelRequested() const override {
        if (onCancelCheck) {
            onCancelCheck();
        }
        return cancel;
    }
    void setCancelRequested(bool requested) override { cancel = requested; }
    // As the progress of a project file.
    void show(const QString& title, const QString& current, int maximum) override;
    void setValue(int value) override { busyValue = value; }
    void hide() override { busyShown = false; }
    void buildStarted(bool projectBuild) override;
    void buildFinished(bool projectBuild) override;
    void addLogText(const QString& text) override { logText << text; }
    void setPartsDone(int done, int total) override {
        partsDone = done;
        partsTotal = total;
    }

    /// Answers given to message boxes in order; when empty, Ok or Yes.
    std::deque<MessageAnswer> answers;
    /// Called whenever Cancel is looked at; a test may cancel here.
    std::function<void()> onCancelCheck;
    /// Called before each chapter's progress caption is set; a test may cancel here.
    std::function<void(const QString& caption)> onCaption;

    std::vector<Message> messages;
    std::vector<LogLine> log;
    QStringList logText, captions;
    int progressMax = 100, progressValue = 0, progressResets = 0, progressSteps = 0;
    bool cancel = false, busyShown = false;
    int busyShows = 0, busyMax = 0, busyValue = 0;
    QString busyTitle, busyCurrent;
    int buildsStarted = 0, buildsFinished = 0;
    int partsDone = 0, partsTotal = 0;

protected:
    void showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                    const QString& output) override;
};

/// A temporary program folder (with the shipped style sheets), data and cache
/// folders and preference store, so no test touches the user's files.
class TestEnvironment {
public:
    TestEnvironment();
    RecordingUserInterface ui;
    QTemporaryDir root;
    /// The cache folder, beside the root: tests that watch the root see only what a build writes there.
    QTemporaryDir cache;
    std::unique_ptr<Preferences> preferences;
    std::unique_ptr<Environment> env;

    QString programFolder() const { return env->paths.programFolder; }
    QString dataFolder() const { return env->paths.dataFolder; }
    /// A path inside the temporary root.
    QString path(const QString& relative) const;
};

/// Reads a file's bytes; "" when missing.
QByteArray ReadBytes(const QString& path);
/// Writes bytes, creating folders as needed.
void WriteBytes(const QString& path, const QByteArray& bytes);
/// Every entry under a folder by its path below it: a link as where it points,
/// a folder as "folder", a regular file as its bytes, a pipe or device as "special file".
std::map<QString, QByteArray> Tree(const QString& folder);
/// "\n" in a literal becomes CR LF, so expected pages can be written readably.
QString Crlf(const QString& text);
/// Up to `most` - 1 pieces drawn at random, joined: the random texts that
/// compare a fast pass with the rule it stands for.
QString RandomText(QRandomGenerator& random, const QStringList& pieces, int most);

/// Writes a shell script that its owner may run.
void WriteScript(const QString& path, const QString& script);
/// The process ids a script wrote to `file`, one a line.
std::vector<qint64> ReadPids(const QString& file);
/// True once none of the processes runs any more (a zombie counts as ended);
/// waits up to `waitMs` for them.
bool ProcessesEnded(const std::vector<qint64>& pids, int waitMs = 10000);
/// True once `file` names at least `count` processes; waits up to `waitMs`
/// (a ceiling for a busy machine) for a script to write them.
bool PidsWritten(const QString& file, size_t count, int waitMs = 60000);
/// True while a process that this one started runs (a zombie does not count).
bool ChildProcessRuns();

}  // namespace tessarel::testing

/// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
