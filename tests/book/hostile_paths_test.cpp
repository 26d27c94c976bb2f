// Whatever a project file holds in its chapter names, chapter folders and
// destination, a build writes only inside its destination folder. Each case
// builds a project in a temporary tree and compares a listing of the whole
// tree before and after.
#include "book/project_build.h"
#include "book_fixture.h"
#include "project/project_model.h"
#include "support/paths.h"
#include "support/testing.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <map>

namespace tessarel::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

const QByteArray kDocumented =
    "/*\r\n * module: Counter\r\n * Counts things.\r\n */\r\n\r\n"
    "/*\r\n * function: count_up\r\n * Adds one.\r\n */\r\nint count_up(int count);\r\n";

using Listing = std::map<QString, QByteArray>;

/// The paths below `root` that are new, changed or gone.
QStringList Differences(const QString& root, const Listing& before, const Listing& after) {
    QStringList changed;
    for (const auto& [path, bytes] : after) {
        const auto old = before.find(path);
        if (old == before.end() || old->second != bytes) {
            changed << root + u"/"_s + path;
        }
    }
    for (const auto& [path, bytes] : before) {
        if (after.find(path) == after.end()) {
            changed << root + u"/"_s + path;
        }
    }
    return changed;
}

struct Case {
    const char* label;
    QString relDestPath;  ///< "@" stands for the temporary root
    QStringList names;
    QStringList folders;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.label; }

class HostilePaths : public ::testing::TestWithParam<Case> {
protected:
    HostilePaths() {
        // Deep enough that "../.." from the project still lies in the tree.
        root = QDir::cleanPath(env.root.path());
        proj = root + u"/a/b/proj/"_s;
        WriteBytes(proj + u"src/good.c"_s, kDocumented);
        WriteBytes(proj + u"src/sub/deeper.c"_s, kDocumented);
        WriteBytes(proj + u"src/..\\..\\back.c"_s, kDocumented);
        WriteBytes(proj + u"abs/inside.c"_s, kDocumented);
        WriteBytes(root + u"/a/b/escape.c"_s, kDocumented);
        WriteBytes(root + u"/a/b/page.htm"_s, "<html>page</html>");
        // What a build must never replace: old book files outside the destination.
        WriteBytes(root + u"/a/b/index.htm"_s, "not ours");
        WriteBytes(proj + u"src/good.c.htm"_s, "not ours either");
    }

    TestEnvironment env;
    Workspace ws{*env.env};
    QString root;
    QString proj;
};

TEST_P(HostilePaths, buildWritesOnlyInsideItsDestination) {
    const Case& c = GetParam();
    ProjectModel& project = ws.project;
    project.ProjectFolder = proj;
    project.ProjectFileName = u"hostile.qdx"_s;
    project.ProjectPath = proj + project.ProjectFileName;
    Settings& settings = project.settings;
    settings.RelDestPath = QString(c.relDestPath).replace(u"@"_s, root);
    settings.GenerateHtmlHelpFiles = true;
    settings.Collapsible = true;
    settings.Style = u"../../sheet"_s;
    settings.HomeChapter = u"../../../home.c"_s;
    for (qsizetype i = 0; i < c.names.size(); ++i) {
        project.Chapters.push_back({c.names[i], c.folders[i]});
    }
    const QString destination = QDir::cleanPath(project.destinationFolder());
    ASSERT_TRUE(destination.startsWith(root + u"/"_s)) << destination.toStdString();

    const Listing before = Tree(root);
    const ProjectBuildResult result = BuildProject(ws);
    const QStringList changed = Differences(root, before, Tree(root));

    EXPECT_TRUE(result.started);
    ASSERT_FALSE(changed.isEmpty());
    for (const QString& path : changed) {
        // The destination itself and the folders above it may be made.
        const bool madeFolder = QFileInfo(path).isDir() && (destination + u"/"_s).startsWith(path + u"/"_s);
        EXPECT_TRUE(madeFolder || path.startsWith(destination + u"/"_s))
            << path.toStdString() << " outside " << destination.toStdString();
    }
}

const QStringList kHostileNames{u"good.c"_s,
                                u"../../escape.c"_s,
                                u"..\\..\\back.c"_s,
                                u"/abs/inside.c"_s,
                                u"sub/deeper.c"_s,
                                u""_s,
                                u"."_s,
                                u".."_s,
                                u"sub/"_s,
                                u"../../page.htm"_s,
                                u"/"_s,
                                u"a\\b/c\\d.c"_s};
const QStringList kHostileFolders{u"src\\"_s, u"src\\"_s, u"src/"_s, u""_s,     u"src/"_s, u"src\\"_s,
                                  u"src/"_s,  u"src/"_s,  u"src/"_s, u"src/"_s, u"src/"_s, u"..\\..\\..\\..\\"_s};

INSTANTIATE_TEST_SUITE_P(
    ProjectFiles, HostilePaths,
    ::testing::Values(Case{"hostileNamesIntoAPlainDestination", u"out\\"_s, kHostileNames, kHostileFolders},
                      Case{"destinationAboveTheProject", u"..\\..\\book\\"_s, kHostileNames, kHostileFolders},
                      Case{"destinationWithForwardSlashes", u"../../book/"_s, kHostileNames, kHostileFolders},
                      Case{"absoluteDestination", u"@/elsewhere/book/"_s, kHostileNames, kHostileFolders},
                      Case{"destinationIsTheProjectFolder", u""_s, kHostileNames, kHostileFolders},
                      Case{"destinationWithoutTrailingSeparator", u"out"_s, kHostileNames, kHostileFolders},
                      Case{"hostileChapterFolders",
                           u"out\\"_s,
                           {u"good.c"_s, u"good.c"_s, u"good.c"_s, u"escape.c"_s},
                           {u"/nonexistent/"_s, u"..\\..\\..\\..\\..\\..\\..\\..\\"_s, u"@@@"_s, u"..\\..\\"_s}},
                      // A name too long for the file system stops the build when its page
                      // cannot be written; nothing may land elsewhere on the way.
                      Case{"veryLongNames",
                           u"out/"_s,
                           {u"good.c"_s, QString(300, u'x') + u".c"_s, QString(5000, u'/') + u"y.c"_s},
                           {u"src/"_s, u"src/"_s, u"src/"_s}}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.label); });

}  // namespace
}  // namespace tessarel::testing
