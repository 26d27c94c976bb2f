// The search page of a built book, driven in the embedded browser: typing
// lists the matches, the arrows move, Enter opens the section in the chapter
// frame. A picture of the page is left in the screenshot folder.

#include "book/book_resources.h"
#include "book/project_build.h"
#include "book/workspace.h"
#include "support/environment.h"
#include "support/testing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace tessarel::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

/// A ceiling for the engine on a busy machine, never a measure.
constexpr int kEngineWaitMs = 60000;

/// Runs a script in the page and waits for its value.
QVariant Evaluate(QWebEnginePage* page, const QString& script) {
    QVariant value;
    bool done = false;
    QEventLoop loop;
    page->runJavaScript(script, [&](const QVariant& result) {
        value = result;
        done = true;
        loop.quit();
    });
    QTimer::singleShot(kEngineWaitMs, &loop, &QEventLoop::quit);
    if (!done) {
        loop.exec();
    }
    return value;
}

/// Waits until a script's value is true; false when the ceiling is reached.
bool WaitUntil(QWebEnginePage* page, const QString& script) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kEngineWaitMs) {
        if (Evaluate(page, script).toBool()) {
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

class SearchPageTest : public ::testing::Test {
protected:
    SearchPageTest() {
        QDir().mkpath(env.path(u"proj/src"_s));
        ProjectModel& project = ws.project;
        project.ProjectFolder = env.path(u"proj/"_s);
        project.ProjectFileName = u"Kitchen.qdx"_s;
        project.ProjectPath = project.ProjectFolder + project.ProjectFileName;
        project.settings.RelDestPath = u"book/"_s;
        project.settings.IndexTitle = u"Kitchen"_s;
        project.settings.IncludeSearch = true;
        addSource(u"recipes.c"_s,
                  "/*\n * module: Recipes\n * What the kitchen cooks.\n */\n"
                  "/*\n * function: Caf\xc3\xa9 Cr\xc3\xa8me\n * Coffee with cream, served hot.\n */\n"
                  "/*\n * function: Fish &#60Chips&#62\n * Fried, with salt.\n */\n");
        addSource(u"animals.c"_s,
                  "/*\n * module: Animals\n * Who visits the kitchen.\n */\n"
                  "/*\n * function: Elephant\n * Comes to the cafe every morning for a bun.\n */\n"
                  "/*\n * function: Zebra\n * Stripes.\n */\n");
    }

    void addSource(const QString& name, const QByteArray& text) {
        WriteBytes(env.path(u"proj/src/"_s) + name, text);
        ws.project.Chapters.push_back({name, u"src\\"_s});
    }

    /// A script about the side frame's document.
    static QString inSide(const QString& expression) {
        return u"(function (d) { return "_s + expression + u"; })(window.frames['_book'].document)"_s;
    }

    QString results() {
        return Evaluate(view.page(), inSide(u"Array.prototype.map.call(d.querySelectorAll('#SearchResults a'), "
                                            u"function (a) { return a.textContent; }).join('|')"_s))
            .toString();
    }

    TestEnvironment env;
    Workspace ws{*env.env};
    QWebEngineView view;
};

TEST_F(SearchPageTest, typingListsMatchesAndEnterOpensTheSection) {
    ASSERT_TRUE(BuildProject(ws).started);
    const QString book = env.path(u"proj/book/"_s);
    ASSERT_TRUE(QFile::exists(book + u"_search.htm"_s));

    view.resize(1000, 640);
    view.show();
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.load(QUrl::fromLocalFile(book + u"index.htm"_s));
    ASSERT_TRUE(loaded.wait(kEngineWaitMs));
    QWebEnginePage* page = view.page();
    ASSERT_TRUE(WaitUntil(page, inSide(u"d.readyState === 'complete'"_s)));

    // The side page's Search link leads to the search page, in the side frame.
    Evaluate(page, inSide(u"d.querySelector('a[href=\"_search.htm\"]').click()"_s));
    ASSERT_TRUE(WaitUntil(page, inSide(u"!!d.getElementById('SearchBox') && d.readyState === 'complete'"_s)));

    // Typed keys: accents fold both ways, names come before texts.
    Evaluate(page, inSide(u"d.getElementById('SearchBox').focus()"_s));
    view.setFocus();
    QTest::keyClicks(view.focusProxy(), u"cafe"_s);
    ASSERT_TRUE(WaitUntil(page, inSide(u"d.querySelectorAll('#SearchResults a').length === 2"_s)));
    EXPECT_EQ(results(), u"Caf\u00e9 Cr\u00e8me|Elephant"_s);
    EXPECT_EQ(Evaluate(page, inSide(u"d.getElementById('SearchStatus').textContent"_s)).toString(), u"2 found."_s);
    EXPECT_EQ(Evaluate(page, inSide(u"d.querySelectorAll('.SearchSnippet')[1].textContent"_s)).toString(),
              u"Comes to the cafe every morning for a bun."_s);

    QDir().mkpath(QStringLiteral(TESSAREL_SCREENSHOT_FOLDER));
    QTest::qWait(200);  // for the screenshot only; nothing is asserted on it
    EXPECT_TRUE(view.grab().save(QStringLiteral(TESSAREL_SCREENSHOT_FOLDER) + u"/search_page.png"_s));

    // Down to the second result, and Enter opens it in the chapter frame.
    QTest::keyClick(view.focusProxy(), Qt::Key_Down);
    QTest::keyClick(view.focusProxy(), Qt::Key_Return);
    ASSERT_TRUE(WaitUntil(page,
                          u"window.frames['chapter'].location.href.indexOf('animals.c.htm#Elephant') > 0 && "
                          u"window.frames['chapter'].document.readyState === 'complete'"_s));
    // The page has the anchor the link names (twice: with blanks and with "^").
    EXPECT_GT(Evaluate(page,
                       u"window.frames['chapter'].document.getElementsByName("
                       u"decodeURIComponent(window.frames['chapter'].location.hash.slice(1))).length"_s)
                  .toInt(),
              0);

    // A name that reads as markup is shown as text, never made into elements.
    Evaluate(page, inSide(u"(function (b) { b.value = 'chips'; b.dispatchEvent(new Event('input')); })"
                          u"(d.getElementById('SearchBox'))"_s));
    ASSERT_TRUE(WaitUntil(page, inSide(u"d.querySelectorAll('#SearchResults a').length === 1"_s)))
        << results().toStdString();
    EXPECT_EQ(results(), u"Fish <Chips>"_s);
    EXPECT_EQ(Evaluate(page, inSide(u"d.querySelector('#SearchResults a').children.length"_s)).toInt(), 0);
    QTest::keyClick(view.focusProxy(), Qt::Key_Return);
    ASSERT_TRUE(WaitUntil(page,
                          u"window.frames['chapter'].location.href.indexOf('recipes.c.htm#') > 0 && "
                          u"window.frames['chapter'].document.readyState === 'complete'"_s));
    // The page has the anchor the link names (twice: with blanks and with "^").
    EXPECT_GT(Evaluate(page,
                       u"window.frames['chapter'].document.getElementsByName("
                       u"decodeURIComponent(window.frames['chapter'].location.hash.slice(1))).length"_s)
                  .toInt(),
              0);

    // Nothing found says so.
    Evaluate(page, inSide(u"(function (b) { b.value = 'qqq'; b.dispatchEvent(new Event('input')); })"
                          u"(d.getElementById('SearchBox'))"_s));
    ASSERT_TRUE(WaitUntil(page, inSide(u"d.getElementById('SearchStatus').textContent === 'Nothing found.'"_s)));
    EXPECT_EQ(results(), QString());
}

// Half a surrogate pair (a UTF-16 source) and names that read as markup or
// script: every query still finds what it should, from the index the build
// writes and from one whose entries the page could not take.
TEST_F(SearchPageTest, anIndexWithHalfPairsAndHostileNamesStillFindsEntries) {
    const QString hostile =
        u"/*\n * module: Hostile\n * Names.\n */\n/*\n * function: Broken "_s + QChar(0xD800) +
        u" half\n * A lone half.\n */\n/*\n * function: Tag &#60/script&#62 \"q\" \\ end\n * Script.\n */\n"
        u"/*\n * function: __proto__\n * Proto.\n */\n"_s;
    QByteArray utf16("\xFF\xFE");
    for (const QChar c : hostile) {
        utf16 += static_cast<char>(c.unicode() & 0xFF);
        utf16 += static_cast<char>(c.unicode() >> 8);
    }
    addSource(u"hostile.c"_s, utf16);
    ASSERT_TRUE(BuildProject(ws).started);
    const QString book = env.path(u"proj/book/"_s);

    QWebEnginePage* page = view.page();
    const auto open = [&] {
        QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
        view.load(QUrl::fromLocalFile(book + u"_search.htm"_s));
        return loaded.wait(20000) && WaitUntil(page, u"document.readyState === 'complete'"_s);
    };
    // The input event is handled at once, so the results are there when it returns.
    const auto found = [&](const QString& query) {
        Evaluate(page, u"(function (b) { b.value = '"_s + query +
                           u"'; b.dispatchEvent(new Event('input')); })(document.getElementById('SearchBox'))"_s);
        return Evaluate(page,
                        u"Array.prototype.map.call(document.querySelectorAll('#SearchResults a'), "
                        u"function (a) { return a.textContent + ' ' + a.getAttribute('href'); }).join('|')"_s)
            .toString();
    };
    ASSERT_TRUE(open());
    EXPECT_EQ(found(u"zebra"_s), u"Zebra animals.c.htm#Zebra"_s);
    // The page shows the half as the replacement character, and links its anchor so.
    EXPECT_EQ(found(u"broken"_s), u"Broken \ufffd half hostile.c.htm#Broken%5E%EF%BF%BD%5Ehalf"_s);
    EXPECT_EQ(found(u"proto"_s), u"__proto__ hostile.c.htm#__proto__"_s);
    EXPECT_EQ(found(u"script"_s),
              u"Tag </script> \"q\" \\ end hostile.c.htm#Tag%5E%3C%2Fscript%3E%5E%22q%22%5E%5C%5Eend"_s);

    // An index as an older or damaged book holds it: raw halves, entries of
    // the wrong shape. The page takes what it can read.
    WriteBytes(book + u"_search_index.js"_s,
               "var tessarelSearchIndex = {\r\n\"snippets\": [\"\"],\r\n\"chapters\": [\r\n"
               "[\"a.htm\",\"Half \\ud800\",0,[\"Lone \\udc00\",0,[\"Pair\",\"x\\udbff\"],0]],\r\n"
               "null,\r\n[\"b.htm\",\"Bad\",0,[5,0]],\r\n"
               "[\"c.htm\",\"Zebra\",0,[\"Zebu\",0]]\r\n]};\r\n");
    ASSERT_TRUE(open());
    EXPECT_EQ(found(u"zeb"_s), u"Zebra c.htm|Zebu c.htm#Zebu"_s);
    EXPECT_TRUE(found(u"lone"_s).endsWith(u" a.htm#Lone%5E%EF%BF%BD"_s));
    EXPECT_EQ(found(u"pair"_s), u"Pair a.htm#x%EF%BF%BD"_s);
}

// The page's script on its own, from its file, over an index made here: names
// that start with the query come first, then other names, then texts; past 200
// matches it shows the first 200 and says how many there are.
TEST_F(SearchPageTest, scriptRanksNamesBeforeTextsAndShowsTheFirst200) {
    QFile file(kBookResources + u"search_page.js"_s);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString items;
    for (int i = 0; i < 250; ++i) {
        items += u"\"Item "_s + QString::number(i) + u"\",0,"_s;
    }
    items.chop(1);
    const QString html =
        u"<html><body><input id=\"SearchBox\"><div id=\"SearchStatus\"></div>"
        u"<table id=\"SearchResults\"></table><script>var tessarelSearchIndex = {"
        u"\"snippets\": [\"\",\"all about ab\"], \"chapters\": [[\"z.htm\",\"Zed\",1,[]],"
        u"[\"b.htm\",\"Beta ab\",0,[]],[\"a.htm\",\"Abc\",0,[]],[\"m.htm\",\"Many\",0,["_s +
        items + u"]]]};</script><script>"_s + QString::fromLatin1(file.readAll()) + u"</script></body></html>"_s;
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.setHtml(html, QUrl(u"file:///"_s));
    ASSERT_TRUE(loaded.wait(kEngineWaitMs));
    QWebEnginePage* page = view.page();
    const auto search = [&](const QString& query) {
        Evaluate(page, u"(function (b) { b.value = '"_s + query +
                           u"'; b.dispatchEvent(new Event('input')); })(document.getElementById('SearchBox'))"_s);
        return Evaluate(page,
                        u"document.querySelectorAll('#SearchResults a').length + ' ' + "
                        u"document.getElementById('SearchStatus').textContent + ' ' + "
                        u"Array.prototype.map.call(document.querySelectorAll('#SearchResults a'), "
                        u"function (a) { return a.textContent; }).slice(0, 3).join('|')"_s)
            .toString();
    };
    EXPECT_EQ(search(u"ab"_s), u"3 3 found. Abc|Beta ab|Zed"_s);
    EXPECT_EQ(search(u"item"_s), u"200 250 found, the first 200 shown. Item 0|Item 1|Item 2"_s);
}

}  // namespace
}  // namespace tessarel::testing

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
