// The live preview's decisions, over real files and the real watcher: what is
// watched, when a save rebuilds and when it waits. The window's side (no
// progress window, the status bar, the reload) is in main_window_test.
#include "app/live_preview.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include "app/main_commands.h"
#include "app/main_window_state.h"
#include "app_testing.h"
#include "book/workspace.h"
#include "support/preferences.h"
#include "support/testing.h"

using namespace Qt::Literals::StringLiterals;

namespace tessarel {
namespace {

// A ceiling for a busy machine, never a measure: each wait is for an event.
constexpr int kEventWaitMs = 30000;

class LivePreviewTest : public ::testing::Test {
protected:
    QString write(const QString& relative, const QString& text) {
        testing::WriteBytes(te.path(relative), text.toUtf8());
        return te.path(relative);
    }
    QByteArray page(const QString& relative) const { return testing::ReadBytes(te.path(relative)); }
    void openSource(const QString& relative, const QString& section) {
        commands.openSourceFile(write(relative, testing::DocumentedSource(section)));
        live.follow();
    }

    testing::TestEnvironment te;
    Workspace ws{*te.env};
    MainWindowState state;
    testing::RecordingView view;
    MainCommands commands{ws, state, view, view, view};
    LivePreview live{ws, commands, view};
    QSignalSpy rebuilt{&live, &LivePreview::rebuilt};
};

TEST_F(LivePreviewTest, aSavedSourceFileIsRebuiltQuietlyAndTheWatchFollowsTheOpenDocument) {
    openSource(u"main.c"_s, u"alpha"_s);
    EXPECT_EQ(live.watchedFiles(), QStringList{te.path(u"main.c"_s)});
    view.navigations.clear();

    write(u"main.c"_s, testing::DocumentedSource(u"beta"_s));
    ASSERT_TRUE(rebuilt.wait(kEventWaitMs));
    EXPECT_TRUE(page(u"main.c.htm"_s).contains("beta"));
    EXPECT_EQ(view.quietBuilds, 1);
    EXPECT_EQ(view.navigations, QStringList{te.path(u"main.c.htm"_s)});
    EXPECT_TRUE(view.panel3.startsWith(u"Live preview: main.c rebuilt at "_s)) << view.panel3.toStdString();

    // A page the user wrote over meanwhile is kept without a question; the
    // failed row is what the window's status bar shows.
    write(u"main.c.htm"_s, u"<html>mine</html>"_s);
    write(u"main.c"_s, testing::DocumentedSource(u"delta"_s));
    ASSERT_TRUE(rebuilt.wait(kEventWaitMs));
    EXPECT_EQ(page(u"main.c.htm"_s), QByteArray("<html>mine</html>"));
    EXPECT_TRUE(te.ui.messages.empty());
    EXPECT_EQ(te.ui.log.back().reason, u"Kept: Not Written By Tessarel"_s);
    EXPECT_EQ(view.navigations.size(), 1);

    // Another file: only it is watched.
    openSource(u"other.c"_s, u"gamma"_s);
    EXPECT_EQ(live.watchedFiles(), QStringList{te.path(u"other.c"_s)});
    EXPECT_EQ(view.panel3, QString());

    commands.closeProject();
    live.follow();
    EXPECT_EQ(live.watchedFiles(), QStringList());
}

TEST_F(LivePreviewTest, turnedOffItWatchesNothingAndTheChoiceIsRemembered) {
    EXPECT_TRUE(live.enabled());
    openSource(u"main.c"_s, u"alpha"_s);
    live.setEnabled(false);
    EXPECT_EQ(te.env->preferences.ReadPreference(prefs::kGeneral, prefs::kLivePreview, QString()), u" 0"_s);
    EXPECT_EQ(live.watchedFiles(), QStringList());

    LivePreview next{ws, commands, view};
    EXPECT_FALSE(next.enabled());
    live.setEnabled(true);
    EXPECT_EQ(live.watchedFiles(), QStringList{te.path(u"main.c"_s)});
    EXPECT_TRUE(LivePreview(ws, commands, view).enabled());
}

TEST_F(LivePreviewTest, aSaveWaitsForARunningBuildAndAnOpenDialog) {
    openSource(u"main.c"_s, u"alpha"_s);
    QSignalSpy seen(&live.watcher(), &SourceWatcher::changed);
    commands.setBuilding(true);
    view.modalOpen = true;
    write(u"main.c"_s, testing::DocumentedSource(u"beta"_s));
    ASSERT_TRUE(seen.wait(kEventWaitMs));
    EXPECT_EQ(rebuilt.count(), 0);
    // The build over, the next try meets the dialog.
    commands.setBuilding(false);
    const int asks = view.modalAsks;
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.modalAsks > asks; }, kEventWaitMs));
    EXPECT_EQ(rebuilt.count(), 0);
    view.modalOpen = false;
    ASSERT_TRUE(rebuilt.wait(kEventWaitMs));
    EXPECT_TRUE(page(u"main.c.htm"_s).contains("beta"));
    // The save built once: the next rebuild is the next save's.
    write(u"main.c"_s, testing::DocumentedSource(u"gamma"_s));
    ASSERT_TRUE(rebuilt.wait(kEventWaitMs));
    EXPECT_TRUE(page(u"main.c.htm"_s).contains("gamma"));
    EXPECT_EQ(rebuilt.count(), 2);
}

TEST_F(LivePreviewTest, aProjectIsRebuiltWhenAChapterIsSavedOnceItsBookExists) {
    const QString project = testing::SaveTestProject(te, u"proj/p.qdx"_s, 2);
    commands.openPath(project);
    live.follow();
    EXPECT_EQ(live.watchedFiles(), QStringList({project, te.path(u"proj/src/f0.c"_s), te.path(u"proj/src/f1.c"_s)}));

    // The user's Build makes the book; saves before that write nothing.
    QSignalSpy seen(&live.watcher(), &SourceWatcher::changed);
    write(u"proj/src/f0.c"_s, testing::DocumentedSource(u"alpha"_s));
    ASSERT_TRUE(seen.wait(kEventWaitMs));
    EXPECT_EQ(rebuilt.count(), 0);
    EXPECT_FALSE(QFileInfo::exists(te.path(u"proj/out/index.htm"_s)));
    EXPECT_EQ(view.panel3, u"Live preview: p follows your saves once its book is built"_s);
    commands.buildProject();

    write(u"proj/src/f1.c"_s, testing::DocumentedSource(u"beta"_s));
    ASSERT_TRUE(rebuilt.wait(kEventWaitMs));
    EXPECT_TRUE(page(u"proj/out/f1.c.htm"_s).contains("beta"));
    EXPECT_TRUE(view.panel3.startsWith(u"Live preview: p rebuilt at "_s)) << view.panel3.toStdString();

    // What the quiet build would have said shows in the status panel.
    view.quietProblems = {u"No Sections: f0.c"_s, u"No Sections: f1.c"_s};
    write(u"proj/src/f0.c"_s, u"no sections here\r\n"_s);
    ASSERT_TRUE(rebuilt.wait(kEventWaitMs));
    EXPECT_TRUE(view.panel3.startsWith(u"Live preview: p at "_s)) << view.panel3.toStdString();
    EXPECT_TRUE(view.panel3.endsWith(u": No Sections: f0.c (and 1 more)"_s)) << view.panel3.toStdString();
}

}  // namespace
}  // namespace tessarel
