#pragma once

#include "support/file_progress.h"
#include "support/user_interface.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace tessarel {

/// The user of programs that run without one (the benchmarks, the fuzzing
/// harnesses): every question is answered with Yes or OK, what the program
/// says is remembered, nothing is shown or started.
class QuietUserInterface : public UserInterface, public FileProgress {
public:
    struct Message {
        QString title, text;
        MessageIcon icon;
    };
    struct LogRow {
        QString reason, item;
        RowStatus status;
        QString title, output;
    };

    MessageAnswer message(const QString& title, const QString& text, MessageIcon icon, MessageButtons buttons) override;
    void setProgressMaximum(int) override {}
    void resetProgress() override {}
    void advanceProgress() override {}
    void setProgressCaption(const QString&) override {}
    bool cancelRequested() const override { return false; }
    void setCancelRequested(bool) override {}
    // As the progress of a project file: checks the values it is given.
    void show(const QString& title, const QString& current, int maximum) override;
    void setValue(int value) override;
    void hide() override { busyShown = false; }

    /// Forgets everything, ready for the next input.
    void reset();
    /// The log rows that report a failure.
    int failedRows() const;

    /// Also writes every message to stderr, for a person watching a benchmark.
    bool echoMessages = false;

    std::vector<Message> messages;
    std::vector<LogRow> log;
    bool busyShown = false;
    int busyShows = 0, busyMaximum = 0, busyValue = 0;
    QString busyTitle;
    /// Busy values set while the display was hidden or outside 0..maximum.
    QStringList busyFaults;

protected:
    void showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                    const QString& output) override;
};

}  // namespace tessarel
