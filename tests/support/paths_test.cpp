#include "support/paths.h"
#include "testing.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace tessarel;
using tessarel::testing::ReadBytes;
using tessarel::testing::TestEnvironment;
using tessarel::testing::WriteBytes;

namespace {
// Builds a path with the platform's separator from "/"-separated parts.
QString P(const QString& posix) {
    QString path = posix;
    path.replace(QLatin1Char('/'), PathSeparator());
    return path;
}
}  // namespace

TEST(PathFunctions, SplitAPathIntoItsParts) {
    const QString path = P(QStringLiteral("/docs/main.c"));
    EXPECT_EQ(FolderOf(path), P(QStringLiteral("/docs/")));
    EXPECT_EQ(FileNameOf(path), QStringLiteral("main.c"));
    EXPECT_EQ(BaseNameOf(path), QStringLiteral("main"));
    EXPECT_EQ(ExtensionOf(path), QStringLiteral("c"));
    EXPECT_EQ(FolderOf(QStringLiteral("main.c")), QString());
    EXPECT_EQ(FileNameOf(QStringLiteral(" main.c ")), QStringLiteral("main.c"));
    EXPECT_EQ(ExtensionOf(QStringLiteral("README")), QString());
    EXPECT_EQ(ExtensionOf(QStringLiteral("archive.tar.gz")), QStringLiteral("gz"));
    EXPECT_EQ(ExtensionOf(QStringLiteral("Project.QDX")), QStringLiteral("QDX"));
    EXPECT_EQ(BaseNameOf(P(QStringLiteral("/docs/README"))), QString());
    EXPECT_EQ(BaseNameInRange(P(QStringLiteral("/ver1.2/README"))), QString());
    EXPECT_EQ(BaseNameInRange(P(QStringLiteral("/styles/dark.css"))), QStringLiteral("dark"));
    EXPECT_EQ(BaseNameInRange(QStringLiteral(".hidden")), QString());
}

TEST(PathFunctions, DrivesAndProjectPaths) {
#ifdef Q_OS_WIN
    EXPECT_EQ(DrivePart(QStringLiteral("C:\\docs\\main.c")), QStringLiteral("C"));
    EXPECT_EQ(ResolveProjectPath(QStringLiteral("C:\\proj\\"), QStringLiteral("D:\\out\\")),
              QStringLiteral("D:\\out\\"));
#else
    EXPECT_EQ(DrivePart(QStringLiteral("/docs/main.c")), QStringLiteral("/"));
    EXPECT_EQ(DrivePart(QStringLiteral("docs/main.c")), QString());
    EXPECT_EQ(ResolveProjectPath(QStringLiteral("/proj/"), QStringLiteral("/out/")), QStringLiteral("/out/"));
    // Folders stored with backslashes still resolve.
    EXPECT_EQ(ResolveProjectPath(QStringLiteral("/proj/"), QStringLiteral("..\\src\\")),
              QStringLiteral("/proj/../src/"));
#endif
    EXPECT_EQ(ResolveProjectPath(P(QStringLiteral("/proj/")), P(QStringLiteral("html/"))),
              P(QStringLiteral("/proj/html/")));
    EXPECT_EQ(WithTrailingSeparator(P(QStringLiteral("/docs"))), P(QStringLiteral("/docs/")));
    EXPECT_EQ(WithTrailingSeparator(P(QStringLiteral("/docs/"))), P(QStringLiteral("/docs/")));
    EXPECT_EQ(JoinFolderAndFile(P(QStringLiteral("/out/")), QStringLiteral("main.c.htm")),
              P(QStringLiteral("/out/main.c.htm")));
}

TEST(FileExists, FilesFoldersHiddenAndPatterns) {
    TestEnvironment t;
    WriteBytes(t.path(QStringLiteral("d/visible.c")), "x");
    WriteBytes(t.path(QStringLiteral("d/.hidden")), "x");
    EXPECT_TRUE(FileExists(t.path(QStringLiteral("d/visible.c"))));
    EXPECT_TRUE(FileExists(t.path(QStringLiteral("d"))));
    EXPECT_FALSE(FileExists(t.path(QStringLiteral("d/.hidden"))));
    EXPECT_FALSE(FileExists(t.path(QStringLiteral("d/missing.c"))));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_TRUE(FileExists(t.path(QStringLiteral("d/*.c"))));
    EXPECT_FALSE(FileExists(t.path(QStringLiteral("d/*.h"))));
}

TEST(AbsoluteFolder, GivesTheCanonicalFormOrNothing) {
    TestEnvironment t;
    QDir().mkpath(t.path(QStringLiteral("a/b")));
    const QString canonical = AbsoluteFolder(t.path(QStringLiteral("a/b/../b")));
    EXPECT_TRUE(canonical.endsWith(P(QStringLiteral("/a/b/"))));
    EXPECT_FALSE(canonical.contains(QStringLiteral("..")));
    EXPECT_EQ(AbsoluteFolder(t.path(QStringLiteral("missing"))), QString());
    EXPECT_EQ(AbsoluteFolder(QString()), QString());
}
