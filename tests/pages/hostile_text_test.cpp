// Text that is not the author's HTML (declarations, tag arguments and section
// names inside attributes) is escaped for where it lands on a chapter page.
#include "extract/document_model.h"
#include "extract/inline_tags.h"
#include "extract/web_links.h"
#include "pages/chapter_page.h"
#include "pages/page_frame.h"
#include "pages/tag_translation.h"
#include "support/settings.h"
#include "support/testing.h"

#include <gtest/gtest.h>

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::Crlf;
using testing::ReadBytes;
using testing::TestEnvironment;
using testing::WriteBytes;

class HostileChapterPage : public ::testing::Test {
protected:
    HostileChapterPage() {
        doc.SourceFilePath = env.path(u"src/main.c"_s);
        doc.ChapterPagePath = doc.SourceFilePath + u".htm"_s;
        WriteBytes(doc.SourceFilePath, "/* the source */");
    }

    QString write(const std::vector<SectionRecord>& sections) {
        doc.Sections = {SectionRecord{}};
        doc.Sections.insert(doc.Sections.end(), sections.begin(), sections.end());
        doc.SectionCount = static_cast<int>(sections.size());
        ChapterPageContext context{env.ui, page, style, settings, QString(), QDateTime()};
        EXPECT_TRUE(WriteChapterPage(context, doc));
        return QString::fromLatin1(ReadBytes(doc.ChapterPagePath));
    }

    TestEnvironment env;
    PageBuffer page;
    PageStyle style{u"none"_s, QString(), true};
    Settings settings;
    DocumentModel doc;
};

TEST_F(HostileChapterPage, declarationsAreSourceCodeAndStillCarryTheirLinks) {
    const QString text = write({
        {u"1"_s, u"Chapter"_s, u"Intro."_s, QString()},
        {u"2"_s, u"Open"_s, u"Opens."_s,
         u"std::vector<int> Open(Item i, int& n, int k = <img src=x onerror=alert(1)>)"_s},
        {u"3"_s, u"Item"_s, u"An item."_s, uR"x(Item make(a "quoted" name q, operator& o))x"_s},
        {u"4"_s, uR"x(a "quoted" name)x"_s, u"Quoted."_s, QString()},
        {u"5"_s, u"operator&"_s, u"And."_s, u"bool operator&(Item a, Item b)"_s},
        // Pascal style: only the source's own semicolons break the line.
        {u"6"_s, u"p"_s, u"Pascal."_s, u"function p(a: T<x>; b: Integer): A&B;"_s},
    });
    EXPECT_TRUE(text.contains(
        Crlf(u"<div class=Api>\nstd::vector&lt;int&gt; <font class=ApiName>Open</font>(<br> <a HREF=\"#Item\">Item</a> "
             "i,<br> int&amp; n,<br> int k = &lt;img src=x onerror=alert(1)&gt;)\n</div>\n"_s)))
        << text.toStdString();
    EXPECT_TRUE(
        text.contains(Crlf(uR"x(<div class=Api>
Item make(<br> <a HREF="#a &quot;quoted&quot; name">a "quoted" name</a> q,<br> <a HREF="#operator&">operator&amp;</a> o)
</div>
)x"_s)));
    EXPECT_TRUE(
        text.contains(Crlf(uR"x(<div class=Api>
bool <font class=ApiName>operator&amp;</font>(<br> <a HREF="#Item">Item</a> a,<br> <a HREF="#Item">Item</a> b)
</div>
)x"_s)));
    EXPECT_TRUE(text.contains(Crlf(
        u"<div class=Api>\nfunction <font class=ApiName>p</font>(<br> a: T&lt;x&gt;;<br> b: Integer): A&amp;B;<br>\n"
        "</div>\n"_s)));
    // The anchors and every link to them agree, quotes written as "&quot;".
    EXPECT_TRUE(
        text.contains(Crlf(uR"x(<a NAME="a^&quot;quoted&quot;^name"></a>
<a NAME="a &quot;quoted&quot; name"></a>
a "quoted" name
)x"_s)));
    EXPECT_TRUE(text.contains(uR"x(<a class=TocLink HREF="#a &quot;quoted&quot; name">a "quoted" name</a>)x"_s));
    EXPECT_TRUE(text.contains(uR"x(<a NAME="operator&"></a>)x"_s));
    EXPECT_FALSE(text.contains(u"<img"_s));
    EXPECT_FALSE(text.contains(u"<int>"_s));
}

TEST_F(HostileChapterPage, aNameInsideALinkedNameStaysInItsLink) {
    const QString text = write({
        {u"1"_s, u"Chapter"_s, u"Intro."_s, QString()},
        {u"2"_s, u"Ring Buffer Size"_s, u"Blanks."_s, QString()},
        {u"3"_s, uR"x(x" y z)x"_s, u"Quoted."_s, QString()},
        {u"4"_s, u"Buffer"_s, u"Inside."_s, QString()},
        {u"5"_s, u"y"_s, u"Inside a quoted one."_s, QString()},
        {u"6"_s, u"grow"_s, u"Grows."_s, uR"x(void grow(Ring Buffer Size n, x" y z q, Buffer *b, y c))x"_s},
    });
    EXPECT_TRUE(
        text.contains(Crlf(uR"x(<div class=Api>
void <font class=ApiName>grow</font>(<br> <a HREF="#Ring Buffer Size">Ring Buffer Size</a> n,<br> <a HREF="#x&quot; y z">x" y z</a> q,<br> <a HREF="#Buffer">Buffer</a> *b,<br> <a HREF="#y">y</a> c)
</div>
)x"_s))) << text.toStdString();
}

TEST_F(HostileChapterPage, theSourceLocationIsAFileNameAndTheSummaryLinksItsAnchors) {
    doc.SourceFilePath = env.path(u"src/<img src=x onerror=alert(1)>.c"_s);
    doc.ChapterPagePath = env.path(u"src/page.htm"_s);
    settings.IncludeSourceLocation = true;
    settings.Overview = ChapterOverview::Summary;
    const QString text = write({{u"1"_s, u"Chapter"_s, u"Intro."_s, QString()},
                                {u"2"_s, u"x\" onmouseover=\"alert(1)"_s, u"One."_s, QString()},
                                {u"3"_s, u"y"_s, u"Two."_s, QString()}});
    EXPECT_TRUE(text.contains(u"src/&lt;img src=x onerror=alert(1)&gt;.c\r\n"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(
        uR"x(<a class=SummaryLink HREF="#x&quot; onmouseover=&quot;alert(1)">x" onmouseover="alert(1)</a>)x"_s));
    EXPECT_FALSE(text.contains(u"<img"_s));
}

QString Translated(void (*translate)(QString&), QString text) {
    translate(text);
    return text;
}

TEST(HostileTags, quotesInArgumentsStayInsideTheirAttribute) {
    EXPECT_EQ(Translated(TranslateGotoTags, uR"x(@goto[x" onmouseover="alert(1)])x"_s),
              uR"x(<a HREF="#x&quot; onmouseover=&quot;alert(1)">x" onmouseover="alert(1)</a>)x"_s);
    EXPECT_EQ(Translated(TranslateLinkTags, uR"x(@link[http://h/p" onclick="alert(1), "shown"])x"_s),
              uR"x(<a HREF="http&#58&#47&#47h/p&quot; onclick=&quot;alert(1)">"shown"</a>)x"_s);
    EXPECT_EQ(Translated(TranslateFigureTags, uR"x(@figure[a.png" onerror="alert(1)])x"_s),
              u"<P>\r\n<div class=Figure>\r\n<IMG SRC=\"a.png&quot; onerror=&quot;alert(1)\">\r\n</div>\r\n</P>\r\n"_s);
    EXPECT_EQ(
        Translated([](QString& text) { TranslateEmailTags(text); }, uR"x(@email[a@b.c" onclick="alert(1), mail])x"_s),
        uR"x(<a HREF="mailto&#58;a&#64b.c&quot; onclick=&quot;alert(1)">mail</a>)x"_s);
    EXPECT_EQ(
        Translated([](QString& text) { LinkWebAddresses(text); }, uR"x(see http://h/x"onmouseover="alert(1) now)x"_s),
        uR"x(see <a href="http&#58&#47&#47h/x&quot;onmouseover=&quot;alert(1)">h/x"onmouseover="alert(1)</a> now)x"_s);
}

TEST(HostileTags, linksAndImagesOfOtherSchemesStayPlainText) {
    EXPECT_EQ(Translated(TranslateLinkTags, u"a @link[javascript:alert(1)] b"_s), u"a javascript:alert(1) b"_s);
    EXPECT_EQ(Translated(TranslateLinkTags, u"@link[ JavaScript&#58;alert(1), click me]"_s), u"click me"_s);
    EXPECT_EQ(Translated(TranslateLinkTags, u"@link[data:text/plain;x, data]"_s), u"data"_s);
    // "@s" becomes "&#" on the page, so it may hide a colon as well.
    EXPECT_EQ(
        Translated(TranslateFigureTags,
                   Translated(TranslateLinkTags, u"@link[javascript@s58;alert(1), x] @figure[javascript@s58;y]"_s)),
        u"x javascript@s58;y"_s);
    EXPECT_EQ(Translated(TranslateLinkTags, u"@link[vbscript:x] @link[file:///etc/passwd, f] @link[#top, top]"_s),
              u"vbscript:x f <a HREF=\"#top\">top</a>"_s);
    EXPECT_EQ(Translated(TranslateLinkTags, u"@link[mailto:a@b.c, mail] @link[../up.htm, up]"_s),
              u"<a HREF=\"mailto:a@b.c\">mail</a> <a HREF=\"../up.htm\">up</a>"_s);
    EXPECT_EQ(Translated(TranslateFigureTags, u"@figure[javascript:alert(1)] @figure[pic.gif]"_s),
              u"javascript:alert(1) <P>\r\n<div class=Figure>\r\n<IMG SRC=\"pic.gif\">\r\n</div>\r\n</P>\r\n"_s);
}

}  // namespace
}  // namespace tessarel
