#include "project/window_state.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/testing.h"

using namespace Qt::Literals::StringLiterals;

using namespace tessarel;
using namespace tessarel::testing;

namespace {

TEST(WindowStateTest, text_hasEveryLineWithShortestNumbers) {
    EXPECT_EQ(WindowStateText({2, 1440, -60, 12345.5F, 0.1F}),
              Crlf(QStringLiteral("<?xml version=\"1.0\"?>\n<WindowsState>\n  <State>2</State>\n  <Left>1440</Left>\n"
                                  "  <Top>-60</Top>\n  <Width>12345.5</Width>\n  <Height>0.1</Height>\n"
                                  "</WindowsState>\n")));
}

/// The remembered state after a run of resize events, and what closing writes.
int Closing(std::initializer_list<WindowShow> shows) {
    int remembered = kStateNormal;
    WindowShow now = WindowShow::Normal;
    for (WindowShow show : shows) {
        now = show;
        remembered = ResizedState(remembered, now);
    }
    return StateToWrite(remembered, now);
}

TEST(WindowStateTest, closing_writesTheStateToReopenIn) {
    EXPECT_EQ(Closing({}), kStateNormal);
    EXPECT_EQ(Closing({WindowShow::Maximized}), kStateMaximized);
    EXPECT_EQ(Closing({WindowShow::Maximized, WindowShow::Minimized}), kStateMinimizedFromMaximized);
    EXPECT_EQ(Closing({WindowShow::Minimized}), kStateMinimizedFromNormal);
    EXPECT_EQ(Closing({WindowShow::Maximized, WindowShow::Minimized, WindowShow::Normal}), kStateNormal);
    EXPECT_EQ(ResizedState(kStateNormal, WindowShow::Minimized), kStateNormal);
}

TEST(WindowStateTest, restore_maximizedAfterStates2And3AndStopsAtAValueThatIsNotANumber) {
    for (int state : {0, 1, 2, 3}) {
        const RestoredWindowState restored = ParseWindowState(WindowStateText({state, 15, 30, 9000, 6000}));
        EXPECT_TRUE(restored.fileRead);
        EXPECT_EQ(restored.left, 15);
        EXPECT_EQ(restored.height, 6000);
        EXPECT_EQ(restored.maximize, state >= 2) << state;
        EXPECT_EQ(restored.remembered, state >= 2 ? kStateMaximized : kStateNormal);
    }
    QString text = WindowStateText({2, 120, 240, 9000, 6000});
    text.replace(u"<Width>9000</Width>"_s, u"<Width></Width>"_s);
    const RestoredWindowState restored = ParseWindowState(text);
    EXPECT_EQ(restored.top, 240);
    EXPECT_FALSE(restored.width.has_value() || restored.height.has_value() || restored.maximize);
    const RestoredWindowState badState = ParseWindowState(u"<State>99999</State><Left>1</Left>"_s);
    EXPECT_TRUE(badState.fileRead);
    EXPECT_FALSE(badState.left.has_value());
}

TEST(WindowStateTest, fileRoundTrip_andMissingFileCentres) {
    QTemporaryDir folder;
    RecordingUserInterface ui;
    const QString path = folder.filePath(kWindowStateFileName);
    EXPECT_FALSE(ReadWindowStateFile(path).fileRead);
    ASSERT_TRUE(WriteWindowStateFile(ui, path, {3, 1, 2, 3, 4}));
    EXPECT_TRUE(ReadBytes(path).endsWith("</WindowsState>\r\n\r\n"));
    const RestoredWindowState restored = ReadWindowStateFile(path);
    EXPECT_EQ(restored.width, 3);
    EXPECT_TRUE(restored.maximize);
}

}  // namespace
