#include "support/file_functions.h"
#include "support/relative_path.h"

#include <gtest/gtest.h>

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

TEST(MakeRelativePath, FolderNamesMustMatchWhole) {
    EXPECT_EQ(MakeRelativePath(P("/Proj/"), P("/Pro/x/")), P("../Pro/x/"));
    EXPECT_EQ(MakeRelativePath(P("/proj/"), P("/Proj/out/")), P("../Proj/out/"));
}

TEST(MakeRelativePath, OtherDrivesStayAbsolute) {
#ifdef Q_OS_WIN
    EXPECT_EQ(MakeRelativePath(QStringLiteral("C:\\Proj\\"), QStringLiteral("D:\\Data\\")), QStringLiteral("D:\\Data\\"));
    EXPECT_EQ(MakeRelativePath(QStringLiteral("c:\\Proj\\"), QStringLiteral("C:\\Proj\\x\\")), QStringLiteral("x\\"));
#else
    // An absolute and a relative path have no common root.
    EXPECT_EQ(MakeRelativePath(QStringLiteral("/Proj/"), QStringLiteral("Data/")), QStringLiteral("Data/"));
#endif
}
