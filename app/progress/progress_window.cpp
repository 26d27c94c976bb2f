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

ProgressWindow::ProgressWindow(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      progressBar(new QProgressBar(this)),
      logText(new QPlainTextEdit(this)),
      logView(new QTableWidget(this)),
      currentLabel(new QLabel(this)),
      okButton(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      displayTimer_(new QTimer(this)),
      okIcon_(ProgressIcon(RowStatus::Ok)),
      warningIcon_(ProgressIcon(RowStatus::Warning)),
      failedIcon_(ProgressIcon(RowStatus::Failed)) {
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(QStringLiteral("Progress"));
    setModal(false);
    logText->setReadOnly(true);
    logText->setLineWrapMode(QPlainTextEdit::NoWrap);

    // A report view: whole rows selected, no grid, no row numbers.
    logView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    logView->setSelectionBehavior(QAbstractItemView::SelectRows);
    logView->setSelectionMode(QAbstractItemView::SingleSelection);
    logView->setShowGrid(false);
    logView->setWordWrap(false);
    logView->verticalHeader()->setVisible(false);
    logView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    logView->verticalHeader()->setDefaultSectionSize(logView->fontMetrics().height() + 6);
    logView->horizontalHeader()->setHighlightSections(false);
    logView->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    logView->horizontalHeader()->setStretchLastSection(true);
    logView->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // The last column stretches with the window: only the others tell of the user.
    connect(logView->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (!fittingColumns_ && column + 1 < logView->columnCount()) {
            userSizedColumns_ = true;
        }
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(currentLabel);
    layout->addWidget(progressBar);
    layout->addWidget(logText, 1);
    layout->addWidget(logView, 2);
    layout->addLayout(buttons);
    resize(640, 440);

    displayTimer_->setSingleShot(true);
    displayTimer_->setInterval(50);
    connect(displayTimer_, &QTimer::timeout, this, &ProgressWindow::updateDisplay);
    connect(okButton, &QPushButton::clicked, this, &ProgressWindow::unload);
    connect(cancelButton, &QPushButton::clicked, this, &ProgressWindow::cancel);
}

bool ProgressWindow::running() const { return cancelButton->isEnabled() && !okButton->isEnabled(); }

void ProgressWindow::prepare(const QString& projectBaseName, bool onTop) {
    loggedRows = 0;
    if (onTop) {
        MakeTopmost(this);
    }
    if (!projectBaseName.isEmpty()) {
        setWindowTitle(projectBaseName + QStringLiteral(" - Progress"));
    }
    value_ = 0;
    maximum_ = 100;
    partsDone_ = partsTotal_ = 0;
    finished_ = cancelled_ = false;
    progressBar->setRange(0, maximum_);
    progressBar->setValue(0);
    logText->clear();
    okButton->setEnabled(false);
    fittingColumns_ = true;
    logView->setColumnCount(5);
    logView->setHorizontalHeaderLabels({QStringLiteral("Time"), QStringLiteral("Reason"), QStringLiteral("Input File"),
                                        QStringLiteral("Chapter Title"), QStringLiteral("Output File")});
    fittingColumns_ = false;
    userSizedColumns_ = false;
    fitColumns();
}

void ProgressWindow::resetProgress() {
    value_ = 0;
    partsDone_ = partsTotal_ = 0;
    finished_ = cancelled_ = false;
    pendingLines_.clear();
    logText->clear();
    okButton->setEnabled(false);
    cancelButton->setEnabled(true);
    setCursor(Qt::WaitCursor);
    scheduleDisplay();
}

void ProgressWindow::setProgressMaximum(int maximum) {
    maximum_ = maximum;
    value_ = std::clamp(value_, 0, std::max(maximum_, 0));
    scheduleDisplay();
}

void ProgressWindow::setPartsDone(int done, int total) {
    partsTotal_ = std::max(total, 0);
    partsDone_ = std::clamp(done, 0, partsTotal_);
    scheduleDisplay();
}

void ProgressWindow::advanceProgress() {
    if (value_ < maximum_) {
        ++value_;
        scheduleDisplay();
    }
}

void ProgressWindow::restartBar() {
    value_ = 0;
    scheduleDisplay();
}

void ProgressWindow::addLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                               const QString& output) {
    ++loggedRows;
    const QString time = LogTimeText();
    // A row about the whole book has no input file: its reason names it instead.
    pendingLines_ << time + QStringLiteral("  --  ") + (item.isEmpty() ? reason : item);
    value_ = 0;
    pendingRows_.push_back({time, reason, item, title, output, status});
    scheduleDisplay();
}

void ProgressWindow::addLogText(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (lines.endsWith(QLatin1Char('\n'))) {
        lines.chop(1);
    }
    if (!lines.isEmpty()) {
        pendingLines_ << lines;
        scheduleDisplay();
    }
}

void ProgressWindow::setCurrent(const QString& caption) {
    caption_ = caption;
    if (running()) {
        scheduleDisplay();
    } else {
        currentLabel->setText(caption_);
    }
}

void ProgressWindow::scheduleDisplay() {
    if (!displayTimer_->isActive()) {
        displayTimer_->start();
    }
}

void ProgressWindow::updateDisplay() {
    displayTimer_->stop();
    int barMaximum = maximum_;
    int barValue = value_;
    if (partsTotal_ > 0) {
        barMaximum = partsTotal_ * kStepsPerPart;
        const int withinPart = maximum_ > 0 ? static_cast<int>(qint64(kStepsPerPart) * value_ / maximum_) : 0;
        barValue = std::min(partsDone_ * kStepsPerPart + withinPart, barMaximum);
    }
    if (finished_ && !cancelled_) {
        barValue = barMaximum;
    }
    if (progressBar->maximum() != barMaximum) {
        progressBar->setRange(0, barMaximum);
    }
    if (progressBar->value() != barValue) {
        progressBar->setValue(barValue);
    }
    if (currentLabel->text() != caption_) {
        currentLabel->setText(caption_);
    }
    if (!pendingLines_.isEmpty()) {
        logText->appendPlainText(pendingLines_.join(QLatin1Char('\n')));
        pendingLines_.clear();
        logText->verticalScrollBar()->setValue(logText->verticalScrollBar()->maximum());
    }
    if (!pendingRows_.empty()) {
        int row = logView->rowCount();
        logView->setRowCount(row + static_cast<int>(pendingRows_.size()));
        for (const Row& pending : pendingRows_) {
            const QStringList texts{pending.time, pending.reason, pending.item, pending.title, pending.output};
            for (int column = 0; column < texts.size(); ++column) {
                auto* cell = new QTableWidgetItem(texts.at(column));
                // A cut text shows whole under the pointer.
                cell->setToolTip(texts.at(column));
                if (column == 0) {
                    cell->setIcon(pending.status == RowStatus::Ok        ? okIcon_
                                  : pending.status == RowStatus::Warning ? warningIcon_
                                                                         : failedIcon_);
                }
                logView->setItem(row, column, cell);
            }
            ++row;
        }
        pendingRows_.clear();
        fitColumns();
        // The newest row is the selected one.
        logView->selectRow(row - 1);
        logView->scrollToBottom();
    }
}

int ProgressWindow::contentWidth(int column) {
    const int rows = logView->rowCount();
    const auto columns = static_cast<size_t>(logView->columnCount());
    if (measuredRows_ > rows || cellWidths_.size() != columns) {
        cellWidths_.assign(columns, 0);
        measuredRows_ = 0;
    }
    const QAbstractItemView* view = logView;  // its size hints are public
    for (; measuredRows_ < rows; ++measuredRows_) {
        for (size_t i = 0; i < columns; ++i) {
            const QModelIndex index = logView->model()->index(measuredRows_, static_cast<int>(i));
            cellWidths_[i] = std::max(cellWidths_[i], view->sizeHintForIndex(index).width());
        }
    }
    // As the view's own sizeHintForColumn counts a grid line.
    return cellWidths_[static_cast<size_t>(column)] + (logView->showGrid() ? 1 : 0);
}

void ProgressWindow::fitColumns() {
    if (userSizedColumns_) {
        return;
    }
    const int columns = logView->columnCount();
    if (columns < 1) {
        return;
    }
    const QHeaderView* header = logView->horizontalHeader();
    const int last = columns - 1;
    std::vector<int> wanted(static_cast<size_t>(last));
    std::vector<int> least(static_cast<size_t>(last));
    int total = 0;
    for (int column = 0; column < last; ++column) {
        const int heading = header->sectionSizeHint(column);
        const int contents = std::max(contentWidth(column), heading);
        wanted[static_cast<size_t>(column)] = contents;
        // The time is short and always whole; a text may give way to its heading.
        least[static_cast<size_t>(column)] = column == 0 ? contents : std::min(contents, heading);
        total += contents;
    }
    // The last column (the output file) keeps room for its own texts, so that a
    // long reason or title cannot push it out of sight; those are cut instead,
    // the widest first, and their cells show them whole as tool tips.
    const int lastWanted = std::max(contentWidth(last), header->sectionSizeHint(last));
    const int room = logView->viewport()->width() - std::min(lastWanted, logView->viewport()->width() / 3);
    int cap = *std::max_element(wanted.begin(), wanted.end());
    const auto widthAt = [&](int limit) {
        int sum = 0;
        for (size_t i = 0; i < wanted.size(); ++i) {
            sum += std::max(least[i], std::min(wanted[i], limit));
        }
        return sum;
    };
    if (total > room) {
        // The largest cap that fits, found by halving.
        int low = 0;
        while (low < cap) {
            const int middle = (low + cap + 1) / 2;
            if (widthAt(middle) <= room) {
                low = middle;
            } else {
                cap = middle - 1;
            }
        }
    }
    fittingColumns_ = true;
    for (int column = 0; column < last; ++column) {
        const size_t i = static_cast<size_t>(column);
        logView->setColumnWidth(column, std::max(least[i], std::min(wanted[i], cap)));
    }
    fittingColumns_ = false;
}

void ProgressWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    fitColumns();
}

void ProgressWindow::setFinished() {
    finished_ = true;
    okButton->setEnabled(true);
    cancelButton->setEnabled(false);
    unsetCursor();
    updateDisplay();
}

void ProgressWindow::cancel() {
    cancelled_ = true;
    Q_EMIT cancelBuild();
    caption_ += QStringLiteral("            TERMINATING...");
    currentLabel->setText(caption_);
    cancelButton->setEnabled(false);
}

void ProgressWindow::unload() {
    closing_ = true;
    hide();
    deleteLater();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    // No close command: only OK (or the program) closes the window.
    if (closing_) {
        event->accept();
    } else {
        event->ignore();
    }
}

void ProgressWindow::reject() {
    // Escape must not close the window either.
}

}  // namespace tessarel
