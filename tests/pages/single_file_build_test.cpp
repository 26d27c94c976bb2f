#include "extract/document_model.h"
#include "pages/page_frame.h"
#include "pages/single_file_build.h"
#include "support/preferences.h"
#include "support/settings.h"
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

    SingleFileContext context(const QString& source) {
        doc.SourceFilePath = source;
        return SingleFileContext{*env.env,    doc,        page, settings, style, projectOpen, env.path(QString()),
                                 destination, generatedAt};
    }

    SingleFileResult build(const QString& source) {
        SingleFileContext c = context(source);
        return BuildTheFile(c);
    }

    QStringList sectionNames() const {
        QStringList names;
        for (int i = 1; i <= doc.count(); ++i) {
            names << doc.section(i).Name;
        }
        return names;
    }

    /// The one line the build logged: reason, input, success, title, output.
    void expectLog(const QString& reason, const QString& item, bool status, const QString& title,
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
    bool projectOpen = false;
    QString destination;
    QDateTime generatedAt = QDateTime(QDate(2004, 3, 7), QTime(14, 5, 9));
};

TEST_F(SingleFileBuildTest, htmlSourceWithoutProject_isShownButNeitherParsedNorCopied) {
    const QString source = env.path(u"src/page.htm"_s);
    WriteBytes(source, "<p>mine</p>");
    doc.SectionCount = 5;
    EXPECT_TRUE(build(source).success);
    EXPECT_EQ(doc.count(), 0);
    EXPECT_EQ(env.ui.navigations, QStringList{source});
    EXPECT_EQ(QDir(env.path(u"src"_s)).entryList(QDir::Files), QStringList{u"page.htm"_s});
    expectLog(u"Not Built: HTML File"_s, u"page.htm"_s, true, u"page.htm"_s, u"page.htm"_s);
    EXPECT_EQ(env.ui.progressResets, 1);
    EXPECT_EQ(env.ui.buildsStarted, 1);
    EXPECT_EQ(env.ui.buildsFinished, 1);
}

TEST_F(SingleFileBuildTest, htmlSourceInProject_copiedByteForByteButNeverOntoItself) {
    const QString source = env.path(u"src/intro.html"_s);
    const QByteArray bytes = "<p>caf\xc3\xa9</p>\n";
    WriteBytes(source, bytes);
    projectOpen = true;
    destination = env.path(u"out/"_s);
    build(source);
    EXPECT_EQ(ReadBytes(env.path(u"out/intro.html"_s)), bytes);
    EXPECT_TRUE(env.ui.navigations.isEmpty());

    // Without a build's destination the project's own setting is resolved.
    QFile::remove(env.path(u"out/intro.html"_s));
    destination.clear();
    settings.RelDestPath = u"out/"_s;
    build(source);
    EXPECT_EQ(ReadBytes(env.path(u"out/intro.html"_s)), bytes);

    destination = env.path(u"src/./"_s);
    build(source);
    EXPECT_EQ(ReadBytes(source), bytes);
    EXPECT_EQ(QDir(env.path(u"src"_s)).entryList(QDir::Files), QStringList{u"intro.html"_s});
}

TEST_F(SingleFileBuildTest, fileWithoutSections_getsTheErrorPageAndAFailedLogLine) {
    const QString source = env.path(u"src/x.c"_s);
    WriteBytes(source, "int x;\n");
    const SingleFileResult result = build(source);
    EXPECT_FALSE(result.success);
    EXPECT_TRUE(result.readable);
    EXPECT_TRUE(QString::fromLatin1(ReadBytes(source + u".htm"_s))
                    .contains(u"<H1>>>There are no Sections defined in this file</H1><h2>x.c</h2>"_s));
    EXPECT_EQ(env.ui.navigations, QStringList{source + u".htm"_s});
    expectLog(u"No Sections Declared"_s, u"x.c"_s, false, u"No Sections Defined"_s, u"x.c.htm"_s);
}

TEST_F(SingleFileBuildTest, documentedFile_replacesItsOldPageAndIsShownAndLogged) {
    const QString source = env.path(u"src/main.c"_s);
    WriteBytes(source, kThreeSections);
    WriteBytes(source + u".htm"_s, "an old page");
    build(source);
    EXPECT_EQ(sectionNames(), (QStringList{u"Chapter"_s, u"zeta"_s, u"alpha"_s}));
    EXPECT_TRUE(QString::fromLatin1(ReadBytes(source + u".htm"_s)).contains(u"<a NAME=\"zeta\"></a>"_s));
    EXPECT_EQ(env.ui.navigations, QStringList{source + u".htm"_s});
    expectLog(u"Sections OK"_s, u"main.c"_s, true, u"Chapter"_s, u"main.c.htm"_s);
}

TEST_F(SingleFileBuildTest, projectBuild_neverTouchesAPageBesideTheSource) {
    const QString source = env.path(u"src/main.c"_s);
    WriteBytes(source, kThreeSections);
    WriteBytes(source + u".htm"_s, "the user's own page");
    projectOpen = true;
    destination = env.path(u"out/"_s);
    build(source);
    EXPECT_EQ(ReadBytes(source + u".htm"_s), QByteArray("the user's own page"));
    EXPECT_TRUE(QString::fromLatin1(ReadBytes(env.path(u"out/main.c.htm"_s))).contains(u"<title>"_s));
    EXPECT_TRUE(env.ui.navigations.isEmpty());
}

TEST_F(SingleFileBuildTest, sorting_preferenceWithoutProject_settingWithProject) {
    const QString source = env.path(u"src/main.c"_s);
    WriteBytes(source, kThreeSections);
    const QStringList sorted{u"Chapter"_s, u"alpha"_s, u"zeta"_s};
    const QStringList unsorted{u"Chapter"_s, u"zeta"_s, u"alpha"_s};
    env.preferences->WritePreference(prefs::kSingleFile, prefs::kSortSections, u" 1"_s);
    build(source);
    EXPECT_EQ(sectionNames(), sorted);

    projectOpen = true;
    destination = env.path(u"out/"_s);
    build(source);
    EXPECT_EQ(sectionNames(), unsorted);
    env.preferences->WritePreference(prefs::kSingleFile, prefs::kSortSections, u"0"_s);
    settings.SortSections = true;
    build(source);
    EXPECT_EQ(sectionNames(), sorted);
}

TEST_F(SingleFileBuildTest, commentStyles_preferencesWithoutProject_settingsWithProject) {
    const QString source = env.path(u"src/script.sh"_s);
    WriteBytes(source, "# file: Script\n# Runs.\n");
    CommentStyles hashOnly;
    hashOnly.chkS4 = true;
    WriteSingleFileCommentStyles(*env.preferences, hashOnly);
    build(source);
    EXPECT_EQ(sectionNames(), QStringList{u"Script"_s});

    projectOpen = true;
    destination = env.path(u"out/"_s);
    build(source);
    EXPECT_EQ(doc.count(), 0);
}

TEST_F(SingleFileBuildTest, unreadableSource_isLoggedAsSuch) {
    // A folder stands in for a file that cannot be read, whoever runs the test.
    const QString source = env.path(u"src/locked.c"_s);
    QDir().mkpath(source);
    EXPECT_FALSE(build(source).readable);
    expectLog(u"Unreadable File"_s, u"locked.c"_s, false, u"---"_s, u"locked.c.htm"_s);
}

}  // namespace
}  // namespace tessarel
