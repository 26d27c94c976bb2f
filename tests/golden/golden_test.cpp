// End-to-end pages: a small documented source goes through the whole
// single-file build and its chapter page is compared byte for byte with a page
// worked out by hand.

#include <gtest/gtest.h>

#include <QDir>
#include <algorithm>
#include <string>

#include "extract/document_model.h"
#include "pages/page_frame.h"
#include "pages/single_file_build.h"
#include "support/environment.h"
#include "support/preferences.h"
#include "support/settings.h"
#include "support/testing.h"

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::ReadBytes;
using testing::TestEnvironment;
using testing::WriteBytes;

const QString kGoldenData = QStringLiteral(TESSAREL_TEST_DATA "/golden/");

CommentStyles NoCommentStyles() {
    CommentStyles styles;
    styles.doubleSlash = styles.apostrophe = styles.slashStar = false;
    return styles;
}

/// Reports the first line where two pages differ, with CR shown, so a failure
/// names the place instead of dumping two whole pages.
void ExpectSamePage(const QByteArray& actual, const QByteArray& expected) {
    if (actual == expected) {
        return;
    }
    const QList<QByteArray> actualLines = actual.split('\n');
    const QList<QByteArray> expectedLines = expected.split('\n');
    const qsizetype common = std::min(actualLines.size(), expectedLines.size());
    qsizetype line = 0;
    while (line < common && actualLines[line] == expectedLines[line]) {
        ++line;
    }
    auto shown = [](const QList<QByteArray>& lines, qsizetype i) {
        return i < lines.size() ? QString::fromLatin1(lines[i]).replace(u"\r"_s, u"\\r"_s).toStdString()
                                : std::string("<end of page>");
    };
    ADD_FAILURE() << "pages differ at line " << line + 1 << " (" << actual.size() << " bytes, expected "
                  << expected.size() << ")\n  actual:   [" << shown(actualLines, line) << "]\n  expected: ["
                  << shown(expectedLines, line) << "]";
}

class GoldenPageTest : public ::testing::Test {
protected:
    GoldenPageTest() {
        // A one-rule fallback sheet keeps the expected pages short; the style
        // name below does not exist, so every embedded page falls back to it.
        WriteBytes(env.programFolder() + u"styles/minimal.css"_s, "body { margin: 0 }\r\n");
        settings.Style = u"no_such_style"_s;
        QDir().mkpath(sourceFolder());
    }

    QString sourceFolder() const { return env.path(u"src"_s); }

    /// Single-file mode reads its comment styles from the preferences.
    void useCommentStyles(const CommentStyles& styles) { WriteSingleFileCommentStyles(*env.preferences, styles); }

    /// Copies the golden source into the temporary folder, builds it and
    /// returns the page written beside it.
    QByteArray buildPage(const QString& name, const QByteArray& sourceBytes = {}) {
        const QString source = sourceFolder() + u"/"_s + name;
        WriteBytes(source, sourceBytes.isEmpty() ? ReadBytes(kGoldenData + name) : sourceBytes);
        const PageStyle style = ResolvePageStyle(env.env->paths, settings, projectOpen);
        ChapterJob job = SingleFileJob(source, false);
        ChapterSetup setup = SingleFileSetup(*env.preferences, settings, style, generatedAt);
        if (projectOpen) {
            // As a book's chapter is parsed, with the project's settings.
            setup.parse.comments = settings.comments;
            setup.sortSections = settings.SortSections;
        }
        const ChapterOutcome outcome = BuildChapterJob(*env.env, setup, job, {doc, page});
        EXPECT_TRUE(outcome.written);
        EXPECT_NE(outcome.kind, ChapterOutcome::Kind::NotRead);
        return ReadBytes(source + u".htm"_s);
    }

    QByteArray expectedPage(const QString& name) const { return ReadBytes(kGoldenData + name + u".htm"_s); }

    TestEnvironment env;
    DocumentModel doc;
    PageBuffer page;
    Settings settings;
    bool projectOpen = false;
    const QDateTime generatedAt = QDateTime(QDate(2004, 3, 7), QTime(14, 5, 9));
};

TEST_F(GoldenPageTest, doubleSlashSource_emphasisLinksDeclarationsAndContents) {
    CommentStyles styles = NoCommentStyles();
    styles.doubleSlash = true;
    useCommentStyles(styles);

    const QByteArray expected = expectedPage(u"slashes.cpp"_s);
    ASSERT_FALSE(expected.isEmpty());
    ExpectSamePage(buildPage(u"slashes.cpp"_s), expected);

    // The same file with CR LF line ends gives the same page.
    QByteArray crlf = ReadBytes(kGoldenData + u"slashes.cpp"_s);
    crlf.replace("\n", "\r\n");
    ExpectSamePage(buildPage(u"slashes.cpp"_s, crlf), expected);
}

TEST_F(GoldenPageTest, apostropheSource_noChapterTitle_listsHeadingsSummaryAndCopyright) {
    CommentStyles styles = NoCommentStyles();
    styles.apostrophe = true;
    useCommentStyles(styles);
    settings.Title = false;
    settings.Overview = ChapterOverview::Summary;
    settings.Copyright = u"&#169; 2004 Vornhald Tools"_s;

    ExpectSamePage(buildPage(u"apostrophe.bas"_s), expectedPage(u"apostrophe.bas"_s));
}

TEST_F(GoldenPageTest, hashSource_upperCaseKeywords_numberedStepsWebLinks_noOverview) {
    CommentStyles styles = NoCommentStyles();
    styles.hash = true;
    useCommentStyles(styles);
    settings.Overview = ChapterOverview::None;

    ExpectSamePage(buildPage(u"hash.py"_s), expectedPage(u"hash.py"_s));
}

TEST_F(GoldenPageTest, semicolonSource_sortedSections_definitionTables_footer) {
    CommentStyles styles = NoCommentStyles();
    styles.semicolon = true;
    useCommentStyles(styles);
    env.preferences->WritePreference(prefs::kSingleFile, u"propSortSections"_s, u" 1"_s);
    settings.IncludeSourceLocation = true;
    settings.IncludeLastGenerated = true;

    QByteArray expected = expectedPage(u"semicolon.asm"_s);
    ASSERT_FALSE(expected.isEmpty());
    // Only the footer depends on where and when the page was built.
    const QString location = QDir::toNativeSeparators(QDir(sourceFolder()).canonicalPath() + u"/semicolon.asm"_s);
    expected.replace("@@SOURCE_LOCATION@@", location.toLatin1());
    expected.replace("@@LAST_GENERATED@@", ShortDateTimeText(generatedAt).toLatin1());

    ExpectSamePage(buildPage(u"semicolon.asm"_s), expected);
}

TEST_F(GoldenPageTest, dashSource_linksOff_semicolonDeclarations_unnamedKeyword) {
    CommentStyles styles = NoCommentStyles();
    styles.dash = true;
    useCommentStyles(styles);
    settings.Links = false;

    ExpectSamePage(buildPage(u"dash.adb"_s), expectedPage(u"dash.adb"_s));
}

TEST_F(GoldenPageTest, fortranSource_letterAndBangComments_noDeclarationBoxes_summary) {
    CommentStyles styles = NoCommentStyles();
    styles.letterC = true;
    styles.exclamation = true;
    useCommentStyles(styles);
    settings.Api = false;
    settings.Overview = ChapterOverview::Summary;

    ExpectSamePage(buildPage(u"fortran.f"_s), expectedPage(u"fortran.f"_s));
}

TEST_F(GoldenPageTest, blockCommentSource_literalMailFigure_andSectionWithEmptyName) {
    CommentStyles styles = NoCommentStyles();
    styles.slashStar = true;
    useCommentStyles(styles);

    ExpectSamePage(buildPage(u"block.c"_s), expectedPage(u"block.c"_s));
}

TEST_F(GoldenPageTest, pascalSourceInProject_linkedStyle_projectTitle_projectSorting) {
    // With a project open the styles and the sort flag are the project's; the
    // preferences say otherwise and must not count.
    useCommentStyles(CommentStyles{});
    env.preferences->WritePreference(prefs::kSingleFile, u"propSortSections"_s, u" 0"_s);
    projectOpen = true;
    settings.comments = NoCommentStyles();
    settings.comments.parenStar = true;
    settings.comments.braces = true;
    settings.SortSections = true;
    settings.EmbedStyle = false;
    settings.Style = u"standard_babyblue"_s;
    settings.IncludeProjectTitle = true;
    settings.IndexTitle = u"Geometry Kit"_s;

    ExpectSamePage(buildPage(u"pascal.pas"_s), expectedPage(u"pascal.pas"_s));
}

TEST_F(GoldenPageTest, keywordPairsSemicolonValuesEscapesAndEmphasisRetries) {
    CommentStyles styles = NoCommentStyles();
    styles.doubleSlash = true;
    styles.slashStar = true;
    useCommentStyles(styles);

    ExpectSamePage(buildPage(u"edges.cpp"_s), expectedPage(u"edges.cpp"_s));
}

TEST_F(GoldenPageTest, sourceWithoutSections_replacesTheOldPageWithTheErrorPage) {
    // An earlier build's page: a file Tessarel did not write there would be kept.
    WriteBytes(sourceFolder() + u"/notes.js.htm"_s,
               "\r\n" + kPageGeneratorLine.toLatin1() + "\r\nstale page from an earlier build\r\n");

    ExpectSamePage(buildPage(u"notes.js"_s), expectedPage(u"notes.js"_s));
    EXPECT_EQ(doc.count(), 0);
}

}  // namespace
}  // namespace tessarel
