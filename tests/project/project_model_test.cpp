#include "project/project_model.h"

#include <gtest/gtest.h>

#include "support/paths.h"

using namespace Qt::Literals::StringLiterals;

using namespace tessarel;

namespace {

TEST(ProjectModelTest, clearProject_resetsOnlyWhatHasAFixedResetValue) {
    ProjectModel project;
    project.ProjectPath = u"/p/a.qdx"_s;
    project.ProjectFileName = u"a.qdx"_s;
    project.Chapters = {{u"a.c"_s, u"src\\"_s}};
    project.UncountedChapters = 2;
    Settings& s = project.settings;
    // Seeded from the preferences, and the book's title and text: kept.
    s.Title = s.IncludeLastGenerated = false;
    s.Style = u"plain"_s;
    s.Overview = ChapterOverview::None;
    s.IndexTitle = s.IndexText = u"Book"_s;
    const Settings kept = s;
    s.Collapsible = s.SortFilenames = true;
    s.BoldTitles = false;
    s.Copyright = s.RelDestPath = s.TextFilter = u"x"_s;
    SetMultipleLineCommentBits(s.comments, 6);
    ASSERT_TRUE(project.isOpen());
    ClearProject(project);
    EXPECT_FALSE(project.isOpen());
    EXPECT_TRUE(project.ProjectPath.isEmpty());
    EXPECT_TRUE(project.Chapters.empty());
    EXPECT_EQ(project.UncountedChapters, 0);
    EXPECT_EQ(project.settings, kept);
}

TEST(ProjectModelTest, resolve_keepsAbsoluteFoldersAndReadsBackslashes) {
    ProjectModel project;
    const QChar sep = PathSeparator();
    project.ProjectFolder = u"proj"_s + sep;
    project.settings.RelDestPath = u"html\\out\\"_s;
    EXPECT_EQ(project.destinationFolder(), u"proj/html/out/"_s.replace(u'/', sep));
    const QString absolute = DrivePart(u"/"_s).isEmpty() ? u"D:\\out\\"_s : u"/out/"_s;
    EXPECT_EQ(project.resolve(absolute), absolute);
    EXPECT_EQ(project.settings.RelDestPath, u"html\\out\\");
}

}  // namespace
