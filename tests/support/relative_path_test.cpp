#include "support/relative_path.h"

#include <gtest/gtest.h>

#include "support/paths.h"

using namespace Qt::Literals::StringLiterals;

using namespace tessarel;

namespace {
QString P(const char* posix) {
    QString path = QString::fromUtf8(posix);
    path.replace(QLatin1Char('/'), PathSeparator());
    return path;
}
}  // namespace

TEST(MakeRelativePath, WithinAndBesideTheBase) {
    EXPECT_EQ(MakeRelativePath(P("/Proj/"), P("/Proj/out/")), P("out/"));
    EXPECT_EQ(MakeRelativePath(P("/Proj/"), P("/Proj/")), QString());
    EXPECT_EQ(MakeRelativePath(P("/Proj/sub/"), P("/Proj/out/")), P("../out/"));
    EXPECT_EQ(MakeRelativePath(P("/Proj/a/b/"), P("/x/")), P("../../../x/"));
}

TEST(MakeRelativePath, AFolderNamedByBlanksIsNotTheBase) {
    EXPECT_EQ(MakeRelativePath(P("/"), P("/  /")), P("  /"));
    EXPECT_EQ(MakeRelativePath(P("/Proj/"), P("/Proj/ /")), P(" /"));
}

TEST(MakeRelativePath, FolderNamesMustMatchWhole) {
    EXPECT_EQ(MakeRelativePath(P("/Proj/"), P("/Pro/x/")), P("../Pro/x/"));
    EXPECT_EQ(MakeRelativePath(P("/proj/"), P("/Proj/out/")), P("../Proj/out/"));
}

TEST(MakeRelativePath, OtherDrivesStayAbsolute) {
#ifdef Q_OS_WIN
    EXPECT_EQ(MakeRelativePath(u"C:\\Proj\\"_s, u"D:\\Data\\"_s), u"D:\\Data\\"_s);
    EXPECT_EQ(MakeRelativePath(u"c:\\Proj\\"_s, u"C:\\Proj\\x\\"_s), u"x\\"_s);
#else
    // An absolute and a relative path have no common root.
    EXPECT_EQ(MakeRelativePath(u"/Proj/"_s, u"Data/"_s), u"Data/"_s);
#endif
}
