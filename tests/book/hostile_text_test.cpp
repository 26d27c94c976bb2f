// A project whose file names, settings and sources are made to break out of
// their place in the HTML is built whole (pages, book pages, HTML Help files),
// and every generated file is read back the way a browser tokenizes it: only
// the tags and attributes Tessarel writes may appear, no link may run script,
// and every link still leads to its file and anchor.
#include "book/project_build.h"

#include "book/help_compiler_run.h"
#include "book_fixture.h"
#include "support/preferences.h"
#include "support/special_files.h"

#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QUrl>

#include <map>
#include <vector>

namespace tessarel::testing {
namespace {

struct Tag {
    QString name;  ///< lower case, without the "/" of a closing tag
    bool closing = false;
    std::vector<std::pair<QString, QString>> attributes;  ///< lower-case names, raw values

    QString attribute(const QString& wanted) const {
        for (const auto& [key, value] : attributes) {
            if (key == wanted) {
                return value;
            }
        }
        return {};
    }
};

bool IsTagNameStart(QChar c) { return c.isLetter() && c.unicode() < 128; }

bool IsSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f'; }

/// The tags of a page as a browser's tokenizer finds them: "<" and a letter
/// start a tag; comments and the text of script and style elements are skipped.
std::vector<Tag> Tokenize(const QString& html) {
    std::vector<Tag> tags;
    const qsizetype n = html.size();
    qsizetype i = 0;
    const auto skipTo = [&](const QString& end) {
        const qsizetype at = html.indexOf(end, i, Qt::CaseInsensitive);
        i = at < 0 ? n : at;
    };
    while (i < n) {
        if (html[i] != u'<') {
            ++i;
            continue;
        }
        if (html.mid(i, 4) == u"<!--") {
            i += 4;
            skipTo(u"-->"_s);
            continue;
        }
        Tag tag;
        qsizetype at = i + 1;
        if (at < n && html[at] == u'/') {
            tag.closing = true;
            ++at;
        }
        if (at >= n || !IsTagNameStart(html[at])) {
            ++i;
            continue;
        }
        while (at < n && !IsSpace(html[at]) && html[at] != u'/' && html[at] != u'>') {
            tag.name += html[at++].toLower();
        }
        while (at < n && html[at] != u'>') {
            if (IsSpace(html[at]) || html[at] == u'/') {
                ++at;
                continue;
            }
            QString name;
            while (at < n && !IsSpace(html[at]) && html[at] != u'/' && html[at] != u'>' &&
                   (html[at] != u'=' || name.isEmpty())) {
                name += html[at++].toLower();
            }
            while (at < n && IsSpace(html[at])) {
                ++at;
            }
            QString value;
            if (at < n && html[at] == u'=') {
                ++at;
                while (at < n && IsSpace(html[at])) {
                    ++at;
                }
                if (at < n && (html[at] == u'"' || html[at] == u'\'')) {
                    const QChar quote = html[at++];
                    while (at < n && html[at] != quote) {
                        value += html[at++];
                    }
                    ++at;
                } else {
                    while (at < n && !IsSpace(html[at]) && html[at] != u'>') {
                        value += html[at++];
                    }
                }
            }
            tag.attributes.emplace_back(name, value);
        }
        i = at + 1;
        if (!tag.closing && (tag.name == u"script" || tag.name == u"style")) {
            skipTo(u"</"_s + tag.name);
        }
        tags.push_back(std::move(tag));
    }
    return tags;
}

/// An attribute value as the browser reads it: the references Tessarel and
/// the scanner write decoded.
QString DecodeAttribute(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'&') {
            out += value[i];
            continue;
        }
        bool matched = false;
        for (const auto& [entity, character] : {std::pair{u"&quot;"_s, u'"'}, std::pair{u"&amp;"_s, u'&'},
                                                std::pair{u"&lt;"_s, u'<'}, std::pair{u"&gt;"_s, u'>'}}) {
            if (value.mid(i, entity.size()) == entity) {
                out += QChar(character);
                i += entity.size() - 1;
                matched = true;
                break;
            }
        }
        if (!matched && value.mid(i, 2) == u"&#") {
            qsizetype end = i + 2;
            while (end < value.size() && value[end].isDigit()) {
                ++end;
            }
            if (end > i + 2) {
                out += QChar(value.mid(i + 2, end - i - 2).toInt());
                i = end < value.size() && value[end] == u';' ? end : end - 1;
                matched = true;
            }
        }
        if (!matched) {
            out += value[i];
        }
    }
    return out;
}

const QSet<QString> kTags{u"html"_s,     u"head"_s,  u"title"_s,    u"link"_s,   u"meta"_s,     u"body"_s,
                          u"div"_s,      u"h1"_s,    u"h2"_s,       u"h3"_s,     u"h4"_s,       u"a"_s,
                          u"ul"_s,       u"li"_s,    u"table"_s,    u"tr"_s,     u"td"_s,       u"font"_s,
                          u"br"_s,       u"p"_s,     u"pre"_s,      u"b"_s,      u"i"_s,        u"u"_s,
                          u"center"_s,   u"img"_s,   u"frameset"_s, u"frame"_s,  u"noframes"_s, u"script"_s,
                          u"noscript"_s, u"style"_s, u"input"_s,    u"object"_s, u"param"_s};
const QSet<QString> kAttributes{
    u"href"_s,        u"name"_s,    u"src"_s,    u"class"_s,     u"target"_s,      u"rel"_s,      u"type"_s,
    u"http-equiv"_s,  u"content"_s, u"cols"_s,   u"scrolling"_s, u"frameborder"_s, u"border"_s,   u"cellpadding"_s,
    u"cellspacing"_s, u"width"_s,   u"height"_s, u"valign"_s,    u"nowrap"_s,      u"id"_s,       u"classid"_s,
    u"codebase"_s,    u"align"_s,   u"vspace"_s, u"value"_s,     u"language"_s,    u"disabled"_s, u"onclick"_s};
const QSet<QString> kFixedScripts{u"javascript:location='_bookcol.htm';"_s,
                                  u"javascript:location='_index_active.htm';"_s};

/// What a browser would run or load from a link target: its scheme, if any.
bool RunsScript(const QString& target) {
    QString seen = DecodeAttribute(target);
    seen.remove(u'\t');
    seen.remove(u'\r');
    seen.remove(u'\n');
    while (!seen.isEmpty() && seen[0].unicode() <= 0x20) {
        seen.remove(0, 1);
    }
    seen = seen.toLower();
    return seen.startsWith(u"javascript:") || seen.startsWith(u"vbscript:") || seen.startsWith(u"data:");
}

/// A page-relative link target as the file name and anchor it leads to.
std::pair<QString, QString> Destination(const QString& target) {
    QString decoded = DecodeAttribute(target);
    if (decoded.startsWith(u"..\\")) {
        decoded = decoded.mid(3);
    }
    const qsizetype hash = decoded.indexOf(u'#');
    const QString page = hash < 0 ? decoded : decoded.left(hash);
    return {QUrl::fromPercentEncoding(page.toUtf8()), hash < 0 ? QString() : decoded.mid(hash + 1)};
}

const char kHostileSource[] =
    "/*\r\n"
    " * file: Hostile \"chapter\"\r\n"
    " * Hostile text follows.\r\n"
    " * See @goto[x\" onmouseover=\"alert(1)] and @link[javascript:alert(1), bad] and\r\n"
    " * @link[http://h/p\" onclick=\"alert(2), good] and @figure[a.png\" onerror=\"alert(3)]\r\n"
    " * and @email[a@b.c\" onclick=\"alert(4), mail] and http://w/x\"onmouseover=\"alert(5) end.\r\n"
    " */\r\n\r\n"
    "/*\r\n"
    " * function: x\" onmouseover=\"alert(1)\r\n"
    " * A quoted name.\r\n"
    " */\r\n\r\n"
    "/*\r\n"
    " * function: make\r\n"
    " * Makes one.\r\n"
    " * See @link[ JaVaScRiPt:alert(7)] or @link[javascript@s58;alert(8), this].\r\n"
    " */\r\n"
    "std::vector<int> make(std::vector<int>& v, int b = <img src=y onerror=alert(6)>);\r\n\r\n"
    // A name inside a longer one: linked inside the longer link, it would nest.
    "/*\r\n * type: Ring Buffer Size\r\n * Blanks.\r\n */\r\n\r\n"
    "/*\r\n * type: Buffer\r\n * Inside.\r\n */\r\n\r\n"
    "/*\r\n * function: grow\r\n * Grows.\r\n */\r\n"
    "void grow(Ring Buffer Size n, Buffer *b);\r\n";

const char kPlainSource[] = "/*\r\n * module: Plain\r\n * Plain.\r\n */\r\n";

class HostileBook : public BookFixture {
protected:
    HostileBook() {
        Settings& settings = ws.project.settings;
        ws.project.ProjectFileName = u"D<i>\"o\".qdx"_s;
        settings.IndexTitle = u"T\"itle"_s;
        settings.Style = u"st\"yle<x>"_s;
        settings.GenerateHtmlHelpFiles = true;
        settings.Collapsible = true;
        settings.IncludeOnlyDocumentedFiles = false;
        settings.HomeChapter = u"q\" onmouseover=\"alert(1).c"_s;
        const QString compiler = env.path(u"compiler/"_s) + HtmlHelpCompilerName();
        WriteBytes(compiler, "#!/bin/sh\n");
        QFile::setPermissions(compiler, QFile::permissions(compiler) | QFileDevice::ExeOwner);
        env.preferences->WritePreference(prefs::kProject, prefs::kCompilerPath, env.path(u"compiler"_s));
        addSource(u"src"_s, u"<img src=x onerror=alert(1)>.c"_s, kHostileSource);
        addSource(u"src"_s, settings.HomeChapter, kPlainSource);
        addSource(u"src"_s, u"javascript:alert(1).c"_s, kPlainSource);
        addSource(u"src"_s, u"a#b?c%d e.c"_s, kPlainSource);
        addSource(u"src"_s, u"n\nCompiled file=x.c"_s, kPlainSource);
        addSource(u"src"_s, u"<b onclick=alert(1)>none.c"_s, "no sections here");
        addSource(u"src"_s, u"<svg onload=alert(1)>missing.c"_s);
    }

    /// Every file the build wrote, by its path below the destination.
    std::map<QString, QString> generated() const {
        std::map<QString, QString> files;
        QDirIterator it(dest, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files[path.mid(dest.size())] = QString::fromLatin1(ReadBytes(path));
        }
        return files;
    }
};

TEST_F(HostileBook, noGeneratedFileLetsANameArgumentSettingOrDeclarationOutOfItsPlace) {
    BuildProject(ws);
    const std::map<QString, QString> files = generated();
    ASSERT_GE(files.size(), 20u);

    // The anchors of every page, decoded, to follow the links.
    std::map<QString, QSet<QString>> anchors;
    for (const auto& [file, text] : files) {
        for (const Tag& tag : Tokenize(text)) {
            for (const auto& [name, value] : tag.attributes) {
                if (tag.name == u"a" && name == u"name") {
                    anchors[file].insert(DecodeAttribute(value));
                }
            }
        }
    }
    int followed = 0;
    const auto follow = [&](const QString& file, const QString& target) {
        auto [page, anchor] = Destination(target);
        if (page.isEmpty()) {
            page = file;
        }
        EXPECT_EQ(files.count(page), 1u) << target.toStdString() << " -> " << page.toStdString();
        EXPECT_TRUE(anchor.isEmpty() || anchors[page].contains(anchor))
            << target.toStdString() << " -> #" << anchor.toStdString();
        ++followed;
    };
    for (const auto& [file, text] : files) {
        if (file.endsWith(u".hhp") || file.endsWith(u".css")) {
            continue;
        }
        SCOPED_TRACE(file.toStdString());
        bool inLink = false;
        for (const Tag& tag : Tokenize(text)) {
            EXPECT_TRUE(kTags.contains(tag.name)) << "tag " << tag.name.toStdString();
            if (tag.name == u"a") {
                // A link inside a link: the browser would end the first one there.
                EXPECT_TRUE(tag.closing || !inLink)
                    << "a link inside a link: " << tag.attribute(u"href"_s).toStdString();
                inLink = !tag.closing;
            }
            EXPECT_TRUE(tag.name != u"script" || file == u"index.htm");
            for (const auto& [name, value] : tag.attributes) {
                EXPECT_TRUE(kAttributes.contains(name)) << tag.name.toStdString() << " " << name.toStdString();
                EXPECT_TRUE(name != u"onclick" || kFixedScripts.contains(value)) << value.toStdString();
            }
            const bool local = tag.name == u"param" && tag.attribute(u"name"_s) == u"Local";
            const QString target =
                local ? tag.attribute(u"value"_s) : tag.attribute(tag.name == u"a" ? u"href"_s : u"src"_s);
            EXPECT_FALSE(RunsScript(target)) << target.toStdString();
            // Every page of the book, site map and frame links within the book.
            if (target.isEmpty() || target.startsWith(u"http") || target.startsWith(u"mailto") || tag.name == u"img") {
                continue;
            }
            if (local || tag.name == u"frame" ||
                (tag.name == u"a" && (file.startsWith(u"_") || target.startsWith(u"#")))) {
                follow(file, target);
            }
        }
    }
    EXPECT_GT(followed, 60);

    // The project file of the help compiler keeps one key per line.
    const QStringList lines = files.at(u"HTML Help/help.hhp"_s).split(u"\r\n"_s);
    EXPECT_EQ(lines.count(u"[OPTIONS]"_s), 1);
    for (const QString& line : lines) {
        EXPECT_FALSE(line.startsWith(u"Compiled file=")) << line.toStdString();
        EXPECT_TRUE(!line.startsWith(u"[") || line == u"[OPTIONS]" || line == u"[FILES]") << line.toStdString();
    }
}

TEST_F(HostileBook, namesAreShownAsTextAndLinkedAsTheirFiles) {
    BuildProject(ws);
    const QString book = read(u"_book.htm"_s);
    EXPECT_TRUE(
        book.contains(u"href=\"&lt;img src=x onerror=alert(1)&gt;.c.htm\" target = \"chapter\">"
                      "<b>&lt;img src=x onerror=alert(1)&gt;.c</b>"_s));
    EXPECT_TRUE(book.contains(u"href=\"javascript%3Aalert(1).c.htm\""_s));
    EXPECT_TRUE(book.contains(u"href=\"a%23b%3Fc%25d e.c.htm\""_s));
    EXPECT_TRUE(book.contains(u"[x] <b>&lt;b onclick=alert(1)&gt;none.c</b>"_s));
    EXPECT_TRUE(read(u"genesisn.htm"_s).contains(u"<frame src=\"q&quot; onmouseover=&quot;alert(1).c.htm\""_s));
    EXPECT_TRUE(read(u"genesisn.htm"_s).contains(u"<title>\r\nD&lt;i&gt;\"o\"\r\n</title>"_s));
    // A style name that is no plain file name falls back to the fallback sheet.
    EXPECT_TRUE(book.contains(u"href=\"minimal.css\""_s));
    EXPECT_TRUE(
        read(u"<svg onload=alert(1)>missing.c.htm"_s).contains(u"<h2>&lt;svg onload=alert(1)&gt;missing.c</h2>"_s));
    EXPECT_TRUE(read(u"<b onclick=alert(1)>none.c.htm"_s).contains(u"<h2>&lt;b onclick=alert(1)&gt;none.c</h2>"_s));

    const QString page = read(u"<img src=x onerror=alert(1)>.c.htm"_s);
    EXPECT_TRUE(
        page.contains(u"std&#58&#58vector&lt;int&gt; <font class=ApiName>make</font>(<br> "
                      "std&#58&#58vector&lt;int&gt;&amp; v,<br> int b = &lt;img src=y onerror=alert(6)&gt;);"_s))
        << page.toStdString();
    EXPECT_TRUE(page.contains(u"</a> and bad and"_s)) << page.toStdString();
    EXPECT_TRUE(page.contains(u"See JaVaScRiPt:alert(7) or this."_s));
    const QString help = QString::fromLatin1(ReadBytes(dest + u"HTML Help/contents.hhc"_s));
    EXPECT_TRUE(help.contains(u"<param name=\"Name\" value=\"x&quot; onmouseover=&quot;alert(1)\">"_s));
    EXPECT_TRUE(help.contains(
        u"<param name=\"Local\" value=\"..\\&lt;img src=x onerror=alert(1)&gt;.c.htm#x&quot;^onmouseover=&quot;alert(1)\">"_s));
    EXPECT_TRUE(QString::fromLatin1(ReadBytes(dest + u"HTML Help/help.hhp"_s))
                    .contains(u"\r\nTitle=T\"itle\r\n"_s + u"\r\n[FILES]\r\n"_s));
}

// A chapter that is listed without a page of its own (not read, refused) is
// listed under its file name as text, whatever the title setting says.
TEST_F(HostileBook, chaptersNotReadAreListedUnderTheirNamesAsText) {
    ws.project.settings.UseChapterTitleInIndex = true;
    ASSERT_TRUE(MakeFifo(ws.project.ProjectFolder + u"src/<i onclick=alert(2)>pipe.c"_s));
    addSource(u"src"_s, u"<i onclick=alert(2)>pipe.c"_s);
    BuildProject(ws);
    EXPECT_TRUE(read(u"_book.htm"_s).contains(u"[x] <b>&lt;i onclick=alert(2)&gt;pipe.c</b>"_s));
}

}  // namespace
}  // namespace tessarel::testing
