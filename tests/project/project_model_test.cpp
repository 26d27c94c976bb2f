#include "project/project_model.h"
#include "support/file_functions.h"

#include <gtest/gtest.h>

using namespace tessarel;

namespace {

TEST(ProjectModelTest, clearProject_resetsOnlyWhatHasAFixedResetValue) {
    ProjectModel project;
    project.ProjectPath = QStringLiteral("/p/a.qdx");
    project.ProjectFolder = QStringLiteral("/p/");
    project.ProjectFileName = QStringLiteral("a.qdx");
    project.NumberOfChapters = 1;
    project.Chapters[4000] = {QStringLiteral("a.c"), QStringLiteral("src\\"), QStringLiteral("A"), true};
    project.CurrentChapterIndex = 5;
    project.HomePage = QStringLiteral("a.c.htm");
    Settings& s = project.settings;
    s.Title = s.Links = s.Api = false;
    s.Style = QStringLiteral("plain");
    s.SumCon = QStringLiteral("2");
    s.IncludeSourceLocation = s.IncludeLastGenerated = true;
    s.IndexTitle = QStringLiteral("Book");
    s.IndexText = QStringLiteral("About");
    const Settings kept = s;
    s.UseChapterTitleInIndex = s.GenerateHtmlHelpFiles = s.Collapsible = s.EmbedStyle = true;
    s.SortSections = s.SortFilenames = s.IncludeProjectTitle = true;
    s.IncludeOnlyDocumentedFiles = s.BoldTitles = false;
    s.Copyright = s.HomeChapter = s.RelDestPath = s.TextFilter = s.ComboFilter = QStringLiteral("x");
    SetSingleLineCommentBits(s.comments, 127);
    SetMultipleLineCommentBits(s.comments, 6);

    EXPECT_TRUE(project.isOpen());
    ClearProject(project);
    EXPECT_FALSE(project.isOpen());
    EXPECT_TRUE(project.ProjectPath.isEmpty() && project.ProjectFolder.isEmpty());
    EXPECT_EQ(project.NumberOfChapters, 0);
    ASSERT_EQ(project.Chapters.size(), 4001u);
    EXPECT_TRUE(project.Chapters[4000].Name.isEmpty() && project.Chapters[4000].RelPath.isEmpty());
    EXPECT_TRUE(project.Chapters[4000].ChapterTitle.isEmpty());
    EXPECT_FALSE(project.Chapters[4000].Documented);
    EXPECT_EQ(project.CurrentChapterIndex, 0);
    EXPECT_TRUE(project.HomePage.isEmpty());
    EXPECT_EQ(project.settings, kept);
}

TEST(ProjectModelTest, resolve_keepsAbsoluteFoldersAndReadsBackslashes) {
    ProjectModel project;
    const QChar sep = PathSeparator();
    project.ProjectFolder = QStringLiteral("proj") + sep;
    project.settings.RelDestPath = QStringLiteral("html\\out\\");
    EXPECT_EQ(project.destinationFolder(), QStringLiteral("proj/html/out/").replace(u'/', sep));
    const QString absolute = DrivePart(QStringLiteral("/")).isEmpty() ? QStringLiteral("D:\\out\\")
                                                                        : QStringLiteral("/out/");
    EXPECT_EQ(project.resolve(absolute), absolute);
    EXPECT_EQ(project.settings.RelDestPath, u"html\\out\\");
}

}  // namespace
