#include "pages/page_paths.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(PageFileName, htmlAndHtmStayOthersGainHtm) {
    const std::pair<QString, QString> cases[] = {
        {u"main.c"_s, u"main.c.htm"_s},       {u"Read.Me"_s, u"Read.Me.htm"_s},     {u"intro.html"_s, u"intro.html"_s},
        {u"page.htm"_s, u"page.htm"_s},       {u"INTRO.HTM"_s, u"INTRO.HTM.htm"_s}, {u"README"_s, u"README.htm"_s},
        {u"old.htmlx"_s, u"old.htmlx.htm"_s},
    };
    for (const auto& [name, page] : cases) {
        EXPECT_EQ(PageFileName(name), page) << name.toStdString();
        EXPECT_EQ(IsHtmlFileName(name), name == page) << name.toStdString();
    }
}

TEST(ChapterOutputPath, joinsTheFileNameAndNeverLeavesTheFolder) {
    const std::tuple<QString, QString, QString> cases[] = {
        {u"/out/"_s, u"main.c.htm"_s, u"/out/main.c.htm"_s},
        {u"/out"_s, u"main.c.htm"_s, u"/out/main.c.htm"_s},
        {u"//server/out/"_s, u"a.htm"_s, u"//server/out/a.htm"_s},
        {u"/out/"_s, u"/src/../../x/main.c.htm"_s, u"/out/main.c.htm"_s},
        {u"/out/"_s, u"../.."_s, QString()},
        {u"/out/"_s, u"sub/"_s, QString()},
    };
    for (const auto& [folder, name, path] : cases) {
        EXPECT_EQ(MakeChapterOutputPath(folder, name), path) << name.toStdString();
    }
}

// A page never replaces its source: the same file under another name (a link
// or a folder reached another way) is the same, a copy or a hard link is not.
TEST(IsSameFile, sameFileByItsCanonicalPathOnly) {
    const QTemporaryDir dir;
    const QString root = dir.path() + u"/"_s;
    QDir().mkpath(root + u"src"_s);
    QFile source(root + u"src/a.c"_s);
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.close();
    ASSERT_TRUE(QFile::copy(root + u"src/a.c"_s, root + u"copy.c"_s));
    ASSERT_TRUE(QFile::link(root + u"src/a.c"_s, root + u"link.c"_s));
    ASSERT_TRUE(QFile::link(root + u"src"_s, root + u"folder"_s));
    ASSERT_EQ(
        ::link(QFile::encodeName(root + u"src/a.c"_s).constData(), QFile::encodeName(root + u"hard.c"_s).constData()),
        0);

    EXPECT_TRUE(IsSameFile(root + u"src/a.c"_s, root + u"src/a.c"_s));
    EXPECT_TRUE(IsSameFile(root + u"src/a.c"_s, root + u"link.c"_s));
    EXPECT_TRUE(IsSameFile(root + u"folder/a.c"_s, root + u"src/../src/a.c"_s));
    EXPECT_FALSE(IsSameFile(root + u"src/a.c"_s, root + u"copy.c"_s));
    EXPECT_FALSE(IsSameFile(root + u"src/a.c"_s, root + u"hard.c"_s));
    EXPECT_FALSE(IsSameFile(root + u"src/a.c"_s, root + u"missing.c"_s));
    EXPECT_FALSE(IsSameFile(root + u"missing.c"_s, root + u"missing.c"_s));

    FileIdentity a;
    FileIdentity b;
    ASSERT_TRUE(IdentifyFile(root + u"link.c"_s, a));
    ASSERT_TRUE(IdentifyFile(root + u"hard.c"_s, b));
    EXPECT_EQ(a, b);
    ASSERT_TRUE(IdentifyFile(root + u"copy.c"_s, b));
    EXPECT_FALSE(a == b);
    EXPECT_FALSE(IdentifyFile(root + u"missing.c"_s, b));
}

}  // namespace
}  // namespace tessarel
