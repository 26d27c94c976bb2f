#include "support/file_functions.h"
#include "support/string_functions.h"
#include "testing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    DeleteFile(t.path(QStringLiteral("d/visible.c")));
    EXPECT_FALSE(QFileInfo::exists(t.path(QStringLiteral("d/visible.c"))));
    DeleteFile(t.path(QStringLiteral("d/missing.c")));
}

TEST(TextFiles, DecodeUtf8OrWindows1252) {
    EXPECT_EQ(DecodeText("\xEF\xBB\xBFna\xC3\xAFve"), QStringLiteral("na\u00EFve"));
    // Not valid UTF-8: every byte is one Windows-1252 character.
    EXPECT_EQ(DecodeText("caf\xE9 \x80 \x93"), QStringLiteral("caf\u00E9 \u20AC \u201C"));
    const QByteArray withNul("a\0b", 3);
    EXPECT_EQ(DecodeText(withNul).size(), 3);
    // Appended behind what the text holds, in the room reserved for it; a
    // Windows-1252 file keeps its BOM bytes as characters.
    QString text = QStringLiteral("\r\n");
    text.reserve(64);
    const QChar* buffer = text.constData();
    AppendDecodedText(text, "\xEF\xBB\xBF\xF0\x9F\x98\x80x");
    EXPECT_EQ(text, QStringLiteral("\r\n\U0001F600x"));
    AppendDecodedText(text, "\xEF\xBB\xBF\x93");
    EXPECT_EQ(text, QStringLiteral("\r\n\U0001F600x\u00EF\u00BB\u00BF\u201C"));
    EXPECT_EQ(text.constData(), buffer);
}

TEST(TextFiles, PagesAreLatin1WithReferencesAboveFF) {
    const QString text = QStringLiteral("\u00E9 \u20AC \U0001F600");
    EXPECT_EQ(EncodeText(text, FileEncoding::Latin1WithReferences), QByteArray("\xE9 &#8364; &#128512;"));
    EXPECT_EQ(EncodeText(text, FileEncoding::Utf8), text.toUtf8());
}

TEST(TextFiles, WriteAddsOneLineEndAndReadGivesItBack) {
    TestEnvironment t;
    const QString path = t.path(QStringLiteral("page.htm"));
    ASSERT_TRUE(WriteTextFile(t.ui, path, QStringLiteral("<html>\u00E9")));
    EXPECT_EQ(ReadBytes(path), QByteArray("<html>\xE9\r\n"));
    EXPECT_EQ(ReadTextFile(path), QStringLiteral("<html>\u00E9\r\n"));
    ASSERT_TRUE(AppendTextFile(path, QStringLiteral("more")));
    EXPECT_EQ(ReadBytes(path), QByteArray("<html>\xE9\r\nmore\r\n"));
    EXPECT_TRUE(t.ui.messages.empty());
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".tessarel-new")));
}

// A long text is written in pieces; the file must still hold exactly what
// encoding the whole text and its line end at once gives, surrogate pairs at
// the piece boundaries and lone surrogates at the end included.
TEST(TextFiles, LongTextsAreWrittenAsIfEncodedWhole) {
    TestEnvironment t;
    const QString path = t.path(QStringLiteral("long.htm"));
    QString text;
    const QString pair = QStringLiteral("\U0001F600");
    for (int i = 0; i < 35000; ++i) {
        text += QStringLiteral("ab\u00E9\u20AC");
        text += pair;
        text += QLatin1Char(static_cast<char>('a' + i % 26));
        text += QChar(i % 7 == 0 ? 0x2022 : 0x41);
    }
    const QString loneHigh(QChar(0xD83D));
    const QString loneLow(QChar(0xDE00));
    // Every shift by up to one repetition puts some piece boundary inside a pair.
    for (int shift = 0; shift < 8; ++shift) {
        for (const QString& ending : {QString(), loneHigh, loneLow, loneLow + loneHigh}) {
            if (shift > 0 && !ending.isEmpty()) {
                continue;
            }
            for (const FileEncoding encoding : {FileEncoding::Latin1WithReferences, FileEncoding::Utf8}) {
                const QString whole = QString(shift, QLatin1Char('s')) + text + ending;
                ASSERT_TRUE(WriteTextFile(t.ui, path, whole, encoding));
                ASSERT_EQ(ReadBytes(path), EncodeText(whole + kCrLf, encoding)) << shift;
            }
        }
    }
    ASSERT_TRUE(WriteTextFile(t.ui, path, QString()));
    EXPECT_EQ(ReadBytes(path), QByteArray("\r\n"));
    EXPECT_TRUE(t.ui.messages.empty());
}

TEST(TextFiles, ReadingAMissingFileGivesNothingAndLeavesTheTarget) {
    QString text = QStringLiteral("kept");
    EXPECT_FALSE(ReadTextFileInto(QStringLiteral("/nonexistent/x.c"), text));
    EXPECT_EQ(text, QStringLiteral("kept"));
    EXPECT_EQ(ReadTextFile(QStringLiteral("/nonexistent/x.c")), QString());
}

TEST(TextFiles, AReadOnlyTargetIsRefusedWithTheMessageAndKept) {
    TestEnvironment t;
    const QString path = t.path(QStringLiteral("locked.htm"));
    WriteBytes(path, "good");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_FALSE(WriteTextFile(t.ui, path, QStringLiteral("bad")));
    EXPECT_EQ(ReadBytes(path), QByteArray("good"));
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(t.ui.messages[0].title, QStringLiteral("Read only file"));
    EXPECT_EQ(t.ui.messages[0].text,
              QStringLiteral("Unable to write: \r\n") + path +
                  QStringLiteral("\r\nThe file it's READ ONLY, blank or opened by someone else."));
    EXPECT_EQ(t.ui.messages[0].icon, MessageIcon::Exclamation);
}

TEST(TextFiles, AnEmptyPathOrMissingFolderIsReported) {
    TestEnvironment t;
    EXPECT_FALSE(WriteTextFile(t.ui, QStringLiteral("  "), QStringLiteral("x")));
    EXPECT_FALSE(WriteTextFile(t.ui, t.path(QStringLiteral("no/such/folder/x.htm")), QStringLiteral("x")));
    ASSERT_EQ(t.ui.messages.size(), 2u);
    EXPECT_TRUE(t.ui.messages[0].text.contains(QStringLiteral("\r\n(file not specified)\r\n")));
    EXPECT_FALSE(AppendTextFile(t.path(QStringLiteral("no/such/folder/x.htm")), QStringLiteral("x")));
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
