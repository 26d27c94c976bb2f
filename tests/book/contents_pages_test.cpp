#include "book/contents_pages.h"

#include "book/book_output.h"
#include "book_fixture.h"

#include <QFileInfo>

namespace tessarel::testing {
namespace {

using ContentsPages = BookFixture;

const QString kTitleBlocks = u"<div class=SideTitle>\nMy Book\n</div>\n<div class=SideText>\nOne<br>Two\n</div>\n"_s;

/// A row of "_book.htm" (which ends in "<td>", not "</td>").
QString BookRow(const QString& page, const QString& entry) {
    return uR"(<tr class=SideLink><td class=SideLink nowrap><a class=SideLink href=")"_s + page +
           uR"(" target = "chapter">)"_s + entry + u"</a><td></tr>\r\n"_s;
}

/// "_bookcol.htm" and "_index_active.htm" differ in four lines only.
QString ActiveSidePage(const QString& buttons, const QString& command, const QString& flags) {
    return SideHeader(u"My Book"_s) + Crlf(
                                          uR"(<div class=Side>
<table border="0" cellpadding="0" cellspacing="0" width="100%" height="100%">
<tr><td>
<div class=SideTitle>
My Book
</div>
</td></tr>
<tr><td width="100%" valign="top" nowrap>
)"_s + buttons + uR"(</td></tr>
<tr><td width="100%" height="99%" valign="top">
<OBJECT id="hhctrl" type="application/x-oleobject"
        classid = "clsid:adb880a6-d8ff-11cf-9377-00aa003b7a11"
        codeBase = "hhctrl.ocx"
        width="100%"
        height="99%"
        align="center"
        vspace="4"
>
)"_s + command + flags + uR"(
</OBJECT>
</td></tr>
</table>
</div>
</body>
</html>

)"_s);
}

class BookPages : public ContentsPages {
protected:
    BookPages() {
        ws.project.settings.IndexTitle = u"My Book"_s;
        ws.project.settings.IndexText = u"One<br>Two"_s;
        addChapter(u"b.c"_s, u"b.c"_s, false);
        addChapter(u"a.c"_s, u"Alpha"_s, true);
        addChapter(u"c.c"_s, u"Gamma"_s, true);
    }

    QString homePage = u"stale.htm"_s;
};

TEST_F(BookPages, documentedOnly_listsFileNamesInBoldAndOpensFirstDocumented) {
    ASSERT_TRUE(WriteBookPages(output(3), homePage));

    EXPECT_EQ(read(u"_book.htm"_s), SidePageHead(u"My Book"_s, kTitleBlocks) + BookRow(u"a.c.htm"_s, u"<b>a.c</b>"_s) +
                                        BookRow(u"c.c.htm"_s, u"<b>c.c</b>"_s) + SidePageEnd());
    EXPECT_EQ(homePage, u"a.c.htm"_s);
    EXPECT_FALSE(QFileInfo::exists(dest + u"_bookcol.htm"_s));
    EXPECT_EQ(env.ui.captions, QStringList{u"_book.htm"_s});
    EXPECT_EQ(env.ui.progressMax, 3);
    EXPECT_EQ(env.ui.progressSteps, 3);
    ASSERT_EQ(env.ui.log.size(), 1u);
    EXPECT_EQ(env.ui.log[0].reason, u"> HTML TOC"_s);
    EXPECT_EQ(env.ui.log[0].status, RowStatus::Ok);
    EXPECT_EQ(env.ui.log[0].output, u"_book.htm"_s);
}

TEST_F(BookPages, allFilesByTitle_markUndocumentedAndStopAtChaptersBuilt) {
    ws.project.settings.IncludeOnlyDocumentedFiles = false;
    ws.project.settings.UseChapterTitleInIndex = true;
    ASSERT_TRUE(WriteBookPages(output(2), homePage));

    EXPECT_EQ(read(u"_book.htm"_s), SidePageHead(u"My Book"_s, kTitleBlocks) +
                                        BookRow(u"b.c.htm"_s, u"[x] <b>b.c</b>"_s) +
                                        BookRow(u"a.c.htm"_s, u"<b>Alpha</b>"_s) + SidePageEnd());
    EXPECT_EQ(homePage, u"b.c.htm"_s);
}

TEST_F(BookPages, noChapterListed_leavesNoStaleHomePage) {
    ASSERT_TRUE(WriteBookPages(output(1), homePage));
    EXPECT_EQ(read(u"_book.htm"_s), SidePageHead(u"My Book"_s, kTitleBlocks) + SidePageEnd());
    EXPECT_EQ(homePage, QString());
}

TEST_F(BookPages, collapsible_alsoWritesTheContentsControlPage) {
    ws.project.settings.Collapsible = true;
    ws.project.settings.IndexText = u"   "_s;  // blank: no description block
    ASSERT_TRUE(WriteBookPages(output(3), homePage));

    EXPECT_EQ(read(u"_bookcol.htm"_s), ActiveSidePage(uR"(<input
TYPE="button" VALUE="Contents" ONCLICK="javascript:location='_bookcol.htm';"
NAME="Contents" DISABLED><input
TYPE="button" VALUE="Index" ONCLICK="javascript:location='_index_active.htm';"
NAME="Index">
)"_s,
                                                      uR"(<PARAM name="Command" value="Contents">
<PARAM name="Item1" value="contents_active.hhc">
)"_s,
                                                      uR"(<PARAM name="Flags" value="0x200,0x37">)"_s));
    EXPECT_TRUE(QFileInfo::exists(dest + u"_book.htm"_s));
}

TEST_F(BookPages, activeIndexPage_disablesIndexButtonAndFlagsHomeChapter) {
    ws.project.settings.IndexText.clear();
    ws.project.settings.HomeChapter = u"a.c"_s;
    ASSERT_TRUE(WriteActiveIndexPage(output(3)));

    EXPECT_EQ(read(u"_index_active.htm"_s), ActiveSidePage(uR"(<input
TYPE="button" VALUE="Contents" ONCLICK="javascript:location='_bookcol.htm';"
NAME="Contents"><input
TYPE="button" VALUE="Index" ONCLICK="javascript:location='_index_active.htm';"
NAME="Index" DISABLED>
)"_s,
                                                           uR"(<PARAM name="Command" value="Index">
<PARAM name="Item1" value="index_active.hhk">
)"_s,
                                                           uR"(<PARAM name="Flags" value="0x200,0x800017">)"_s));
}

class SortedIndexPage : public ContentsPages {
protected:
    SortedIndexPage() {
        ws.IndexEntries = {{u"Alpha"_s, u"a.c.htm"_s, true},
                           {u"Open File"_s, u"a.c.htm#Open^File"_s, false},
                           {u"a.c"_s, u"a.c.htm"_s, false}};
    }
};

TEST_F(SortedIndexPage, boldTitles_setOnlyChapterEntriesInBold) {
    ASSERT_TRUE(WriteSortedIndexPage(output(1)));
    EXPECT_EQ(
        read(u"_sorted_index.htm"_s),
        SidePageHead(QString(), QString()) +
            Crlf(
                uR"(<tr class=SideLink><td class=SideLink nowrap><a class=SideLink href="a.c.htm" target = "chapter"><b>Alpha</b></a></td></tr>
<tr class=SideLink><td class=SideLink nowrap><a class=SideLink href="a.c.htm#Open^File" target = "chapter">Open File</a></td></tr>
<tr class=SideLink><td class=SideLink nowrap><a class=SideLink href="a.c.htm" target = "chapter">a.c</a></td></tr>
)"_s) + SidePageEnd());
    EXPECT_EQ(env.ui.captions, QStringList{u"Plain Index"_s});
    EXPECT_EQ(env.ui.progressMax, 4);
    EXPECT_EQ(env.ui.progressSteps, 3);
    ASSERT_EQ(env.ui.log.size(), 1u);
    EXPECT_EQ(env.ui.log[0].reason, u"> HTML Index"_s);
    EXPECT_EQ(env.ui.log[0].output, u"_sorted_index.htm"_s);
}

TEST_F(SortedIndexPage, plainTitles_writeEveryEntryAlike) {
    ws.project.settings.BoldTitles = false;
    ASSERT_TRUE(WriteSortedIndexPage(output(1)));
    EXPECT_TRUE(read(u"_sorted_index.htm"_s)
                    .contains(uR"(<a class=SideLink href="a.c.htm" target = "chapter">Alpha</a></td></tr>)"_s));
    EXPECT_FALSE(read(u"_sorted_index.htm"_s).contains(u"<b>"_s));
}

TEST(DetailedContents, head_embedsTheStyleWithoutTheFrameBlankLines) {
    Settings settings;
    settings.IndexTitle = u"My Book"_s;
    settings.IndexText = u"One<br>Two"_s;
    const PageStyle embedded{u"test"_s, u"body { color: black; }"_s, true};
    EXPECT_EQ(DetailedContentsHead(settings, embedded), Crlf(uR"(
<!-- Page generated by Tessarel - Vornhald -->
<html>
<head>
<title>
My Book
</title>
<style type="text/css">

<!--
body { color: black; }
-->

</style>

<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<meta name="GENERATOR" content="Tessarel">
</head>
<body class=Side>
<div class=Side>
<div class=SideTitle>
My Book
</div>
<div class=SideText>
One<br>Two
</div>
)"_s) + SideDetail() + Crlf(uR"(<table class=LinksTable border=0 cellpadding=0 cellspacing=0 width="100%">
)"_s));
}

TEST(DetailedContents, head_withoutStyleText_hasNoStyleBlock) {
    Settings settings;
    const QString none = DetailedContentsHead(settings, PageStyle{u"test"_s, QString(), false});
    EXPECT_TRUE(none.contains(Crlf(u"<title>\n\n</title>\n<meta http-equiv"_s)));
    EXPECT_FALSE(none.contains(u"SideTitle"_s));
}

TEST(DetailedContents, rows_linkChapterAndPlainSectionAnchors) {
    QString rows;
    AddDetailedChapterRow(rows, u"a.c.htm"_s, u"a.c"_s, true);
    AddDetailedSectionRow(rows, u"a.c.htm"_s, u"Open File"_s);
    AddDetailedChapterRow(rows, u"b.c.htm"_s, u"Beta"_s, false);
    EXPECT_EQ(
        rows,
        Crlf(
            uR"(<tr class=SideLink><td class=SideLink nowrap><a class=SideLink href="a.c.htm" target = "chapter"><b>a.c</b></a></td></tr>
<tr class=SideLink><td class=SideLink nowrap>&nbsp; &nbsp; &nbsp;<a class=SideLink href="a.c.htm#Open File" target = "chapter">Open File</a></td></tr>
<tr class=SideLink><td class=SideLink nowrap><a class=SideLink href="b.c.htm" target = "chapter">Beta</a></td></tr>
)"_s));
    EXPECT_EQ(DetailedContentsClosing(), Crlf(u"</table>\n</div>\n</body>\n</html>\n"_s));
}

// The index pages append each link in place: the page part is escaped, the
// anchor only quoted, and only the first "#" starts the anchor.
TEST(IndexLinks, topicLinksAppendedInPlaceAreEscapedAsTheirParts) {
    const std::pair<QString, QString> cases[] = {
        {u"a&b.htm#Open \"File\" <x>"_s, u"a&amp;b.htm#Open &quot;File&quot; <x>"_s},
        {u"p.htm#a#b"_s, u"p.htm#a#b"_s},
        {u"x<y>\".htm"_s, u"x&lt;y&gt;&quot;.htm"_s},
        {u"plain.htm#"_s, u"plain.htm#"_s},
    };
    for (const auto& [topic, href] : cases) {
        QString line = u"href=\""_s;
        AppendTopicHref(line, topic);
        EXPECT_EQ(line, u"href=\""_s + href) << topic.toStdString();
        EXPECT_EQ(TopicHref(topic), href);
    }
    QString rows;
    AddDetailedSectionRow(rows, u"a&b.htm"_s, u"Say \"Hi\""_s);
    EXPECT_EQ(
        rows,
        uR"(<tr class=SideLink><td class=SideLink nowrap>&nbsp; &nbsp; &nbsp;<a class=SideLink href="a&amp;b.htm#Say &quot;Hi&quot;" target = "chapter">Say "Hi"</a></td></tr>)"_s +
            u"\r\n"_s);
}

}  // namespace
}  // namespace tessarel::testing
