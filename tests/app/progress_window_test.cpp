#include "app/progress/progress_window.h"
#include "app/window_utilities.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include <gtest/gtest.h>

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
            window.AddItem(QStringLiteral("Built OK"), QStringLiteral("f%1.c").arg(i), true, QStringLiteral("T"),
                           QStringLiteral("f.c.htm"));
        }
    }

    // OK deletes the window later, so it lives on the heap.
    QPointer<frmProgress> owned_ = new frmProgress(nullptr);
    frmProgress& window = *owned_;
};

TEST_F(ProgressWindowTest, captionNamesTheProject) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Progress"));
    frmProgress project(nullptr);
    project.Form_Load(QStringLiteral("manual"), false);
    EXPECT_EQ(project.windowTitle(), QStringLiteral("manual - Progress"));
}

TEST_F(ProgressWindowTest, tableHasItsFiveColumns) {
    ASSERT_EQ(window.ListView1->columnCount(), 5);
    const QStringList expected{QStringLiteral("Time"), QStringLiteral("Reason"), QStringLiteral("Input File"),
                               QStringLiteral("Chapter Title"), QStringLiteral("Output File")};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(window.ListView1->horizontalHeaderItem(i)->text(), expected[i]);
    }
    EXPECT_FALSE(window.cmdOK->isEnabled());
    EXPECT_EQ(window.ProgressBar1->maximum(), 100);
}

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
    window.SetProgressMax(10);
    window.AddProgress();
    window.AddItem(QStringLiteral("Built OK"), QStringLiteral("a.c"), true, QStringLiteral("Alpha"),
                   QStringLiteral("a.c.htm"));
    window.AddItem(QStringLiteral("Missing File"), QStringLiteral("b.c"), false, QStringLiteral("---"),
                   QStringLiteral("---"));
    EXPECT_EQ(window.progressValue(), 0);
    window.updateDisplay();
    const QStringList lines = window.txtFile->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("  --  a.c")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("  --  b.c")));

    const QTableWidget& table = *window.ListView1;
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.item(1, 1)->text(), QStringLiteral("Missing File"));
    EXPECT_EQ(table.item(1, 2)->text(), QStringLiteral("b.c"));
    EXPECT_EQ(table.item(1, 3)->text(), QStringLiteral("---"));
    EXPECT_EQ(table.item(1, 4)->text(), QStringLiteral("---"));
    EXPECT_EQ(table.item(0, 3)->text(), QStringLiteral("Alpha"));
    EXPECT_FALSE(table.item(1, 0)->text().isEmpty());
    EXPECT_FALSE(table.item(1, 0)->icon().isNull());
    EXPECT_EQ(table.currentRow(), 1);
    EXPECT_TRUE(table.item(1, 2)->isSelected());
    // Success and failure rows carry different icons.
    EXPECT_NE(table.item(0, 0)->icon().pixmap(16).toImage(), table.item(1, 0)->icon().pixmap(16).toImage());
}

TEST_F(ProgressWindowTest, progressStopsAtItsMaximum) {
    window.SetProgressMax(3);
    for (int i = 0; i < 5; ++i) {
        window.AddProgress();
    }
    EXPECT_EQ(window.progressValue(), 3);
    window.updateDisplay();
    EXPECT_EQ(window.ProgressBar1->value(), 3);
    EXPECT_EQ(window.ProgressBar1->maximum(), 3);
    window.ResetProgress();
    EXPECT_EQ(window.progressValue(), 0);
    EXPECT_TRUE(window.cmdCancel->isEnabled());
    EXPECT_FALSE(window.cmdOK->isEnabled());
}

TEST_F(ProgressWindowTest, cancelAddsItsNoticeOnceAndOnlyOkCloses) {
    QSignalSpy cancelled(&window, &frmProgress::cancelBuild);
    window.ResetProgress();
    window.setCurrent(QStringLiteral("main.c ( 3 / 12 )"));
    window.cmdCancel->click();
    window.cmdCancel->click();  // disabled now: no second notice
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_EQ(window.lblCurrent->text(), QStringLiteral("main.c ( 3 / 12 )            TERMINATING..."));
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
