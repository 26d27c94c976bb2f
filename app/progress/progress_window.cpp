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
#include <QTableWidget>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

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
      ListView1(new QTableWidget(this)),
      lblCurrent(new QLabel(this)),
      cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      displayTimer_(new QTimer(this)),
      okIcon_(ProgressIcon(true)),
      failedIcon_(ProgressIcon(false)) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("Progress"));
    setModal(false);
    txtFile->setReadOnly(true);
    txtFile->setLineWrapMode(QPlainTextEdit::NoWrap);

    // A report view: whole rows selected, no grid, no row numbers.
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setShowGrid(false);
    ListView1->setWordWrap(false);
    ListView1->verticalHeader()->setVisible(false);
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 6);
    ListView1->horizontalHeader()->setHighlightSections(false);
    ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ListView1->horizontalHeader()->setStretchLastSection(true);

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

    displayTimer_->setSingleShot(true);
    displayTimer_->setInterval(50);
    connect(displayTimer_, &QTimer::timeout, this, &frmProgress::updateDisplay);
    connect(cmdOK, &QPushButton::clicked, this, &frmProgress::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmProgress::cmdCancel_Click);
}

int frmProgress::twips(int value) const { return TwipsToPixels(value, ScreenDpi(this)); }

bool frmProgress::running() const { return cmdCancel->isEnabled() && !cmdOK->isEnabled(); }

void frmProgress::Form_Load(const QString& projectBaseName, bool onTop) {
    ItemCount = 0;
    if (onTop) {
        MakeTopmost(this);
    }
    if (!projectBaseName.isEmpty()) {
        setWindowTitle(projectBaseName + QStringLiteral(" - Progress"));
    }
    value_ = 0;
    maximum_ = 100;
    ProgressBar1->setRange(0, maximum_);
    ProgressBar1->setValue(0);
    txtFile->clear();
    cmdOK->setEnabled(false);
    ListView1->setColumnCount(5);
    ListView1->setHorizontalHeaderLabels({QStringLiteral("Time"), QStringLiteral("Reason"),
                                          QStringLiteral("Input File"), QStringLiteral("Chapter Title"),
                                          QStringLiteral("Output File")});
    ListView1->setColumnWidth(kTitleColumn, twips(kTitleColumnTwips));
}

void frmProgress::resetProgress() {
    value_ = 0;
    pendingLines_.clear();
    txtFile->clear();
    cmdOK->setEnabled(false);
    cmdCancel->setEnabled(true);
    setCursor(Qt::WaitCursor);
    scheduleDisplay();
}

void frmProgress::setProgressMaximum(int nMax) {
    maximum_ = nMax;
    value_ = std::clamp(value_, 0, std::max(maximum_, 0));
    scheduleDisplay();
}

void frmProgress::advanceProgress() {
    if (value_ < maximum_) {
        ++value_;
        scheduleDisplay();
    }
}

void frmProgress::restartBar() {
    value_ = 0;
    scheduleDisplay();
}

void frmProgress::addLogRow(const QString& strReason, const QString& strItem, bool blnStatus, const QString& strParam3,
                            const QString& strParam4) {
    ++ItemCount;
    if (ItemCount == 12) {
        // From the twelfth row on the table shows a scroll bar; the title column makes room.
        ListView1->setColumnWidth(kTitleColumn, twips(kNarrowTitleColumnTwips));
    }
    const QString time = LogTimeText();
    pendingLines_ << time + QStringLiteral("  --  ") + strItem;
    value_ = 0;
    pendingRows_.push_back({time, strReason, strItem, strParam3, strParam4, blnStatus});
    scheduleDisplay();
}

void frmProgress::setCurrent(const QString& caption) {
    caption_ = caption;
    if (running()) {
        scheduleDisplay();
    } else {
        lblCurrent->setText(caption_);
    }
}

void frmProgress::scheduleDisplay() {
    if (!displayTimer_->isActive()) {
        displayTimer_->start();
    }
}

void frmProgress::updateDisplay() {
    displayTimer_->stop();
    if (ProgressBar1->maximum() != maximum_) {
        ProgressBar1->setRange(0, maximum_);
    }
    if (ProgressBar1->value() != value_) {
        ProgressBar1->setValue(value_);
    }
    if (lblCurrent->text() != caption_) {
        lblCurrent->setText(caption_);
    }
    if (!pendingLines_.isEmpty()) {
        txtFile->appendPlainText(pendingLines_.join(QLatin1Char('\n')));
        pendingLines_.clear();
        txtFile->verticalScrollBar()->setValue(txtFile->verticalScrollBar()->maximum());
    }
    if (!pendingRows_.empty()) {
        int row = ListView1->rowCount();
        ListView1->setRowCount(row + static_cast<int>(pendingRows_.size()));
        for (const Row& pending : pendingRows_) {
            const QStringList texts{pending.time, pending.reason, pending.item, pending.title, pending.output};
            for (int column = 0; column < texts.size(); ++column) {
                auto* cell = new QTableWidgetItem(texts.at(column));
                if (column == 0) {
                    cell->setIcon(pending.status ? okIcon_ : failedIcon_);
                }
                ListView1->setItem(row, column, cell);
            }
            ++row;
        }
        pendingRows_.clear();
        // The newest row is the selected one.
        ListView1->selectRow(row - 1);
        ListView1->scrollToBottom();
    }
}

void frmProgress::setFinished() {
    cmdOK->setEnabled(true);
    cmdCancel->setEnabled(false);
    unsetCursor();
    updateDisplay();
}

void frmProgress::cmdCancel_Click() {
    Q_EMIT cancelBuild();
    caption_ += QStringLiteral("            TERMINATING...");
    lblCurrent->setText(caption_);
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
