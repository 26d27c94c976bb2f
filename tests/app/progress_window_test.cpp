#include "app/progress/progress_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include "app/window_utilities.h"

using namespace Qt::Literals::StringLiterals;

namespace tessarel {
namespace {

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.Form_Load(QString(), false);
        window.show();
    }
    void TearDown() override { delete owned_.data(); }
    int titleWidth() const { return window.ListView1->columnWidth(frmProgress::kTitleColumn); }
    int twips(int value) const { return TwipsToPixels(value, ScreenDpi(&window)); }
    void addItems(int count) {
        for (int i = 0; i < count; ++i) {
            window.addLogRow(u"Built OK"_s, u"f%1.c"_s.arg(i), true, u"T"_s, u"f.c.htm"_s);
        }
    }

    // OK deletes the window later, so it lives on the heap.
    QPointer<frmProgress> owned_ = new frmProgress(nullptr);
    frmProgress& window = *owned_;
};

TEST_F(ProgressWindowTest, titleColumnNarrowsOnceAtTheTwelfthRow) {
    ASSERT_NE(twips(1570), twips(1315));
    EXPECT_EQ(titleWidth(), twips(1570));
    addItems(11);
    EXPECT_EQ(titleWidth(), twips(1570));
    addItems(1);
    EXPECT_EQ(titleWidth(), twips(1315));
    window.ListView1->setColumnWidth(frmProgress::kTitleColumn, 77);
    addItems(1);
    EXPECT_EQ(titleWidth(), 77);
    EXPECT_EQ(window.ItemCount, 13);
}

TEST_F(ProgressWindowTest, anItemIsLoggedAndBecomesTheSelectedRow) {
    window.setProgressMaximum(10);
    window.advanceProgress();
    window.addLogRow(u"Built OK"_s, u"a.c"_s, true, u"Alpha"_s, u"a.c.htm"_s);
    window.addLogRow(u"Missing File"_s, u"b.c"_s, false, u"---"_s, u"---"_s);
    EXPECT_EQ(window.progressValue(), 0);
    window.updateDisplay();
    const QStringList lines = window.txtFile->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(u"  --  a.c"_s));
    EXPECT_TRUE(lines[1].endsWith(u"  --  b.c"_s));

    const QTableWidget& table = *window.ListView1;
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.item(1, 1)->text(), u"Missing File"_s);
    EXPECT_EQ(table.item(1, 2)->text(), u"b.c"_s);
    EXPECT_EQ(table.item(1, 3)->text(), u"---"_s);
    EXPECT_EQ(table.item(1, 4)->text(), u"---"_s);
    EXPECT_EQ(table.item(0, 3)->text(), u"Alpha"_s);
    EXPECT_FALSE(table.item(1, 0)->text().isEmpty());
    EXPECT_FALSE(table.item(1, 0)->icon().isNull());
    EXPECT_EQ(table.currentRow(), 1);
    EXPECT_TRUE(table.item(1, 2)->isSelected());
    // Success and failure rows carry different icons.
    EXPECT_NE(table.item(0, 0)->icon().pixmap(16).toImage(), table.item(1, 0)->icon().pixmap(16).toImage());
}

TEST_F(ProgressWindowTest, progressStopsAtItsMaximum) {
    window.setProgressMaximum(3);
    for (int i = 0; i < 5; ++i) {
        window.advanceProgress();
    }
    EXPECT_EQ(window.progressValue(), 3);
    window.updateDisplay();
    EXPECT_EQ(window.ProgressBar1->value(), 3);
    EXPECT_EQ(window.ProgressBar1->maximum(), 3);
    window.resetProgress();
    EXPECT_EQ(window.progressValue(), 0);
    EXPECT_TRUE(window.cmdCancel->isEnabled());
    EXPECT_FALSE(window.cmdOK->isEnabled());
}

TEST_F(ProgressWindowTest, cancelAddsItsNoticeOnceAndOnlyOkCloses) {
    QSignalSpy cancelled(&window, &frmProgress::cancelBuild);
    window.resetProgress();
    window.setCurrent(u"main.c ( 3 / 12 )"_s);
    window.cmdCancel->click();
    window.cmdCancel->click();  // disabled now: no second notice
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_EQ(window.lblCurrent->text(), u"main.c ( 3 / 12 )            TERMINATING..."_s);
    EXPECT_FALSE(window.cmdCancel->isEnabled());
    EXPECT_TRUE(window.isVisible());

    window.close();
    EXPECT_TRUE(window.isVisible());
    window.setFinished();
    EXPECT_TRUE(window.cmdOK->isEnabled());
    window.cmdOK->click();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace tessarel
