#pragma once

#include <QElapsedTimer>

#include "cli/console.h"
#include "support/user_interface.h"

namespace tessarel::cli {

/// A log cell, caption or path on one line: control characters of a file name
/// (a line feed, an escape sequence) are shown as C escapes, never obeyed. A
/// tab breaks no line and stays.
QString OneLine(const QString& text);

/// The user interface of the console program: the build log as lines on stdout,
/// messages on stderr, progress as a live line, Ctrl+C as the Cancel button.
/// Questions take their default answer.
class ConsoleUserInterface : public UserInterface {
public:
    explicit ConsoleUserInterface(Console& console) : console_(console) {}

    MessageAnswer message(const QString& title, const QString& text, MessageIcon icon, MessageButtons buttons) override;
    void setProgressMaximum(int max) override;
    void resetProgress() override;
    void advanceProgress() override;
    void setProgressCaption(const QString& caption) override;
    bool cancelRequested() const override;
    void setCancelRequested(bool requested) override { cancel_ = requested; }
    /// The help topic a build's result names (the console has no browser).
    void showHelpTopic(const QString& helpPath);
    /// A critical error has been reported: the program ends once this build has.
    void requestQuit() { quitRequested_ = true; }
    void buildFinished(bool projectBuild) override;
    void addLogText(const QString& text) override;

    bool quitRequested() const { return quitRequested_; }
    /// Shows only the log rows of files that failed (the watch mode's rebuilds).
    void setFailedRowsOnly(bool only) { failedRowsOnly_ = only; }
    /// The FAIL rows logged so far, shown or not: each one fails the run.
    int failedRows() const { return failedRows_; }
    Console& console() { return console_; }

protected:
    void showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                    const QString& output) override;

private:
    void showProgress();

    Console& console_;
    bool cancel_ = false;
    bool quitRequested_ = false;
    bool failedRowsOnly_ = false;
    int failedRows_ = 0;
    static constexpr qint64 kRedrawIntervalMs = 100;
    QString caption_;
    QString drawnCaption_;
    QElapsedTimer redrawClock_;
    int progressMax_ = 100;
    int progressValue_ = 0;
};

}  // namespace tessarel::cli
