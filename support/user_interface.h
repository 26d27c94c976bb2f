#pragma once

#include <QString>
#include <QStringList>

namespace tessarel {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };
/// How a row of the build log went: a warning is done, but needs a look.
enum class RowStatus { Ok, Warning, Failed };

/// How a build, or the reading and writing of a project file, reports to the
/// user: log rows, progress, the caption, Cancel, and the messages the logic
/// itself must give (a failed write, a critical error). The main window, the
/// console program and the tests' recording fake implement it. What only a
/// front end does (the preview browser, the shell, help, the busy window,
/// ending the program) is the front end's own (app/front_end.h): the logic
/// tells it through results, such as a critical error in a build's result, and
/// the busy window watches a project file through `FileProgress`
/// (support/file_progress.h). No code outside app/ touches a widget.
///
/// A window build runs on a thread of its own: its implementation then hands
/// every call to the window's thread, and cancelRequested() is read there, so
/// the window's implementation keeps the flag atomic.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    /// A message the logic must give; returns the button the user chose. A
    /// build never asks a question whose answer changes what it does: those
    /// are asked before it starts.
    virtual MessageAnswer message(const QString& title, const QString& text, MessageIcon icon,
                                  MessageButtons buttons) = 0;

    /// One row of the build log. Every cell is cut to kLogCellLength
    /// characters, so a huge name cannot flood the console or the window.
    void addLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                   const QString& output) {
        showLogRow(logCell(reason), logCell(item), status, logCell(title), logCell(output));
    }
    /// What an outside tool of the build said, for the build's log text.
    virtual void addLogText(const QString& text) { (void)text; }
    virtual void setProgressMaximum(int max) = 0;
    virtual void resetProgress() = 0;
    virtual void advanceProgress() = 0;
    /// The caption naming the current work.
    virtual void setProgressCaption(const QString& caption) = 0;
    /// How many of a build's `total` parts are done, so the progress display
    /// can rise with the whole build rather than with each file alone.
    virtual void setPartsDone(int done, int total) {
        (void)done;
        (void)total;
    }

    /// A build begins: the progress display shows. `projectBuild` is false
    /// for a single file.
    virtual void buildStarted(bool projectBuild) { (void)projectBuild; }
    /// The build has ended.
    virtual void buildFinished(bool projectBuild) { (void)projectBuild; }

    /// Asked before a whole written file takes its target's place. A writer
    /// running beside others waits here for those before it; false (one of
    /// them failed) drops the file, as if it had never been written.
    virtual bool mayReplaceFile(const QString& path) {
        (void)path;
        return true;
    }

    /// The user's request to stop a running build.
    virtual bool cancelRequested() const = 0;
    virtual void setCancelRequested(bool requested) = 0;

    static constexpr qsizetype kLogCellLength = 200;
    /// `text`, or its first kLogCellLength characters and "…" when it is longer.
    static QString logCell(const QString& text) {
        if (text.size() <= kLogCellLength) {
            return text;
        }
        // Never half a surrogate pair.
        const qsizetype cut = text.at(kLogCellLength - 1).isHighSurrogate() ? kLogCellLength - 1 : kLogCellLength;
        return text.left(cut) + QChar(0x2026);
    }

protected:
    /// Shows a row of the build log, its cells already cut.
    virtual void showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                            const QString& output) = 0;
};

}  // namespace tessarel
