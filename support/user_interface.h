#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

namespace tessarel {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };
/// How a row of the build log went: a warning is done, but needs a look.
enum class RowStatus { Ok, Warning, Failed };

/// Everything the logic says to or asks of the user goes through here. The main
/// window, the console program and the tests' recording fake implement it, so no
/// code outside app/ ever touches a widget.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    /// A modal message box; returns the button the user chose.
    virtual MessageAnswer message(const QString& title, const QString& text, MessageIcon icon,
                                  MessageButtons buttons) = 0;

    // Build log and progress (the progress window's operations).
    /// One row of the build log. Every cell is cut to kLogCellLength
    /// characters, so a huge name cannot flood the console or the window.
    void addLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                   const QString& output) {
        showLogRow(logCell(reason), logCell(item), status, logCell(title), logCell(output));
    }
    virtual void setProgressMaximum(int max) = 0;
    virtual void resetProgress() = 0;
    virtual void advanceProgress() = 0;
    /// The caption naming the current work.
    virtual void setProgressCaption(const QString& caption) = 0;

    /// The user's request to stop a running build.
    virtual bool cancelRequested() const = 0;
    virtual void setCancelRequested(bool requested) = 0;

    /// The busy display shown while a project file is read or written.
    virtual void showBusy(const QString& title, const QString& current, int maximum) = 0;
    virtual void setBusyValue(int value) = 0;
    virtual void hideBusy() = 0;

    virtual void navigate(const QString& path) = 0;           ///< point the preview browser at a file
    virtual void shellOpen(const QString& target) = 0;        ///< open with the associated program
    virtual void showHelpTopic(const QString& helpPath) = 0;  ///< "file.chm::/topic.htm" or a .chm
    /// Asks the application to end in an orderly way (after a critical error).
    virtual void requestQuit() = 0;

    /// A build begins: show the progress window and lock the commands that would
    /// start another build. `projectBuild` is false for a single file.
    virtual void buildStarted(bool projectBuild) { (void)projectBuild; }
    /// The build has ended: unlock the commands again.
    virtual void buildFinished(bool projectBuild) { (void)projectBuild; }
    /// How many of a build's `total` parts are done, so the progress display
    /// can rise with the whole build rather than with each file alone.
    virtual void setPartsDone(int done, int total) {
        (void)done;
        (void)total;
    }
    /// What an outside tool of the build said, for the build's log text.
    virtual void addLogText(const QString& text) { (void)text; }

    /// Lets the window repaint and react. Cheap to call often: the event loop is
    /// entered at most every few milliseconds.
    void yield() {
        if (!yieldClock_.isValid()) {
            yieldClock_.start();
        } else if (yieldClock_.elapsed() < kYieldIntervalMs) {
            return;
        }
        yieldClock_.restart();
        processEvents();
    }

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
    /// Runs pending window events; a console has none.
    virtual void processEvents() {}

private:
    static constexpr qint64 kYieldIntervalMs = 8;
    QElapsedTimer yieldClock_;
};

/// Calls UserInterface::yield() once every `stride` ticks, so that character
/// walks over megabytes do not even look at the clock per character.
class Yielder {
public:
    explicit Yielder(UserInterface& ui, int stride = 4096) : ui_(ui), stride_(stride), left_(stride) {}
    void tick() {
        if (--left_ <= 0) {
            left_ = stride_;
            ui_.yield();
        }
    }

private:
    UserInterface& ui_;
    int stride_;
    int left_;
};

}  // namespace tessarel
