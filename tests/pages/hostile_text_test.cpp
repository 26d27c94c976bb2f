// Text that is not the author's HTML (declarations, section names inside
// attributes, the source's path) is escaped for where it lands on a chapter page.
#include "extract/document_model.h"
#include "pages/chapter_page.h"
#include "pages/page_frame.h"
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
        pagePath = doc.SourceFilePath + u".htm"_s;
        WriteBytes(doc.SourceFilePath, "/* the source */");
    }

    QString write(const std::vector<SectionRecord>& sections) {
        doc.Sections = sections;
        ChapterPageContext context{env.ui, page, style, settings, pagePath, QDateTime()};
        EXPECT_TRUE(WriteChapterPage(context, doc));
        return QString::fromLatin1(ReadBytes(pagePath));
    }

    TestEnvironment env;
    PageBuffer page;
    PageStyle style{u"none"_s, QString(), true};
    Settings settings;
    QString pagePath;
    DocumentModel doc;
};

TEST_F(HostileChapterPage, declarationsAreSourceCodeAndStillCarryTheirLinks) {
    const QString text = write({
        {1, u"Chapter"_s, u"Intro."_s, QString()},
        {2, u"Open"_s, u"Opens."_s, u"std::vector<int> Open(Item i, int& n, int k = <img src=x onerror=alert(1)>)"_s},
        {3, u"Item"_s, u"An item."_s, uR"x(Item make(a "quoted" name q, operator& o))x"_s},
        {4, uR"x(a "quoted" name)x"_s, u"Quoted."_s, QString()},
        {5, u"operator&"_s, u"And."_s, u"bool operator&(Item a, Item b)"_s},
        // Pascal style: only the source's own semicolons break the line.
        {6, u"p"_s, u"Pascal."_s, u"function p(a: T<x>; b: Integer): A&B;"_s},
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
        {1, u"Chapter"_s, u"Intro."_s, QString()},
        {2, u"Ring Buffer Size"_s, u"Blanks."_s, QString()},
        {3, uR"x(x" y z)x"_s, u"Quoted."_s, QString()},
        {4, u"Buffer"_s, u"Inside."_s, QString()},
        {5, u"y"_s, u"Inside a quoted one."_s, QString()},
        {6, u"grow"_s, u"Grows."_s, uR"x(void grow(Ring Buffer Size n, x" y z q, Buffer *b, y c))x"_s},
    });
    EXPECT_TRUE(
        text.contains(Crlf(uR"x(<div class=Api>
void <font class=ApiName>grow</font>(<br> <a HREF="#Ring Buffer Size">Ring Buffer Size</a> n,<br> <a HREF="#x&quot; y z">x" y z</a> q,<br> <a HREF="#Buffer">Buffer</a> *b,<br> <a HREF="#y">y</a> c)
</div>
)x"_s))) << text.toStdString();
}

TEST_F(HostileChapterPage, theSourceLocationIsAFileNameAndTheSummaryLinksItsAnchors) {
    doc.SourceFilePath = env.path(u"src/<img src=x onerror=alert(1)>.c"_s);
    pagePath = env.path(u"src/page.htm"_s);
    settings.IncludeSourceLocation = true;
    settings.Overview = ChapterOverview::Summary;
    const QString text = write({{1, u"Chapter"_s, u"Intro."_s, QString()},
                                {2, u"x\" onmouseover=\"alert(1)"_s, u"One."_s, QString()},
                                {3, u"y"_s, u"Two."_s, QString()}});
    EXPECT_TRUE(text.contains(u"src/&lt;img src=x onerror=alert(1)&gt;.c\r\n"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(
        uR"x(<a class=SummaryLink HREF="#x&quot; onmouseover=&quot;alert(1)">x" onmouseover="alert(1)</a>)x"_s));
    EXPECT_FALSE(text.contains(u"<img"_s));
}

}  // namespace
}  // namespace tessarel
