// A build that fails part way leaves the pages and HTML Help files of the
// previous build as they were, never a shortened copy. Failures are made with
// read-only pages (no owner's write permission, which stops root too) and
// folders where a page goes.
#include "book/project_build.h"
#include "book_fixture.h"
#include "extract/document_model.h"
#include "pages/single_file_build.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace tessarel::testing {
namespace {

const QByteArray kDocumented = "// file: Chapter\r\n// Intro.\r\n\r\n// function: alpha\r\n// Alpha text.\r\n";

class SafeBookOutput : public BookFixture {
protected:
    SafeBookOutput() {
        ws.project.settings.GenerateHtmlHelpFiles = true;
        ws.project.settings.Collapsible = true;
        addSource(u"src"_s, u"a.c"_s, kDocumented);
        addSource(u"src"_s, u"gone.c"_s);
        addSource(u"src"_s, u"b.htm"_s, "<html>b</html>");
    }
};

TEST_F(SafeBookOutput, aRebuildThatStopsKeepsThePreviousBook) {
    ASSERT_FALSE(BuildProject(ws).destinationUnwritable);
    const auto book = Tree(dest);
    ASSERT_TRUE(book.count(u"_dindex.htm"_s));
    ASSERT_TRUE(book.count(u"HTML Help/contents.hhc"_s));
    for (const auto& [path, bytes] : book) {
        EXPECT_FALSE(path.endsWith(u".tessarel-new"_s)) << path.toStdString();
    }
    EXPECT_TRUE(read(u"_dindex.htm"_s).endsWith(u"</html>\r\n\r\n"_s));

    // The error page of the missing chapter cannot be put in place.
    QFile::setPermissions(dest + u"gone.c.htm"_s, QFileDevice::ReadOwner);
    WriteBytes(ws.project.ProjectFolder + u"src/a.c"_s, kDocumented + "// function: beta\r\n// New.\r\n");
    env.ui.messages.clear();
    const ProjectBuildResult result = BuildProject(ws);

    EXPECT_TRUE(result.destinationUnwritable);
    ASSERT_EQ(env.ui.messages.size(), 1u);
    EXPECT_EQ(env.ui.messages[0].title, u"Read only file"_s);
    // The chapter built before the failure is new; every other file, the
    // growing contents and HTML Help files included, is the previous build's.
    auto after = Tree(dest);
    EXPECT_TRUE(after[u"a.c.htm"_s].contains("beta"));
    after[u"a.c.htm"_s] = book.at(u"a.c.htm"_s);
    EXPECT_EQ(after, book);
}

// A page that cannot be written is a failure, never "Built OK": the build
// stops there as it does for any file it cannot write.
TEST_F(SafeBookOutput, aChapterPageOrCopyThatCannotBeWrittenStopsTheBuild) {
    const std::pair<QString, QString> cases[] = {{u"a.c"_s, u"a.c.htm"_s}, {u"b.htm"_s, u"b.htm"_s}};
    for (const auto& [chapter, blocked] : cases) {
        env.ui.messages.clear();
        env.ui.log.clear();
        QDir(dest).removeRecursively();
        QDir().mkpath(dest + blocked);
        const ProjectBuildResult result = BuildProject(ws);

        EXPECT_TRUE(result.destinationUnwritable) << blocked.toStdString();
        ASSERT_EQ(env.ui.messages.size(), 1u);
        EXPECT_EQ(env.ui.messages[0].title, u"Is a directory"_s);
        EXPECT_TRUE(env.ui.messages[0].text.contains(dest + blocked));
        for (const auto& line : env.ui.log) {
            EXPECT_NE(line.item, chapter);
        }
        EXPECT_FALSE(QFileInfo::exists(dest + u"index.htm"_s));
    }
}

// Opening a single source file: its page next to it is replaced only by a
// whole new page.
TEST_F(SafeBookOutput, aSingleFilePageThatCannotBeRewrittenIsKept) {
    const QString source = env.path(u"single/x.c"_s);
    WriteBytes(source, kDocumented);
    Settings settings;
    const PageStyle embedded{u"test"_s, QString(), true};
    auto build = [&] { return BuildSingleFile(*env.env, {ws.document, ws.page}, {source, settings, embedded, {}}); };
    ASSERT_TRUE(build().success());
    const QByteArray page = ReadBytes(source + u".htm"_s);
    ASSERT_TRUE(page.contains("alpha"));

    QFile::setPermissions(source + u".htm"_s, QFileDevice::ReadOwner);
    WriteBytes(source, kDocumented + "// function: beta\r\n// New.\r\n");
    const SingleFileResult result = build();
    EXPECT_EQ(ReadBytes(source + u".htm"_s), page);
    ASSERT_FALSE(env.ui.messages.empty());
    EXPECT_EQ(env.ui.messages.back().title, u"Read only file"_s);
    // The log must not call it a success.
    EXPECT_FALSE(result.success());
    EXPECT_EQ(result.row.reason, u"Page Not Written"_s);
    EXPECT_EQ(env.ui.log.back().reason, u"Page Not Written"_s);
}

}  // namespace
}  // namespace tessarel::testing
