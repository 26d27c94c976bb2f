// The live preview in the program's own web engine, under a virtual display:
// a source saved by an editor shows again in the preview, changed, at the
// place the reader had scrolled to. Pictures of before and after are left in
// the screenshot folder for a person to look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <filesystem>
#include <iostream>

#include "app/live_preview.h"
#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/web_preview.h"
#include "app/window_user_interface.h"
#include "book/workspace.h"
#include "project/project_file.h"
#include "project/project_model.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/setting_table.h"
#include "support/testing.h"

using namespace Qt::Literals::StringLiterals;

namespace tessarel {
namespace {

constexpr int kLoadWaitMs = 60000;  // the engine starts slowly on a busy machine

QVariant Evaluate(QWebEngineView* view, const QString& script) {
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, kLoadWaitMs)) << script.toStdString();
    return result;
}

QString Source(const QString& itemText) {
    QString text = u"/*\n * module: Ring Buffer\n * A fixed-size queue of bytes.\n */\n\n"_s;
    for (int i = 0; i < 60; ++i) {
        text += u"/*\n * function: put_%1\n * %2 %1 to the buffer.\n */\nint put_%1(int x);\n\n"_s.arg(i).arg(itemText);
    }
    return text;
}

QString SaveShot(QWidget& window, const QString& name) {
    QString folder = qEnvironmentVariable("TESSAREL_SCREENSHOTS");
    if (folder.isEmpty()) {
        folder = QDir::currentPath() + u"/screenshots"_s;
    }
    QDir().mkpath(folder);
    const QString path = folder + u"/"_s + name + u".png"_s;
    EXPECT_TRUE(window.grab().save(path)) << path.toStdString();
    std::cout << "screenshot: " << path.toStdString() << std::endl;
    return path;
}

/// The main window over the program's own preview, on the screen.
class LivePreviewBrowser : public ::testing::Test {
protected:
    LivePreviewBrowser() {
        ui.messageHandler = [this](const QString& title, const QString& text, MessageIcon, MessageButtons) {
            messages << title + u": "_s + text;
            return MessageAnswer::Ok;
        };
        window.resize(1000, 700);
        window.show();
        view = window.browser()->findChild<QWebEngineView*>();
    }
    void SetUp() override { ASSERT_NE(view, nullptr); }

    /// Saves as many editors do: a new file, renamed over the old one.
    static void saveByRename(const QString& path, const QString& text) {
        testing::WriteBytes(path + u".new"_s, text.toUtf8());
        std::filesystem::rename((path + u".new"_s).toStdString(), path.toStdString());
    }

    /// Writes a long source and opens it as the user would.
    void openSource(const QString& source) {
        testing::WriteBytes(source, Source(u"Adds item"_s).toUtf8());
        window.fileDialogHandler = [source](const QString&, const QString&, bool) { return source; };
        window.action(Command::Open)->trigger();
    }

    testing::TestEnvironment te;
    WindowUserInterface ui;
    QStringList messages;
    Environment env{ui, *te.preferences, te.env->paths};
    Workspace ws{env};
    MainWindowState state;
    MainWindow window{ws, state, ui, [](QWidget* parent) { return new WebPreview(parent); }};
    QWebEngineView* view = nullptr;
};

TEST_F(LivePreviewBrowser, aSavedSourceShowsAgainChangedWhereTheReaderWas) {
    const QString source = te.path(u"ring.c"_s);
    QSignalSpy loaded(window.browser(), &PreviewBrowser::loadFinished);
    openSource(source);
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.count() > 0; }, kLoadWaitMs));
    // The page is told the window's theme, which a modern page follows.
    const bool dark = window.palette().color(QPalette::Window).lightness() < 128;
    EXPECT_EQ(view->url().query(), dark ? u"theme=dark"_s : u"theme=light"_s);
    EXPECT_EQ(view->url().toLocalFile(), QFileInfo(source + u".htm"_s).absoluteFilePath());
    const double scrolled = Evaluate(view, u"window.scrollTo(0, 1500); window.scrollY"_s).toDouble();
    ASSERT_GT(scrolled, 1000.0) << "the page is long enough to scroll";
    QTest::qWait(500);  // for the screenshot only: the comparison below waits for its own picture
    const QImage before = window.grab().toImage();
    SaveShot(window, u"live_preview_before"_s);

    // A page without scripts is put in place, not reloaded: the document stays.
    Evaluate(view, u"window.keptAcrossRefresh = 42"_s);
    QSignalSpy rebuilt(&window.livePreview(), &LivePreview::rebuilt);
    loaded.clear();
    QElapsedTimer clock;
    clock.start();
    saveByRename(source, Source(u"Now puts item"_s));
    ASSERT_TRUE(rebuilt.wait(kLoadWaitMs));
    const qint64 rebuiltAt = clock.elapsed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.count() > 0; }, kLoadWaitMs));
    std::cout << "saved to rebuilt: " << rebuiltAt << " ms, to reloaded: " << clock.elapsed() << " ms" << std::endl;

    EXPECT_TRUE(Evaluate(view, u"document.body.innerText.includes('Now puts item 20 to the buffer')"_s).toBool());
    EXPECT_EQ(Evaluate(view, u"window.keptAcrossRefresh"_s).toInt(), 42);
    // The place is put back once the page has loaded.
    EXPECT_TRUE(QTest::qWaitFor([&] { return qAbs(Evaluate(view, u"window.scrollY"_s).toDouble() - scrolled) < 2.0; },
                                kLoadWaitMs))
        << "scrolled to " << Evaluate(view, u"window.scrollY"_s).toDouble() << ", was " << scrolled;
    // Painted anew: the window's picture changes.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.grab().toImage() != before; }, kLoadWaitMs));
    SaveShot(window, u"live_preview_after"_s);
    EXPECT_TRUE(window.statusPanel(LivePreview::kStatusPanel)->text().startsWith(u"Live preview: ring.c rebuilt"_s));
    EXPECT_EQ(messages, QStringList());
    EXPECT_EQ(window.loadedProgressWindow(), nullptr);
}

TEST_F(LivePreviewBrowser, aSavedSourceShowsAgainInItsModernPageWithItsScriptRunningOnce) {
    Settings modern;
    modern.ModernLayout = true;
    WriteSingleFileSetting(*te.preferences, SettingRowOf(&Settings::ModernLayout), modern);
    const QString source = te.path(u"ring.c"_s);
    QSignalSpy loaded(window.browser(), &PreviewBrowser::loadFinished);
    openSource(source);
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.count() > 0; }, kLoadWaitMs));
    ASSERT_TRUE(Evaluate(view, u"document.body.classList.contains('Modern')"_s).toBool());
    const QString theme = Evaluate(view, u"document.documentElement.getAttribute('data-theme')"_s).toString();
    ASSERT_FALSE(theme.isEmpty()) << "the window's theme is in the page's address";
    // A link's target in the address, then far down, 30 px into a section laid
    // out only once reached: the pixel place before it rests on estimated heights.
    const QString farSection = u"document.getElementsByName('put_45')[0].closest('.Section')"_s;
    ASSERT_EQ(Evaluate(view, u"getComputedStyle(%1).contentVisibility"_s.arg(farSection)).toString(), u"auto"_s);
    const QString farTop = farSection + u".getBoundingClientRect().top"_s;
    Evaluate(view, u"location.hash = '#put_3'"_s);
    // Scrolled frame by frame until it has stayed there five frames running.
    Evaluate(view,
             u"(function (section, still) { window.placed = false; (function step() {"
             u" var off = section.getBoundingClientRect().top + 30; window.scrollBy(0, off);"
             u" still = Math.abs(off) < 1 ? still + 1 : 0;"
             u" if (still < 5) { requestAnimationFrame(step); } else { window.placed = true; } })(); })(%1, 0)"_s.arg(
                 farSection));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Evaluate(view, u"window.placed"_s).toBool(); }, kLoadWaitMs));

    // Written afresh into the same document, not reloaded.
    Evaluate(view, u"window.keptAcrossRefresh = 42"_s);
    QSignalSpy rebuilt(&window.livePreview(), &LivePreview::rebuilt);
    loaded.clear();
    saveByRename(source, Source(u"Now puts item"_s));
    ASSERT_TRUE(rebuilt.wait(kLoadWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.count() > 0; }, kLoadWaitMs));
    // innerText would leave out the sections not laid out.
    EXPECT_TRUE(Evaluate(view, u"document.body.textContent.includes('Now puts item 20 to the buffer')"_s).toBool());
    EXPECT_EQ(Evaluate(view, u"window.keptAcrossRefresh"_s).toInt(), 42);
    EXPECT_EQ(Evaluate(view, u"document.documentElement.getAttribute('data-theme')"_s).toString(), theme);
    // Once the page has settled (twenty frames), the same section at the top, as far into it.
    Evaluate(view,
             u"window.framesSeen = 0; (function count() {"
             u" if (++window.framesSeen < 20) { requestAnimationFrame(count); } })()"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Evaluate(view, u"window.framesSeen >= 20"_s).toBool(); }, kLoadWaitMs));
    EXPECT_NEAR(Evaluate(view, farTop).toDouble(), -30.0, 2.0);

    // The new page's script has started it, once: one click moves the theme one step.
    EXPECT_FALSE(Evaluate(view, u"document.querySelector('.ThemeToggle').hidden"_s).toBool());
    Evaluate(view, u"document.querySelector('.ThemeToggle').click()"_s);
    EXPECT_EQ(Evaluate(view, u"document.documentElement.getAttribute('data-theme') || 'system'"_s).toString(),
              theme == u"light"_s ? u"dark"_s : u"system"_s);
    EXPECT_EQ(messages, QStringList());
}

TEST_F(LivePreviewBrowser, aSavedChapterShowsAgainInTheBookWhereTheReaderWas) {
    ProjectModel model;
    model.ProjectPath = te.path(u"proj/book.qdx"_s);
    model.ProjectFolder = FolderOf(model.ProjectPath);
    model.ProjectFileName = FileNameOf(model.ProjectPath);
    model.settings.RelDestPath = u"out/"_s;
    for (int i = 0; i < 2; ++i) {
        const QString name = u"ring%1.c"_s.arg(i);
        testing::WriteBytes(model.ProjectFolder + u"src/"_s + name, Source(u"Adds item"_s).toUtf8());
        model.Chapters.push_back({name, u"src/"_s});
    }
    testing::RecordingUserInterface quiet;
    SaveProject(quiet, model, model.ProjectPath);

    QSignalSpy loaded(window.browser(), &PreviewBrowser::loadFinished);
    window.fileDialogHandler = [&](const QString&, const QString&, bool) { return model.ProjectPath; };
    window.action(Command::Open)->trigger();
    window.action(Command::Build)->trigger();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window.browser()->currentAddress().endsWith(u"index.htm"_s); }, kLoadWaitMs));
    loaded.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.count() > 0 || !window.browser()->isLoading(); }, kLoadWaitMs));
    // The reader moves on to the second chapter and scrolls down.
    const QString chapterFrame = u"window.frames['chapter']"_s;
    Evaluate(view, chapterFrame + u".location.replace('ring1.c.htm')"_s);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return Evaluate(view, chapterFrame + u".location.href.endsWith('ring1.c.htm') && "_s + chapterFrame +
                                      u".document.readyState == 'complete'"_s)
                .toBool();
        },
        kLoadWaitMs));
    const double scrolled =
        Evaluate(view, chapterFrame + u".scrollTo(0, 1500); "_s + chapterFrame + u".scrollY"_s).toDouble();
    ASSERT_GT(scrolled, 1000.0) << "the chapter frame can be read and scrolled";
    QTest::qWait(500);  // for the screenshot only: the comparison below waits for its own picture
    const QImage before = window.grab().toImage();
    SaveShot(window, u"live_preview_book_before"_s);

    QSignalSpy rebuilt(&window.livePreview(), &LivePreview::rebuilt);
    loaded.clear();
    const QString source = model.ProjectFolder + u"src/ring1.c"_s;
    saveByRename(source, Source(u"Now puts item"_s));
    ASSERT_TRUE(rebuilt.wait(kLoadWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.count() > 0; }, kLoadWaitMs));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return Evaluate(view, chapterFrame + u".location.href.endsWith('ring1.c.htm') && "_s + chapterFrame +
                                      u".document.body.innerText.includes('Now puts item 20')"_s)
                .toBool();
        },
        kLoadWaitMs));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return qAbs(Evaluate(view, chapterFrame + u".scrollY"_s).toDouble() - scrolled) < 2.0; }, kLoadWaitMs))
        << "scrolled to " << Evaluate(view, chapterFrame + u".scrollY"_s).toDouble() << ", was " << scrolled;
    // Painted anew: the window's picture changes.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.grab().toImage() != before; }, kLoadWaitMs));
    SaveShot(window, u"live_preview_book_after"_s);
    EXPECT_TRUE(window.statusPanel(LivePreview::kStatusPanel)->text().startsWith(u"Live preview: book rebuilt"_s))
        << window.statusPanel(LivePreview::kStatusPanel)->text().toStdString();
    EXPECT_EQ(messages, QStringList());
}

TEST_F(LivePreviewBrowser, aLargePageLoadsBehindThePageShownWhileTheStatusBarSaysSo) {
    const QString small = te.path(u"small.c"_s);
    testing::WriteBytes(small, Source(u"Adds item"_s).toUtf8());
    QString text;
    for (int i = 0; i < 40; ++i) {
        text += Source(u"Part %1 adds item"_s.arg(i));
    }
    const QString large = te.path(u"large.c"_s);
    testing::WriteBytes(large, text.toUtf8());
    QSignalSpy loaded(window.browser(), &PreviewBrowser::loadFinished);
    QString next = small;
    window.fileDialogHandler = [&](const QString&, const QString&, bool) { return next; };
    window.action(Command::Open)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.count() > 0; }, kLoadWaitMs));
    QTest::qWait(500);  // painted
    SaveShot(window, u"large_page_before"_s);

    // Every page the engine goes to (the start page never comes between), and
    // whether the status bar told of the load as it went.
    QStringList pages;
    QObject::connect(view, &QWebEngineView::urlChanged, &window, [&](const QUrl& url) { pages << url.fileName(); });
    int progressTold = 0;
    QObject::connect(window.browser(), &PreviewBrowser::loadProgress, &window, [&](int percent) {
        if (!window.loadingLabel()->isHidden() && window.loadingBar()->value() == percent && ++progressTold == 1) {
            SaveShot(window, u"large_page_loading"_s);
        }
    });
    loaded.clear();
    next = large;
    QElapsedTimer clock;
    clock.start();
    window.action(Command::Open)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.count() > 0; }, kLoadWaitMs));
    std::cout << "built and loaded in " << clock.elapsed() << " ms, " << QFileInfo(te.path(u"large.c.htm"_s)).size()
              << " bytes" << std::endl;
    EXPECT_EQ(pages, QStringList{u"large.c.htm"_s});
    EXPECT_GT(progressTold, 0);
    EXPECT_TRUE(window.loadingLabel()->isHidden());
    QTest::qWait(500);  // painted
    SaveShot(window, u"large_page_after"_s);
}

}  // namespace
}  // namespace tessarel

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
