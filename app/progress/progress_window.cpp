#include "app/progress/progress_window.h"

#include "app/icons.h"
#include "app/window_utilities.h"
#include "support/string_functions.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTime>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tessarel {

QString LogTimeText() {
    // The long format without the time zone, which a log line does not need.
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return TrimSpaces(QTime::currentTime().toString(format));
}

frmProgress::frmProgress(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ProgressBar1(new QProgressBar(this)),
      txtFile(new QPlainTextEdit(this)),
      ListView1(new QTreeWidget(this)),
      lblCurrent(new QLabel(this)),
      cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      okIcon_(ProgressIcon(true)),
      failedIcon_(ProgressIcon(false)) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("Progress"));
    setModal(false);
    txtFile->setReadOnly(true);
    txtFile->setMaximumBlockCount(0);
    txtFile->setLineWrapMode(QPlainTextEdit::NoWrap);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setUniformRowHeights(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCurrent);
    layout->addWidget(ProgressBar1);
    layout->addWidget(txtFile, 1);
    layout->addWidget(ListView1, 2);
    layout->addLayout(buttons);
    resize(640, 440);

    connect(cmdOK, &QPushButton::clicked, this, &frmProgress::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmProgress::cmdCancel_Click);
}

int frmProgress::twips(int value) const { return TwipsToPixels(value, ScreenDpi(this)); }

void frmProgress::Form_Load(const QString& projectBaseName, bool onTop) {
    ItemCount = 0;
    if (onTop) {
        MakeTopmost(this);
    }
    if (!projectBaseName.isEmpty()) {
        setWindowTitle(projectBaseName + QStringLiteral(" - Progress"));
    }
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    txtFile->clear();
    cmdOK->setEnabled(false);
    ListView1->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Reason"), QStringLiteral("Input File"),
                                QStringLiteral("Chapter Title"), QStringLiteral("Output File")});
    ListView1->setColumnWidth(kTitleColumn, twips(kTitleColumnTwips));
}

void frmProgress::ResetProgress() {
    ProgressBar1->setValue(0);
    txtFile->clear();
    cmdOK->setEnabled(false);
    cmdCancel->setEnabled(true);
    setCursor(Qt::WaitCursor);
}

void frmProgress::SetProgressMax(int nMax) { ProgressBar1->setMaximum(nMax); }

void frmProgress::AddProgress() {
    if (ProgressBar1->value() < ProgressBar1->maximum()) {
        ProgressBar1->setValue(ProgressBar1->value() + 1);
    }
}

void frmProgress::AddItem(const QString& strReason, const QString& strItem, bool blnStatus, const QString& strParam3,
                          const QString& strParam4) {
    ++ItemCount;
    if (ItemCount == 12) {
        // From the twelfth row on the table shows a scroll bar; the title column makes room.
        ListView1->setColumnWidth(kTitleColumn, twips(kNarrowTitleColumnTwips));
    }
    const QString time = LogTimeText();
    txtFile->appendPlainText(time + QStringLiteral("  --  ") + strItem);
    txtFile->verticalScrollBar()->setValue(txtFile->verticalScrollBar()->maximum());
    ProgressBar1->setValue(0);

    auto* row = new QTreeWidgetItem(ListView1, {time, strReason, strItem, strParam3, strParam4});
    row->setIcon(0, blnStatus ? okIcon_ : failedIcon_);
    ListView1->setCurrentItem(row);
    ListView1->scrollToItem(row);
}

void frmProgress::setCurrent(const QString& caption) { lblCurrent->setText(caption); }

void frmProgress::setFinished() {
    cmdOK->setEnabled(true);
    cmdCancel->setEnabled(false);
    unsetCursor();
}

void frmProgress::cmdCancel_Click() {
    Q_EMIT cancelBuild();
    lblCurrent->setText(lblCurrent->text() + QStringLiteral("            TERMINATING..."));
    cmdCancel->setEnabled(false);
}

void frmProgress::cmdOK_Click() { unload(); }

void frmProgress::unload() {
    closing_ = true;
    hide();
    deleteLater();
}

void frmProgress::closeEvent(QCloseEvent* event) {
    // No close command: only OK (or the program) closes the window.
    if (closing_) {
        event->accept();
    } else {
        event->ignore();
    }
}

void frmProgress::reject() {
    // Escape must not close the window either.
}

}  // namespace tessarel
