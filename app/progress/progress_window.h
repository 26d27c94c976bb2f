#pragma once

#include "support/user_interface.h"

#include <QDialog>
#include <QIcon>
#include <QStringList>

#include <vector>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace tessarel {

/// The build progress window: a bar for the current file, a running log, a
/// table with one row per processed file, Cancel while a build runs and OK
/// when it is over. It has no close command: only OK closes it.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    /// Steps of the bar for each part of a build: the current part's own
    /// progress moves the bar within its share.
    static constexpr int kStepsPerPart = 1000;

    explicit ProgressWindow(QWidget* owner);

    /// `projectBaseName` is "" without a project; `onTop` follows the main window.
    void prepare(const QString& projectBaseName, bool onTop);

    void addLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                   const QString& output);
    /// Lines for the log text alone, such as a tool's output.
    void addLogText(const QString& text);
    void setProgressMaximum(int maximum);
    /// `done` of the build's `total` parts are over: the bar shows the whole build.
    void setPartsDone(int done, int total);
    void resetProgress();
    void advanceProgress();
    /// The bar starts again for the next file; the log keeps its lines.
    void restartBar();
    void setCurrent(const QString& caption);
    /// The build is over: OK enabled, Cancel disabled, the normal pointer back,
    /// and, unless it was cancelled, a full bar.
    void setFinished();
    /// Closes the window from the program (the main window ends, or "On Top").
    void unload();

    /// Brings the bar, the caption, the log and the table up to date at once.
    /// While a build runs that happens a few times a second: a progress bar
    /// repaints itself on every step and views lay out on every row, which,
    /// done per step, would cost a build far more than its own work.
    void updateDisplay();
    int progressValue() const { return value_; }

    QProgressBar* progressBar;
    QPlainTextEdit* logText;
    QTableWidget* logView;
    QLabel* currentLabel;
    QPushButton* okButton;
    QPushButton* cancelButton;
    int loggedRows = 0;

Q_SIGNALS:
    /// Cancel was pressed: the build should stop at its next file.
    void cancelBuild();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reject() override;

private:
    struct Row {
        QString time, reason, item, title, output;
        RowStatus status = RowStatus::Failed;
    };

    void cancel();
    void scheduleDisplay();
    /// The columns follow their texts until the user sizes one.
    void fitColumns();
    /// The widest cell of `column`, as the view would size it to its contents.
    int contentWidth(int column);
    bool running() const;

    QTimer* displayTimer_;
    int value_ = 0;
    int maximum_ = 100;
    int partsDone_ = 0;
    int partsTotal_ = 0;
    bool finished_ = false;
    bool cancelled_ = false;
    bool userSizedColumns_ = false;
    bool fittingColumns_ = false;
    /// The widest cell of each column among the first `measuredRows_` rows: a
    /// row is measured once, so a log of thousands of rows fits as fast as a
    /// short one.
    std::vector<int> cellWidths_;
    int measuredRows_ = 0;
    QString caption_;
    QStringList pendingLines_;
    std::vector<Row> pendingRows_;
    QIcon okIcon_;
    QIcon warningIcon_;
    QIcon failedIcon_;
    bool closing_ = false;
};

/// The time as the log shows it: the user's long time format.
QString LogTimeText();

}  // namespace tessarel
