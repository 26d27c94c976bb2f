#pragma once

#include <QDialog>
#include <QIcon>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;

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

    void AddItem(const QString& strReason, const QString& strItem, bool blnStatus, const QString& strParam3,
                 const QString& strParam4);
    void SetProgressMax(int nMax);
    void ResetProgress();
    void AddProgress();
    void setCurrent(const QString& caption);
    /// The build is over: OK enabled, Cancel disabled, the normal pointer back.
    void setFinished();
    /// Closes the window from the program (the main window ends, or "On Top").
    void unload();

    QProgressBar* ProgressBar1;
    QPlainTextEdit* txtFile;
    QTreeWidget* ListView1;
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
    void cmdCancel_Click();
    void cmdOK_Click();
    int twips(int value) const;

    QIcon okIcon_;
    QIcon failedIcon_;
    bool closing_ = false;
};

/// The time as the log shows it: the user's long time format.
QString LogTimeText();

}  // namespace tessarel
