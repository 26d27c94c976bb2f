#include "app/progress/progress_window.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

using namespace Qt::Literals::StringLiterals;

namespace tessarel {
namespace {

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.prepare(QString(), false);
        window.show();
    }
    void TearDown() override { delete owned_.data(); }

    // OK deletes the window later, so it lives on the heap.
    QPointer<ProgressWindow> owned_ = new ProgressWindow(nullptr);
    ProgressWindow& window = *owned_;
};

TEST_F(ProgressWindowTest, anItemIsLoggedAndBecomesTheSelectedRow) {
    window.setProgressMaximum(10);
    window.advanceProgress();
    window.addLogRow(u"Built OK"_s, u"a.c"_s, RowStatus::Ok, u"Alpha"_s, u"a.c.htm"_s);
    window.addLogRow(u"Missing File"_s, u"b.c"_s, RowStatus::Failed, u"---"_s, u"---"_s);
    window.addLogRow(u"Not Built: HTML File"_s, u"c.htm"_s, RowStatus::Warning, u"c.htm"_s, u"c.htm"_s);
    EXPECT_EQ(window.progressValue(), 0);
    window.updateDisplay();
    const QStringList lines = window.logText->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(u"  --  a.c"_s));
    EXPECT_TRUE(lines[1].endsWith(u"  --  b.c"_s));

    const QTableWidget& table = *window.logView;
    ASSERT_EQ(table.rowCount(), 3);
    const QStringList second{table.item(1, 1)->text(), table.item(1, 2)->text(), table.item(1, 3)->text(),
                             table.item(1, 4)->text()};
    EXPECT_EQ(second, (QStringList{u"Missing File"_s, u"b.c"_s, u"---"_s, u"---"_s}));
    EXPECT_EQ(table.item(0, 3)->text(), u"Alpha"_s);
    EXPECT_FALSE(table.item(1, 0)->text().isEmpty());
    EXPECT_EQ(table.currentRow(), 2);
    EXPECT_TRUE(table.item(2, 2)->isSelected());
    // Success, failure and warning rows carry three different icons.
    const auto icon = [&](int row) { return table.item(row, 0)->icon().pixmap(16).toImage(); };
    EXPECT_NE(icon(0), icon(1));
    EXPECT_NE(icon(2), icon(0));
    EXPECT_NE(icon(2), icon(1));
}

TEST_F(ProgressWindowTest, progressStopsAtItsMaximum) {
    window.setProgressMaximum(3);
    for (int i = 0; i < 5; ++i) {
        window.advanceProgress();
    }
    EXPECT_EQ(window.progressValue(), 3);
    window.updateDisplay();
    EXPECT_EQ(window.progressBar->value(), 3);
    EXPECT_EQ(window.progressBar->maximum(), 3);
    window.resetProgress();
    EXPECT_EQ(window.progressValue(), 0);
    EXPECT_TRUE(window.cancelButton->isEnabled());
    EXPECT_FALSE(window.okButton->isEnabled());
}

TEST_F(ProgressWindowTest, theBarRisesWithThePartsDoneAndEndsFull) {
    window.resetProgress();
    auto percent = [&] {
        window.updateDisplay();
        const QProgressBar& bar = *window.progressBar;
        return 100 * (bar.value() - bar.minimum()) / (bar.maximum() - bar.minimum());
    };
    // Half of the second of four parts: three eighths of the build.
    window.setPartsDone(1, 4);
    window.setProgressMaximum(10);
    for (int i = 0; i < 5; ++i) {
        window.advanceProgress();
    }
    EXPECT_EQ(percent(), 37);
    // A logged row starts the next file's share from its beginning, not the bar.
    window.addLogRow(u"Built OK"_s, u"b.c"_s, RowStatus::Ok, u"B"_s, u"b.c.htm"_s);
    window.setPartsDone(2, 4);
    EXPECT_EQ(percent(), 50);
    window.setPartsDone(4, 4);
    window.addLogRow(u"> HTML TOC"_s, QString(), RowStatus::Ok, QString(), u"_book.htm"_s);
    EXPECT_EQ(percent(), 100);
    window.setFinished();
    EXPECT_EQ(percent(), 100);

    // A single file's build knows no parts; its end fills the bar as well.
    window.resetProgress();
    window.setProgressMaximum(8);
    window.advanceProgress();
    EXPECT_EQ(percent(), 12);
    window.setFinished();
    EXPECT_EQ(percent(), 100);

    // A cancelled build shows how far it got.
    window.resetProgress();
    window.setPartsDone(1, 2);
    window.cancelButton->click();
    window.setFinished();
    EXPECT_EQ(percent(), 50);
}

TEST_F(ProgressWindowTest, logLinesNameTheirItemAndColumnsFitTheirTexts) {
    window.resize(1200, 500);
    window.addLogRow(u"> HTML Index"_s, QString(), RowStatus::Ok, QString(), u"_sorted_index.htm"_s);
    const QString longReason = u"Not Built: HTML File with a rather long reason"_s;
    const QString longTitle = u"Writing Documentation For A Long Chapter Title"_s;
    window.addLogRow(longReason, u"notes.htm"_s, RowStatus::Ok, longTitle, u"notes.htm"_s);
    window.updateDisplay();
    const QStringList lines = window.logText->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(u"  --  > HTML Index"_s)) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(u"  --  notes.htm"_s));

    QTableWidget& table = *window.logView;
    const QFontMetrics metrics(table.font());
    EXPECT_GE(table.columnWidth(1), metrics.horizontalAdvance(longReason));
    EXPECT_GE(table.columnWidth(3), metrics.horizontalAdvance(longTitle));
    // The user may size a column, and later rows keep that width.
    EXPECT_EQ(table.horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
    table.horizontalHeader()->resizeSection(1, 60);
    window.addLogRow(longReason + u" and more"_s, u"x.htm"_s, RowStatus::Ok, longTitle, u"x.htm"_s);
    window.updateDisplay();
    EXPECT_EQ(table.columnWidth(1), 60);
}

TEST_F(ProgressWindowTest, aLongReasonIsCutAndTheOutputFileStaysInSight) {
    window.resize(640, 440);
    const QString reason = u"Page Not Written: "_s + QString(180, u'x');
    window.addLogRow(reason, u"main.c"_s, RowStatus::Failed, u"Main"_s, u"main.c.htm"_s);
    window.updateDisplay();
    const QTableWidget& table = *window.logView;
    const int outputWidth = QFontMetrics(table.font()).horizontalAdvance(u"main.c.htm"_s);
    EXPECT_LE(table.columnViewportPosition(4) + outputWidth, table.viewport()->width());
    EXPECT_EQ(table.item(0, 1)->toolTip(), reason);
    // Narrowed, the window keeps it in sight too.
    window.resize(520, 440);
    EXPECT_LE(table.columnViewportPosition(4) + outputWidth, table.viewport()->width());
}

TEST_F(ProgressWindowTest, cancelAddsItsNoticeOnceAndOnlyOkCloses) {
    QSignalSpy cancelled(&window, &ProgressWindow::cancelBuild);
    window.resetProgress();
    window.setCurrent(u"main.c ( 3 / 12 )"_s);
    window.cancelButton->click();
    window.cancelButton->click();  // disabled now: no second notice
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_EQ(window.currentLabel->text(), u"main.c ( 3 / 12 )            TERMINATING..."_s);
    EXPECT_FALSE(window.cancelButton->isEnabled());
    EXPECT_TRUE(window.isVisible());

    window.close();
    EXPECT_TRUE(window.isVisible());
    window.setFinished();
    EXPECT_TRUE(window.okButton->isEnabled());
    window.okButton->click();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace tessarel
