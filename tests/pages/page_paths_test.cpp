#include "pages/page_paths.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tessarel
