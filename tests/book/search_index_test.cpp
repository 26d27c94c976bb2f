#include "book/search_index.h"

#include "book/book_resources.h"
#include "book/project_build.h"
#include "book_fixture.h"
#include "extract/document_model.h"
#include "support/html_text.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <set>

namespace tessarel::testing {
namespace {

// Names with quotes, markup, references and letters beyond ASCII; a chapter
// without sections; an HTML chapter taken in as it is.
const QByteArray kAlpha = R"(/*
 * module: Alpha Unit
 * The alpha unit keeps <b>all</b> the values &amp; counts them, one by one, twice over.
 */
/*
 * function: Caf)"
                          "\xc3\xa9"
                          R"( "quoted" name
 * Brews coffee: cr)"
                          "\xc3\xa8"
                          R"(me br)"
                          "\xc3\xbb"
                          R"(l)"
                          "\xc3\xa9"
                          R"(e and a &lt;/script&gt; tag.
 */
/*
 * function: <i>Marked</i> up
 * Short.
 */
)";
const QByteArray kOmega =
    "/*\n * module: \xce\xa9mega \xe2\x80\xa8 Stra\xc3\x9f"
    "e\n * Greek and German.\n */\n";

/// A text the book's pages take from book/resources.
QByteArray ResourceBytes(const QString& name) {
    QFile file(kBookResources + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

class SearchBook : public BookFixture {
protected:
    SearchBook() {
        addSource(u"src"_s, u"alpha.c"_s, kAlpha);
        addSource(u"src"_s, u"empty.c"_s, "int nothing_documented;\n");
        addSource(u"src"_s, u"omega.c"_s, kOmega);
        addSource(u"src"_s, u"guide.htm"_s, "<html>guide</html>");
        ws.project.settings.IncludeSearch = true;
    }

    /// The index script as the JSON it holds.
    QJsonObject index() {
        const QByteArray bytes = ReadBytes(dest + u"_search_index.js"_s);
        const QByteArray prefix = "var tessarelSearchIndex = {";
        EXPECT_TRUE(bytes.startsWith(prefix));
        EXPECT_TRUE(bytes.endsWith("};\r\n"));
        const QByteArray json = bytes.mid(prefix.size() - 1, bytes.size() - prefix.size() - 2);
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(json, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        return document.object();
    }

    /// Every anchor of a chapter page as the browser reads it.
    std::set<QString> pageAnchors(const QString& page) {
        std::set<QString> anchors;
        static const QRegularExpression kName(u"<a NAME=\"([^\"]*)\">"_s);
        // Pages are Latin-1 with "&#N;" beyond it.
        const QString text = read(page);
        for (auto it = kName.globalMatch(text); it.hasNext();) {
            anchors.insert(DecodeHtmlReferences(it.next().captured(1)));
        }
        return anchors;
    }
};

TEST_F(SearchBook, indexListsChaptersSectionsAnchorsAndSnippets) {
    BuildProject(ws);
    const QByteArray bytes = ReadBytes(dest + u"_search_index.js"_s);
    for (const char c : bytes) {
        ASSERT_GE(static_cast<signed char>(c), 0) << "the index is ASCII";
    }
    EXPECT_FALSE(bytes.contains('<'));

    const QJsonObject data = index();
    const QJsonArray snippets = data[u"snippets"_s].toArray();
    ASSERT_FALSE(snippets.isEmpty());
    EXPECT_EQ(snippets[0].toString(), QString());
    const QJsonArray chapters = data[u"chapters"_s].toArray();
    // The chapter without sections is not in the book, so not in its index.
    ASSERT_EQ(chapters.size(), 3);

    const QJsonArray alpha = chapters[0].toArray();
    EXPECT_EQ(alpha[0].toString(), u"alpha.c.htm"_s);
    EXPECT_EQ(alpha[1].toString(), u"Alpha Unit"_s);
    // Tags gone, "&amp;" read as "&", twelve words.
    EXPECT_EQ(snippets[alpha[2].toInt()].toString(), u"The alpha unit keeps all the values & counts them, one by"_s);
    const QJsonArray sections = alpha[3].toArray();
    ASSERT_EQ(sections.size(), 4);
    EXPECT_EQ(sections[0].toString(), u"Caf\u00e9 \"quoted\" name"_s);
    EXPECT_EQ(snippets[sections[1].toInt()].toString(),
              u"Brews coffee cr\u00e8me br\u00fbl\u00e9e and a </script> tag."_s);
    // The page blanks the tags of a name: its anchor is no longer the name's.
    EXPECT_EQ(sections[2].toArray(), (QJsonArray{u"Marked up"_s, u"Marked^^^^^up"_s}));
    EXPECT_EQ(snippets[sections[3].toInt()].toString(), u"Short."_s);
    // Every anchor the index leads to is one the page has.
    const std::set<QString> anchors = pageAnchors(u"alpha.c.htm"_s);
    QString derived = sections[0].toString();
    derived.replace(u' ', u'^');
    EXPECT_TRUE(anchors.count(derived)) << derived.toStdString();
    EXPECT_TRUE(anchors.count(sections[2].toArray()[1].toString()));

    const QJsonArray omega = chapters[1].toArray();
    EXPECT_EQ(omega[0].toString(), u"omega.c.htm"_s);
    EXPECT_EQ(omega[1].toString(), u"\u03a9mega Stra\u00dfe"_s);
    EXPECT_EQ(snippets[omega[2].toInt()].toString(), u"Greek and German."_s);
    EXPECT_TRUE(omega[3].toArray().isEmpty());

    const QJsonArray guide = chapters[2].toArray();
    EXPECT_EQ(guide[0].toString(), u"guide.htm"_s);
    EXPECT_EQ(guide[1].toString(), u"guide"_s);
    EXPECT_EQ(guide[2].toInt(), 0);
}

TEST_F(SearchBook, sidePagesLinkTheSearchPageOnlyWhenOn) {
    const QString searchLink = u" <li class=SideDetail><a class=SideDetail href=\"_search.htm\">Search</a></li>\r\n"_s;
    ws.project.settings.IncludeSearch = false;
    ws.project.settings.Collapsible = true;
    BuildProject(ws);
    const std::map<QString, QByteArray> without = Tree(dest);
    EXPECT_FALSE(without.count(u"_search.htm"_s));
    EXPECT_FALSE(without.count(u"_search_index.js"_s));

    ws.project.settings.IncludeSearch = true;
    dest = env.path(u"out2/"_s);
    ws.project.settings.RelDestPath = dest;
    BuildProject(ws);
    const std::map<QString, QByteArray> with = Tree(dest);
    for (const auto& [name, bytes] : without) {
        ASSERT_TRUE(with.count(name)) << name.toStdString();
        QString text = QString::fromLatin1(with.at(name));
        if (name == u"_book.htm"_s || name == u"_dindex.htm"_s || name == u"_sorted_index.htm"_s) {
            EXPECT_EQ(text.count(searchLink), 1) << name.toStdString();
            text.remove(searchLink);
        } else if (name == u"_bookcol.htm"_s || name == u"_index_active.htm"_s) {
            const QString button =
                u"<input\r\nTYPE=\"button\" VALUE=\"Search\" ONCLICK=\"javascript:location='_search.htm';\"\r\n"
                u"NAME=\"Search\">"_s;
            EXPECT_EQ(text.count(button), 1) << name.toStdString();
            text.remove(button);
        }
        // Chapter pages, frames and help files are the same to the byte.
        EXPECT_EQ(text, QString::fromLatin1(bytes)) << name.toStdString();
    }

    // The search page: the book's style sheet, its side links, and its own
    // part and script line for line as their files hold them, in ASCII.
    const QString page = read(u"_search.htm"_s);
    EXPECT_TRUE(page.contains(u"<link rel=\"stylesheet\""_s, Qt::CaseInsensitive) || page.contains(u"test.css"_s));
    EXPECT_TRUE(page.contains(searchLink));
    const QByteArray part = ResourceBytes(u"search_page.htm"_s);
    const QByteArray script = ResourceBytes(u"search_page.js"_s);
    for (const QByteArray& file : {part, script}) {
        EXPECT_TRUE(std::all_of(file.begin(), file.end(), [](char c) { return c > 0 && c != '\r'; }));
    }
    EXPECT_TRUE(part.contains("<script src=\"_search_index.js\"></script>"));
    EXPECT_FALSE(script.contains("innerHTML"));
    EXPECT_TRUE(page.contains(Crlf(QString::fromLatin1(part + "<script>\n" + script + "</script>\n"))));
}

/// The index's JSON from a script.
QJsonObject ScriptData(const QString& script) {
    const qsizetype open = script.indexOf(u'{');
    return QJsonDocument::fromJson(script.mid(open, script.size() - open - 1).toLatin1()).object();
}

TEST(SearchIndexTest, repeatedSnippetsAreStoredOnceAndCutEvenlyToFitTheSize) {
    SearchIndex index;
    const QString twelve = u"a1 a2 a3 a4 a5 a6 a7 a8 a9 a10 a11 a12"_s;
    index.addChapter(u"First"_s, u"one.c.htm"_s, QStringList{u"Second"_s, u"Third"_s},
                     {QString(), u"b1 b2 b3 b4 b5 b6 b7 b8 b9 b10 b11 b12"_s, twelve, twelve});

    const QString whole = index.script();
    QJsonObject data = ScriptData(whole);
    EXPECT_EQ(data[u"snippets"_s].toArray(),
              (QJsonArray{QString(), u"b1 b2 b3 b4 b5 b6 b7 b8 b9 b10 b11 b12"_s, twelve}));
    EXPECT_EQ(data[u"chapters"_s].toArray()[0].toArray(),
              (QJsonArray{u"one.c.htm"_s, u"First"_s, 1, QJsonArray{u"Second"_s, 2, u"Third"_s, 2}}));

    // Eight bytes too many: every snippet loses its last word, the names stay.
    const QString cut = index.script(whole.size() - 8);
    EXPECT_EQ(cut.size(), whole.size() - 8);
    data = ScriptData(cut);
    EXPECT_EQ(data[u"snippets"_s].toArray()[2].toString(), u"a1 a2 a3 a4 a5 a6 a7 a8 a9 a10 a11"_s);
    EXPECT_EQ(data[u"snippets"_s].toArray()[1].toString(), u"b1 b2 b3 b4 b5 b6 b7 b8 b9 b10 b11"_s);
    EXPECT_EQ(data[u"chapters"_s].toArray()[0].toArray()[3].toArray()[2].toString(), u"Third"_s);
    // No room at all: no snippet, still every name.
    data = ScriptData(index.script(10));
    EXPECT_EQ(data[u"snippets"_s].toArray(), (QJsonArray{QString(), QString(), QString()}));
    EXPECT_EQ(data[u"chapters"_s].toArray()[0].toArray()[1].toString(), u"First"_s);
}

// Each chapter is a line of its own; a section whose anchor the page cannot
// derive from its name carries it, and one with no text is left out.
TEST(SearchIndexTest, chaptersListTheirSectionsWithTheAnchorsThePageCannotDerive) {
    SearchIndex index;
    index.addChapter(u"One"_s, u"one.c.htm"_s, QStringList{u"Open"_s}, {});
    index.addChapter(u"<b>Two</b>"_s, u"two#.c.htm"_s, QStringList{u"a&#32;b c"_s, u"<i></i>"_s, u"Fish &amp; Chips"_s},
                     {});
    const QString script = index.script();
    EXPECT_TRUE(script.contains(u"[\"one.c.htm\",\"One\",0,[\"Open\",0]],\r\n[\"two%23.c.htm\""_s));
    const QJsonArray chapters = ScriptData(script)[u"chapters"_s].toArray();
    ASSERT_EQ(chapters.size(), 2);
    EXPECT_EQ(chapters[1].toArray(),
              (QJsonArray{u"two%23.c.htm"_s, u"Two"_s, 0,
                          QJsonArray{QJsonArray{u"a b c"_s, u"a b^c"_s}, 0, u"Fish & Chips"_s, 0}}));
}

// A chapter's line made once (and kept in the build record) takes the
// snippet numbers of the index it joins, which depend on the chapters before it.
TEST(SearchIndexTest, aLineMadeAheadGivesWhatItsTextsGiveInAnyIndex) {
    const QStringList names{u"a&#32;b c"_s, u"<i></i>"_s, u"Fish &amp; Chips"_s};
    const std::vector<QString> snippets{QString(), u"intro"_s, u"shared"_s, u"skipped"_s, u"own"_s};
    const SearchChapter line = MakeSearchChapter(u"<b>Two</b>"_s, u"two#.c.htm"_s, names);
    EXPECT_EQ(line.line.count('\0'), qsizetype(line.snippetSections.size()));
    for (const QString& before : {u"shared"_s, u"other"_s}) {
        SearchIndex fromTexts;
        SearchIndex fromLine;
        for (SearchIndex* index : {&fromTexts, &fromLine}) {
            index->addChapter(u"One"_s, u"one.c.htm"_s, QStringList{u"Open"_s}, {QString(), before, before});
        }
        fromTexts.addChapter(u"<b>Two</b>"_s, u"two#.c.htm"_s, names, snippets);
        fromLine.addChapter(line, snippets);
        EXPECT_EQ(fromLine.script(), fromTexts.script()) << before.toStdString();
    }
    // The section without a name has no place, so its snippet is not in the table.
    SearchIndex index;
    index.addChapter(line, snippets);
    EXPECT_FALSE(index.script().contains(u"skipped"_s));
    EXPECT_TRUE(index.script().contains(u"\"own\""_s));
}

TEST(JavaScriptStringTest, escapesEverythingThatCouldEndOrBendTheString) {
    const QString hostile = u"a\"b\\c</script><!--\u2028\u2029\r\n\t\u00e9\U0001F600'&"_s;
    const QString literal = JavaScriptString(hostile);
    for (const QChar c : literal) {
        EXPECT_TRUE(c.unicode() >= 0x20 && c.unicode() < 0x7F);
    }
    EXPECT_FALSE(literal.contains(u'<'));
    EXPECT_FALSE(literal.contains(u'&'));
    // The literal reads back as the text (JSON's string rules are a subset).
    const QJsonDocument back = QJsonDocument::fromJson((u'[' + literal + u']').toLatin1());
    EXPECT_EQ(back.array()[0].toString(), hostile);

    // Half a surrogate pair is the replacement character the pages show.
    const QString halves = u"a"_s + QChar(0xD800) + u"b"_s + QChar(0xDC00) + QChar(0xDBFF);
    EXPECT_EQ(JavaScriptString(halves), u"\"a\\ufffdb\\ufffd\\ufffd\""_s);
}

TEST(SectionAnchorTextTest, isTheAnchorAsTheBrowserReadsIt) {
    EXPECT_EQ(SectionAnchorText(u"Fish &amp; Chips"_s), u"Fish^&^Chips"_s);
    EXPECT_EQ(SectionAnchorText(u"a&#32;b c"_s), u"a b^c"_s);
    EXPECT_EQ(SectionAnchorText(u"Caf\u00e9 \"x\""_s), u"Caf\u00e9^\"x\""_s);
}

}  // namespace
}  // namespace tessarel::testing
