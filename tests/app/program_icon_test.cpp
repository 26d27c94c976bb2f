#include "app/icons.h"

#include <gtest/gtest.h>

#include <QImage>

#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/window_user_interface.h"
#include "app_testing.h"
#include "book/workspace.h"
#include "support/preferences.h"
#include "support/testing.h"

using namespace Qt::Literals::StringLiterals;

namespace tessarel {
namespace {

// Pixmaps hold premultiplied colours; both sides are compared in that form.
constexpr QImage::Format kCompared = QImage::Format_ARGB32_Premultiplied;

QImage Artwork(int size) {
    return QImage(QStringLiteral(TESSAREL_SOURCE_DIR "/data/icons/%1/tessarel.png").arg(size))
        .convertToFormat(kCompared);
}

QImage Shown(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(kCompared);
}

// The windows show the artwork the desktop installs, each size as drawn, not
// a picture of their own nor one size scaled to all.
TEST(ProgramIconTest, EverySizeIsTheInstalledArtwork) {
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage expected = Artwork(size);
        ASSERT_EQ(expected.size(), QSize(size, size));
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        EXPECT_TRUE(Shown(icon, size) == expected);
    }
}

TEST(ProgramIconTest, TheMainWindowWearsIt) {
    testing::TestEnvironment te;
    WindowUserInterface ui;
    Environment env{ui, *te.preferences, te.env->paths};
    Workspace ws{env};
    MainWindowState state;
    MainWindow window(ws, state, ui,
                      [](QWidget* parent) -> PreviewBrowser* { return new testing::RecordingBrowser(parent); });
    EXPECT_TRUE(Shown(window.windowIcon(), 48) == Artwork(48));
}

}  // namespace
}  // namespace tessarel
