#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "book/chm_stamps.h"
#include "book/help_compiler_messages.h"
#include "book/help_compiler_run.h"
#include "book/help_staging.h"
#include "book/project_build.h"
#include "book_fixture.h"
#include "support/file_size_limit.h"
#include "support/preferences.h"
#include "support/special_files.h"

namespace tessarel::testing {
namespace {

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The help project as the build writes it, beside a book with an old compiled
// file and what else a user may keep there.
TEST(StagedHelpProject, topicsLoseTheirLeadingFolderAndOnlyTheBooksRegularFilesAreCopied) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    RecordingUserInterface ui;
    const QString book = root.path() + u"/book/"_s;
    const QString help = book + u"HTML Help/"_s;
    // The compiler reads hidden schemes as files and twin anchors as duplicates.
    const QByteArray page =
        "<a NAME=\"x\"></a>\r\n<a NAME=\"x\"></a>\r\n<a NAME=\"x y\"></a>\r\n<a NAME=\"x^y\"></a>\r\n"
        "<a HREF=\"http&#58&#47&#47e.org/a\">http&#58&#47&#47e.org/a</a> <a HREF=\"mailto&#58;me&#64e.org\">me</a>\r\n"
        "<a HREF=\"http&#58&#47&#47;10.0.0.1/\">10.0.0.1/</a>\r\n<a NAME=\"z\"></a>";
    WriteBytes(book + u"a.c.htm"_s, page);
    WriteBytes(book + u"style.css"_s, "body {}");
    WriteBytes(book + u"Old.chm"_s, "an earlier build's");
    WriteBytes(book + u"sub/deep.htm"_s, "not at the top");
    // Links may lead anywhere: a pipe that would never answer, a device that
    // never ends, a file outside. A file over the limit, the build's lock.
    WatchedFifo pipe(root.path() + u"/pipe"_s);
    ASSERT_TRUE(pipe.made());
    ASSERT_TRUE(QFile::link(root.path() + u"/pipe"_s, book + u"to-pipe.htm"_s));
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, book + u"zero.png"_s));
    ASSERT_TRUE(QFile::link(root.path() + u"/outside.css"_s, book + u"linked.css"_s));
    WriteBytes(root.path() + u"/outside.css"_s, "not the book's");
    ASSERT_TRUE(MakeFifo(book + u"pipe.htm"_s));
    ASSERT_TRUE(MakeSparseFile(book + u"big.bin"_s, 4097));
    WriteBytes(book + u".tessarel-lock"_s, "the build's own");
    const QByteArray project =
        "[OPTIONS]\r\nDefault topic =..\\a.c.htm\r\nTitle=..\\kept\r\n\r\n[FILES]\r\n"
        "\r\n..\\a.c.htm\r\n..\\b..\\c.htm\r\n";
    const QByteArray contents =
        "<param name=\"Name\" value=\"..\\name\">\r\n"
        "<param name=\"Local\" value=\"..\\a.c.htm#x^y\">\r\n";
    const QByteArray index =
        "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"x\">"
        "<param name=\"Local\" value=\"..\\a.c.htm#x\"></OBJECT>\r\n";
    WriteBytes(help + u"help.hhp"_s, project);
    WriteBytes(help + u"contents.hhc"_s, contents);
    WriteBytes(help + u"index.hhk"_s, index);
    const QString staging = root.path() + u"/staging/"_s;
    QDir().mkpath(staging);

    {
        // Were the device read, the copy would stop here rather than fill the disk.
        const FileSizeLimit diskFull(1 << 20);
        ASSERT_EQ(StageHelpProject(ui, help, staging, 4096), Staging::Staged);
    }
    EXPECT_FALSE(pipe.opened());
    EXPECT_EQ(Entries(staging),
              (QStringList{u"a.c.htm"_s, u"contents.hhc"_s, u"help.hhp"_s, u"index.hhk"_s, u"style.css"_s}));
    EXPECT_TRUE(QFileInfo(book + u"zero.png"_s).isSymLink());
    EXPECT_EQ(QFileInfo(book + u"big.bin"_s).size(), 4097);
    EXPECT_EQ(ReadBytes(staging + u"help.hhp"_s),
              "[OPTIONS]\r\nDefault topic =a.c.htm\r\nTitle=..\\kept\r\n\r\n[FILES]\r\n\r\na.c.htm\r\nb..\\c.htm\r\n");
    EXPECT_EQ(ReadBytes(staging + u"contents.hhc"_s),
              "<param name=\"Name\" value=\"..\\name\">\r\n<param name=\"Local\" value=\"a.c.htm#x^y\">\r\n");
    EXPECT_EQ(ReadBytes(staging + u"index.hhk"_s),
              "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"x\">"
              "<param name=\"Local\" value=\"a.c.htm#x\"></OBJECT>\r\n");
    EXPECT_EQ(ReadBytes(staging + u"a.c.htm"_s),
              "<a NAME=\"x\"></a>\r\n<a NAME=\"x y\"></a>\r\n<a NAME=\"x^y\"></a>\r\n"
              "<a HREF=\"http://e.org/a\">http://e.org/a</a> <a HREF=\"mailto:me&#64e.org\">me</a>\r\n"
              "<a HREF=\"http://10.0.0.1/\">10.0.0.1/</a>\r\n<a NAME=\"z\"></a>");
    EXPECT_EQ(ReadBytes(book + u"a.c.htm"_s), page);
    EXPECT_EQ(ReadBytes(staging + u"style.css"_s), "body {}");
    EXPECT_EQ(ReadBytes(help + u"help.hhp"_s), project);
    EXPECT_EQ(ReadBytes(help + u"contents.hhc"_s), contents);
    EXPECT_EQ(ReadBytes(help + u"index.hhk"_s), index);

    // A project file missing from the help folder stops the staging.
    QFile::remove(help + u"index.hhk"_s);
    const QString again = root.path() + u"/again/"_s;
    QDir().mkpath(again);
    EXPECT_EQ(StageHelpProject(ui, help, again, 4096), Staging::Failed);
}

/// Asks to stop from its `at`-th look at the cancel flag on.
class CancelAtLook : public RecordingUserInterface {
public:
    explicit CancelAtLook(int at) : at_(at) {}
    bool cancelRequested() const override { return ++looks_ >= at_; }

private:
    int at_;
    mutable int looks_ = 0;
};

TEST(StagedHelpProject, stopsWhenTheUserCancels) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString book = root.path() + u"/book/"_s;
    for (const char* name :
         {"a.htm", "b.htm", "c.htm", "HTML Help/help.hhp", "HTML Help/index.hhk", "HTML Help/contents.hhc"}) {
        WriteBytes(book + QLatin1String(name), "x");
    }
    const QString staging = root.path() + u"/staging/"_s;
    QDir().mkpath(staging);
    CancelAtLook ui(2);
    EXPECT_EQ(StageHelpProject(ui, book + u"HTML Help"_s, staging), Staging::Cancelled);
    EXPECT_EQ(Entries(staging), QStringList{u"a.htm"_s});
}

TEST(CompiledHelpStamps, aFileThatIsNotCompiledHelpIsLeftAlone) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString path = root.path() + u"/x.chm"_s;
    for (const QByteArray& bytes : {QByteArray("compiled\n"), QByteArray("ITSF") + QByteArray(200, '\xff'),
                                    QByteArray("ITSF\3\0\0\0", 8) + QByteArray(0x60, '\0')}) {
        WriteBytes(path, bytes);
        EXPECT_FALSE(SetCompiledHelpStamps(path, 1700000000));
        EXPECT_EQ(ReadBytes(path), bytes);
    }
    EXPECT_FALSE(SetCompiledHelpStamps(root.path() + u"/none.chm"_s, 1));
    EXPECT_FALSE(QFile::exists(root.path() + u"/none.chm"_s));
}

/// Sets an environment variable for one scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedVariable() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

const QByteArray kSource =
    "/*\n * module: Ring Buffer\n * Rings of bytes.\n */\n\n"
    "/*\n * function: Make Ring\n * Makes a ring.\n */\n\n"
    "/*\n * function: Free\n * Frees a ring.\n */\n";

// The installed compiler on a small book: what it stores and how it stamps it.
class InstalledCompiler : public BookFixture {
protected:
    void SetUp() override {
        compiler_ = QStandardPaths::findExecutable(HtmlHelpCompilerName());
        extractor_ = QStandardPaths::findExecutable(u"extract_chmLib"_s);
        if (compiler_.isEmpty() || extractor_.isEmpty()) {
            GTEST_SKIP() << "needs the help compiler and extract_chmLib (scripts/install-deps.sh)";
        }
        env.preferences->WritePreference(prefs::kProject, prefs::kCompilerPath, QFileInfo(compiler_).path());
        Settings& settings = ws.project.settings;
        settings.IndexTitle = u"Rings"_s;
        settings.GenerateHtmlHelpFiles = true;
        settings.HomeChapter = u"ring.c"_s;
        addSource(u"src"_s, u"ring.c"_s, kSource);
        addSource(u"src"_s, u"more.c"_s, kSource);
    }

    QByteArray buildAndRead() {
        const ProjectBuildResult result = BuildProject(ws);
        EXPECT_TRUE(result.compile.compiled) << CompileFailureReason(result.compile).toStdString();
        return ReadBytes(dest + u"HTML Help/Docs.chm"_s);
    }

    QString compiler_;
    QString extractor_;
};

TEST_F(InstalledCompiler, everyContentsAndIndexEntryResolvesToAStoredPageAndAnchor) {
    buildAndRead();
    const QString extracted = env.path(u"extracted"_s);
    QProcess extract;
    extract.start(extractor_, {dest + u"HTML Help/Docs.chm"_s, extracted});
    ASSERT_TRUE(extract.waitForFinished(60000));
    ASSERT_EQ(extract.exitCode(), 0) << extract.readAll().toStdString();

    // Each page once, at a plain path: nothing lies above or beside the root.
    const std::map<QString, QByteArray> stored = Tree(extracted);
    for (const auto& [path, bytes] : stored) {
        EXPECT_FALSE(path.contains(u".."_s)) << path.toStdString();
    }
    EXPECT_EQ(stored.count(u"ring.c.htm"_s), 1u);
    EXPECT_EQ(stored.count(u"more.c.htm"_s), 1u);

    static const QRegularExpression local(uR"(<param name="Local" value="([^"#]*)(?:#([^"]*))?">)"_s);
    int entries = 0;
    for (const QString& siteMap : {u"contents.hhc"_s, u"index.hhk"_s}) {
        const QString text = QString::fromLatin1(ReadBytes(dest + u"HTML Help/"_s + siteMap));
        for (auto it = local.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            ++entries;
            QString page = match.captured(1);
            ASSERT_TRUE(page.startsWith(u"..\\"_s)) << page.toStdString();  // as written on disk
            page.remove(0, 3);
            const auto found = stored.find(page);
            ASSERT_NE(found, stored.end()) << siteMap.toStdString() << ": " << page.toStdString();
            const QString anchor = match.captured(2);
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(found->second.contains("NAME=\"" + anchor.toLatin1() + '"'))
                    << siteMap.toStdString() << ": " << page.toStdString() << '#' << anchor.toStdString();
            }
        }
    }
    // Two chapters, their sections and their declarations.
    EXPECT_GE(entries, 8);
}

TEST_F(InstalledCompiler, withASourceDateTheCompiledFileIsRebuiltByteForByte) {
    const ScopedVariable epoch("SOURCE_DATE_EPOCH", "1700000000");
    const QByteArray first = buildAndRead();
    ASSERT_GT(first.size(), 0x60);
    // The stamp is that time's milliseconds since midnight, not the clock's.
    EXPECT_EQ(first.mid(0x10, 4), QByteArray::fromHex("04c4b400"));
    QThread::msleep(50);
    EXPECT_EQ(buildAndRead(), first);
}

}  // namespace
}  // namespace tessarel::testing
