#include "pages/single_file_build.h"
#include "extract/document_model.h"
#include "pages/page_frame.h"
#include "pages/page_paths.h"
#include "support/html_text.h"
#include "support/preferences.h"
#include "support/settings.h"
#include "support/special_files.h"
#include "support/testing.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::ReadBytes;
using testing::RecordingUserInterface;
using testing::TestEnvironment;
using testing::WriteBytes;

const QByteArray kThreeSections =
    "// file: Chapter\n// Intro.\n\n"
    "// function: zeta\n// Zeta text.\n\n"
    "// function: alpha\n// Alpha text.\n";

class SingleFileBuildTest : public ::testing::Test {
protected:
    SingleFileBuildTest() {
        QDir().mkpath(env.path(u"src"_s));
        QDir().mkpath(env.path(u"out"_s));
    }

    SingleFileResult build(const QString& source) {
        return BuildSingleFile(*env.env, {doc, page}, {source, settings, style, generatedAt});
    }

    QStringList sectionNames() const {
        QStringList names;
        for (const SectionRecord& section : doc.Sections) {
            names << section.Name;
        }
        return names;
    }

    /// The one line the build logged: reason, input, success, title, output.
    void expectLog(const QString& reason, const QString& item, RowStatus status, const QString& title,
                   const QString& output) const {
        ASSERT_EQ(env.ui.log.size(), 1u);
        const auto& line = env.ui.log.front();
        EXPECT_EQ(line.reason, reason);
        EXPECT_EQ(line.item, item);
        EXPECT_EQ(line.status, status);
        EXPECT_EQ(line.title, title);
        EXPECT_EQ(line.output, output);
    }

    TestEnvironment env;
    DocumentModel doc;
    PageBuffer page;
    Settings settings;
    PageStyle style{u"none"_s, QString(), true};
    QDateTime generatedAt = QDateTime(QDate(2004, 3, 7), QTime(14, 5, 9));
};

TEST_F(SingleFileBuildTest, htmlSource_isShownButNeitherParsedNorCopied) {
    const QString source = env.path(u"src/page.htm"_s);
    WriteBytes(source, "<p>mine</p>");
    doc.Sections.resize(5);
    const SingleFileResult result = build(source);
    EXPECT_TRUE(result.success());
    EXPECT_EQ(doc.count(), 0);
    EXPECT_EQ(result.pageToShow, source);
    EXPECT_TRUE(result.page.isEmpty());
    EXPECT_EQ(QDir(env.path(u"src"_s)).entryList(QDir::Files), QStringList{u"page.htm"_s});
    expectLog(u"Not Built: HTML File"_s, u"page.htm"_s, RowStatus::Warning, u"page.htm"_s, u"page.htm"_s);
    EXPECT_EQ(env.ui.progressResets, 1);
    EXPECT_EQ(env.ui.buildsStarted, 1);
    EXPECT_EQ(env.ui.buildsFinished, 1);
}

TEST_F(SingleFileBuildTest, fileWithoutSections_getsTheErrorPageAndAFailedLogLine) {
    const QString source = env.path(u"src/x.c"_s);
    WriteBytes(source, "int x;\n");
    const SingleFileResult result = build(source);
    EXPECT_FALSE(result.success());
    EXPECT_TRUE(result.readable());
    EXPECT_TRUE(QString::fromLatin1(ReadBytes(source + u".htm"_s))
                    .contains(u"<H1>>>There are no Sections defined in this file</H1><h2>x.c</h2>"_s));
    EXPECT_EQ(result.page, source + u".htm"_s);
    EXPECT_EQ(result.pageToShow, source + u".htm"_s);
    expectLog(u"No Sections Declared"_s, u"x.c"_s, RowStatus::Failed, u"No Sections Defined"_s, u"x.c.htm"_s);
}

// A documented file's row and page, and a project build leaving the page
// beside its source alone, are covered by the command-line, main-command and
// hostile-path tests.
TEST_F(SingleFileBuildTest, figuresWhoseImageIsMissing_areAWarningNamingEachOnce) {
    const QString source = env.path(u"src/fig.c"_s);
    WriteBytes(env.path(u"src/there.png"_s), "png");
    QDir().mkpath(env.path(u"src/my pics"_s));
    WriteBytes(env.path(u"src/my pics/b.png"_s), "png");
    WriteBytes(source,
               "// file: Figures\n// @figure[there.png] @figure[missing.png] @figure[missing.png]\n"
               "// @figure[my%20pics/b.png#top] @figure[http://example.org/x.png] @figure[gone/c.png?v=2]\n");
    const SingleFileResult result = build(source);
    EXPECT_TRUE(result.success());
    expectLog(u"Missing Figure"_s, u"fig.c"_s, RowStatus::Warning, u"Figures"_s, u"fig.c.htm"_s);
    EXPECT_EQ(env.ui.logText, (QStringList{u"Figure not found: missing.png"_s, u"Figure not found: gone/c.png?v=2"_s}));
    EXPECT_TRUE(ReadBytes(source + u".htm"_s).contains("<IMG SRC=\"missing.png\">"));

    // With every image in place the page is simply built.
    QDir().mkpath(env.path(u"src/gone"_s));
    WriteBytes(env.path(u"src/missing.png"_s), "png");
    WriteBytes(env.path(u"src/gone/c.png"_s), "png");
    env.ui.log.clear();
    env.ui.logText.clear();
    build(source);
    EXPECT_TRUE(env.ui.logText.isEmpty());
    expectLog(u"Sections OK"_s, u"fig.c"_s, RowStatus::Ok, u"Figures"_s, u"fig.c.htm"_s);
}

// Names a browser reads as relative files: "&", an "@" code the scanner
// escaped, a leading ":". Only another scheme is refused, as plain text.
TEST_F(SingleFileBuildTest, linksAndFiguresToOrdinaryFiles_areKeptWhateverTheirNamesHold) {
    const QString source = env.path(u"src/files.c"_s);
    for (const QString& file : {u"R&D.png"_s, u"x@b.png"_s, u":.png"_s, u"a&b.htm"_s, u":x.htm"_s}) {
        WriteBytes(env.path(u"src/"_s) + file, "file");
    }
    WriteBytes(source,
               "// file: Files\n// Pictures.\n// @figure[R&D.png] @figure[x@b.png] @figure[:.png]\n"
               "// @link[a&b.htm, a and b] @link[:x.htm, colon] @link[javascript:alert(1), refused]\n");
    build(source);
    expectLog(u"Sections OK"_s, u"files.c"_s, RowStatus::Ok, u"Files"_s, u"files.c.htm"_s);
    const QByteArray written = ReadBytes(source + u".htm"_s);
    for (const char* kept : {"<IMG SRC=\"R&D.png\">", "<IMG SRC=\"x&#64&#98.png\">", "<IMG SRC=\":.png\">",
                             "<a HREF=\"a&b.htm\">a and b</a>", "<a HREF=\":x.htm\">colon</a> refused"}) {
        EXPECT_TRUE(written.contains(kept)) << kept;
    }
}

// "&#58" before a digit reads as one longer number; before a ";" the ";" is
// its end. Read as a browser reads the page, every address and escaped "@"
// code is what the source says, and the source's own ";" still ends things.
TEST_F(SingleFileBuildTest, referencesBeforeADigitOrASemicolon_endWithIt) {
    const QString source = env.path(u"src/net.c"_s);
    WriteBytes(source,
               "// module: Server at http://127.0.0.1:8080/ for team@u1\n"
               "// See http://99designs.example/ and http://10.0.0.1/a;b and http://h.example/team@u1.gif now,\n"
               "// @link[http://127.0.0.1/x, the 127.0.0.1 page] @email[ops@1.example] {{<}}1 a::2 x@b; done\n"
               "\n// function: connect\n// Connects.\n"
               "int connect(const char* host = \"http://127.0.0.1/\", int a : 3, int b);\n");
    build(source);
    expectLog(u"Sections OK"_s, u"net.c"_s, RowStatus::Ok,
              u"Server at http&#58&#47&#47;127.0.0.1:8080/ for team&#64&#117;1"_s, u"net.c.htm"_s);
    const QString written = QString::fromLatin1(ReadBytes(source + u".htm"_s));
    const QString read = DecodeHtmlReferences(written);
    for (
        const QString& shown :
        {u"<h1>\r\nServer at http://127.0.0.1:8080/ for team@u1\r\n</h1>"_s,
         u"<a href=\"http://99designs.example/\">99designs.example/</a>"_s,
         u"<a href=\"http://10.0.0.1/a\">10.0.0.1/a</a>;b"_s,
         u"<a href=\"http://h.example/team@u1.gif\">h.example/team@u1.gif</a> now"_s,
         u"<a HREF=\"http://127.0.0.1/x\">the 127.0.0.1 page</a>"_s,
         u"<a HREF=\"mailto:ops@1.example\">ops@1.example</a> <1 a::2 x@b; done"_s,
         // Only the declaration's own ";" breaks its line.
         u"int <font class=ApiName>connect</font>(const char* host = \"http://127.0.0.1/\", int a : 3, int b);<br>"_s}) {
        EXPECT_TRUE(read.contains(shown)) << shown.toStdString();
    }
    // Elsewhere the references stay as they were.
    EXPECT_TRUE(written.contains(u"http&#58&#47&#47;99designs.example/"_s));
    EXPECT_TRUE(written.contains(u"http&#58&#47&#47h.example/team&#64&#117;1.gif"_s));
}

// Single-file mode's comment styles and sorting are the preferences', whatever
// the settings say.
TEST_F(SingleFileBuildTest, commentStylesAndSorting_comeFromThePreferences) {
    const QString source = env.path(u"src/main.c"_s);
    WriteBytes(source, kThreeSections);
    settings.SortSections = true;
    build(source);
    EXPECT_EQ(sectionNames(), (QStringList{u"Chapter"_s, u"zeta"_s, u"alpha"_s}));
    env.preferences->WritePreference(prefs::kSingleFile, u"propSortSections"_s, u" 1"_s);
    build(source);
    EXPECT_EQ(sectionNames(), (QStringList{u"Chapter"_s, u"alpha"_s, u"zeta"_s}));

    const QString script = env.path(u"src/script.sh"_s);
    WriteBytes(script, "# file: Script\n# Runs.\n");
    CommentStyles hashOnly;
    hashOnly.hash = true;
    settings.comments = hashOnly;
    build(script);
    EXPECT_EQ(doc.count(), 0);
    WriteSingleFileCommentStyles(*env.preferences, hashOnly);
    build(script);
    EXPECT_EQ(sectionNames(), QStringList{u"Script"_s});
}

// A source that is not read keeps its old page: neither the "no sections"
// page nor anything else replaces it, and the log and a message say why.
TEST_F(SingleFileBuildTest, sourcesThatAreNotRead_keepTheirOldPages) {
    struct Case {
        QString name, reason, sentence;
    };
    const std::vector<Case> cases{
        // A folder stands in for a file that cannot be read, whoever runs the test.
        {u"locked.c"_s, u"Unreadable File"_s, u"It could not be read: Is a directory."_s},
        {u"pipe.c"_s, u"Not a Regular File"_s,
         u"It is not a regular file but a pipe, a device or a socket, so it was not read."_s},
        {u"huge.c"_s, u"File Too Large"_s, u"It is larger than 256 MB, the most Tessarel reads."_s},
        {u"pipe.htm"_s, u"Not a Regular File"_s,
         u"It is not a regular file but a pipe, a device or a socket, so it was not read."_s},
    };
    QDir().mkpath(env.path(u"src/locked.c"_s));
    ASSERT_TRUE(testing::MakeFifo(env.path(u"src/pipe.c"_s)));
    ASSERT_TRUE(testing::MakeFifo(env.path(u"src/pipe.htm"_s)));
    ASSERT_TRUE(testing::MakeSparseFile(env.path(u"src/huge.c"_s), kMaxReadBytes + 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QString source = env.path(u"src/"_s + c.name);
        const QString oldPage = c.name.endsWith(u".htm"_s) ? source + u".old"_s : source + u".htm"_s;
        WriteBytes(oldPage, "the good page of an earlier build");
        env.ui.log.clear();
        env.ui.messages.clear();
        const SingleFileResult result = build(source);
        EXPECT_FALSE(result.readable());
        // No page was written: the row names none.
        expectLog(c.reason, c.name, RowStatus::Failed, u"---"_s, QString());
        ASSERT_EQ(env.ui.messages.size(), 1u);
        EXPECT_EQ(env.ui.messages[0].title, c.reason);
        EXPECT_EQ(env.ui.messages[0].text, source + u"\r\n"_s + c.sentence);
        EXPECT_EQ(ReadBytes(oldPage), QByteArray("the good page of an earlier build"));
        EXPECT_TRUE(result.page.isEmpty());
        EXPECT_TRUE(result.pageToShow.isEmpty());
        EXPECT_EQ(doc.count(), 0);
    }
}

}  // namespace
}  // namespace tessarel
