#include "book/html_help.h"

#include "book_fixture.h"

namespace tessarel::testing {
namespace {

// With a home chapter, and with the file lines, in the project build's tests.
TEST(HelpProjectFile, headerWithoutHomeChapter_hasNoDefaultTopic) {
    ProjectModel project;
    project.ProjectFileName = u"My.Docs.qdx"_s;
    EXPECT_EQ(HelpProjectHeader(project), Crlf(uR"([OPTIONS]
Compatibility = 1.1 Or later
Compiled file =My.Docs.chm
Contents File = contents.hhc
Display compile progress=No
Full-text search=Yes
Index file=index.hhk
Language=0x409 English (United States)
Title=

[FILES]
)"_s));
}

TEST(ContentsFiles, sections_linkCaretAnchorsInHelpAndPlainNamesInActive) {
    QString help;
    QString active;
    for (auto [map, block] : {std::pair{SiteMap::HelpProject, &help}, std::pair{SiteMap::Active, &active}}) {
        AddContentsChapter(*block, map, u"main.c"_s, u"main.c.htm"_s, 3);
        OpenContentsSections(*block);
        AddContentsSection(*block, map, u"main.c.htm"_s, u"Open File"_s);
        AddContentsSection(*block, map, u"main.c.htm"_s, u"Close"_s);
        CloseContentsSections(*block);
    }
    EXPECT_EQ(help, Crlf(uR"(    <LI> <OBJECT type="text/sitemap">
      <param name="Name" value="main.c">
      <param name="Local" value="..\main.c.htm">
      </OBJECT>
        <UL>
          <LI> <OBJECT type="text/sitemap">
          <param name="Name" value="Open File">
          <param name="Local" value="..\main.c.htm#Open^File">
          </OBJECT>
          <LI> <OBJECT type="text/sitemap">
          <param name="Name" value="Close">
          <param name="Local" value="..\main.c.htm#Close">
          </OBJECT>
        </UL>
)"_s));
    EXPECT_EQ(active, Crlf(uR"(    <LI> <OBJECT type="text/sitemap">
      <param name="Name" value="main.c">
      <param name="Local" value="main.c.htm">
      </OBJECT>
        <UL>
          <LI> <OBJECT type="text/sitemap">
          <param name="Name" value="Open File">
          <param name="Local" value="main.c.htm#Open File">
          </OBJECT>
          <LI> <OBJECT type="text/sitemap">
          <param name="Name" value="Close">
          <param name="Local" value="main.c.htm#Close">
          </OBJECT>
        </UL>
)"_s));
}

class HelpIndex : public BookFixture {
protected:
    HelpIndex() {
        ws.IndexEntries = {{u"Alpha"_s, u"a.c.htm"_s, true},
                           {u"  "_s, u"a.c.htm#^^"_s, false},
                           {u"Open \"File\""_s, u"a.c.htm#Open^\"File\""_s, false}};
    }
};

TEST_F(HelpIndex, helpProject_skipsBlankEntriesButCountsThem) {
    QDir().mkpath(dest + u"HTML Help"_s);
    ASSERT_TRUE(WriteHelpIndex(output(1), SiteMap::HelpProject));
    EXPECT_EQ(QString::fromLatin1(ReadBytes(dest + u"HTML Help/index.hhk"_s)), Crlf(uR"(<HTML>
<HEAD>
<meta name="GENERATOR" content="Vornhald Tessarel">
<!-- Sitemap 1.0 -->
</HEAD><BODY>
<UL>
<LI><OBJECT type="text/sitemap"><param name="Name" value="Alpha"><param name="Local" value="..\a.c.htm"></OBJECT>
<LI><OBJECT type="text/sitemap"><param name="Name" value="Open &quot;File&quot;"><param name="Local" value="..\a.c.htm#Open^&quot;File&quot;"></OBJECT>
</UL>
</BODY></HTML>

)"_s));
    EXPECT_EQ(env.ui.captions, QStringList{u"HTML Help Index"_s});
    EXPECT_EQ(env.ui.progressMax, 4);
    EXPECT_EQ(env.ui.progressSteps, 3);
    ASSERT_EQ(env.ui.log.size(), 1u);
    EXPECT_EQ(env.ui.log[0].reason, u"> HTML Help Index"_s);
    EXPECT_EQ(env.ui.log[0].output, u"index.hhk"_s);
}

TEST_F(HelpIndex, active_opensTopicsInTheChapterFrame) {
    ASSERT_TRUE(WriteHelpIndex(output(1), SiteMap::Active));
    EXPECT_EQ(read(u"index_active.hhk"_s), Crlf(uR"(<HTML>
<HEAD>
<meta name="GENERATOR" content="Vornhald Tessarel">
<!-- Sitemap 1.0 -->
</HEAD><BODY>
<UL>
<LI><OBJECT type="text/sitemap"><param name="Name" value="Alpha"><param name="Local" value="a.c.htm"><param name="FrameName" value="chapter"></OBJECT>
<LI><OBJECT type="text/sitemap"><param name="Name" value="Open &quot;File&quot;"><param name="Local" value="a.c.htm#Open^&quot;File&quot;"><param name="FrameName" value="chapter"></OBJECT>
</UL>
</BODY></HTML>

)"_s));
    EXPECT_EQ(env.ui.captions, QStringList{u"Active Index"_s});
    ASSERT_EQ(env.ui.log.size(), 1u);
    EXPECT_EQ(env.ui.log[0].reason, u"> Active Index"_s);
    EXPECT_EQ(env.ui.log[0].output, u"index_active.hhk"_s);
}

}  // namespace
}  // namespace tessarel::testing
