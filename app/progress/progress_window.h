#pragma once

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
class frmProgress : public QDialog {
    Q_OBJECT
public:
    /// Chapter Title column widths, in twips, before and from the twelfth row on.
    static constexpr int kTitleColumnTwips = 1570;
    static constexpr int kNarrowTitleColumnTwips = 1315;
    static constexpr int kTitleColumn = 3;

    explicit frmProgress(QWidget* owner);

    /// `projectBaseName` is "" without a project; `onTop` follows the main window.
    void Form_Load(const QString& projectBaseName, bool onTop);

    void addLogRow(const QString& strReason, const QString& strItem, bool blnStatus, const QString& strParam3,
                   const QString& strParam4);
    void setProgressMaximum(int nMax);
    void resetProgress();
    void advanceProgress();
    /// The bar starts again for the next file; the log keeps its lines.
    void restartBar();
    void setCurrent(const QString& caption);
    /// The build is over: OK enabled, Cancel disabled, the normal pointer back.
    void setFinished();
    /// Closes the window from the program (the main window ends, or "On Top").
    void unload();

    /// Brings the bar, the caption, the log and the table up to date at once.
    /// While a build runs that happens a few times a second: a progress bar
    /// repaints itself on every step and views lay out on every row, which,
    /// done per step, would cost a build far more than its own work.
    void updateDisplay();
    int progressValue() const { return value_; }
    int progressMaximum() const { return maximum_; }
    QString current() const { return caption_; }

    QProgressBar* ProgressBar1;
    QPlainTextEdit* txtFile;
    QTableWidget* ListView1;
    QLabel* lblCurrent;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    int ItemCount = 0;

Q_SIGNALS:
    /// Cancel was pressed: the build should stop at its next file.
    void cancelBuild();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    struct Row {
        QString time, reason, item, title, output;
        bool status = false;
    };

    void cmdCancel_Click();
    void cmdOK_Click();
    int twips(int value) const;
    void scheduleDisplay();
    bool running() const;

    QTimer* displayTimer_;
    int value_ = 0;
    int maximum_ = 100;
    QString caption_;
    QStringList pendingLines_;
    std::vector<Row> pendingRows_;
    QIcon okIcon_;
    QIcon failedIcon_;
    bool closing_ = false;
};

/// The time as the log shows it: the user's long time format.
QString LogTimeText();

}  // namespace tessarel
