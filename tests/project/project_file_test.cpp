#include "project/project_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "project/project_model.h"
#include "support/paths.h"
#include "support/testing.h"

using namespace Qt::Literals::StringLiterals;

using namespace tessarel;
using namespace tessarel::testing;

namespace {

class ProjectFileTest : public ::testing::Test {
protected:
    ProjectFileTest() { QDir().mkpath(path(u"docs"_s)); }

    QString path(const QString& relative) const { return folder.filePath(relative); }

    QString projectPath() const { return QDir::toNativeSeparators(path(u"docs/demo.qdx"_s)); }

    /// A model as the New Project sequence leaves it, with some chapters.
    ProjectModel newProject(int chapters) {
        ProjectModel project;
        ClearProject(project);
        project.ProjectPath = projectPath();
        project.ProjectFolder = FolderOf(project.ProjectPath);
        project.ProjectFileName = FileNameOf(project.ProjectPath);
        for (int i = 0; i < chapters; ++i) {
            project.Chapters.push_back({u"file%1.c"_s.arg(i), u"..\\src\\"_s});
        }
        return project;
    }

    /// Saves text as a project file the way the program writes it.
    void writeProjectFile(const QString& text) { WriteBytes(projectPath(), (text + u"\r\n"_s).toUtf8()); }

    /// A saved project with one line of its text replaced.
    QString savedTextWith(const QString& line, const QString& replacement) {
        ProjectModel project = newProject(2);
        QString text = ProjectXml(project);
        text.replace(line, replacement);
        return text;
    }

    QTemporaryDir folder;
    RecordingUserInterface ui;
};

const QString kEmptyProject = Crlf(QStringLiteral(
    "<?xml version=\"1.0\"?>\n<TessarelProject>\n<FileVer>1.0</FileVer>\n<Interface>\n <TextFilter>*.*</TextFilter>\n"
    " <ComboFilter>*.*</ComboFilter>\n</Interface>\n<Settings>\n <Title>True</Title>\n <Links>True</Links>\n"
    " <Api>True</Api>\n <Style>standard_babyblue</Style>\n <SumCon>1</SumCon>\n"
    " <IncludeSourceLocation>False</IncludeSourceLocation>\n <IncludeLastGenerated>False</IncludeLastGenerated>\n"
    " <UseChapterTitleInIndex>False</UseChapterTitleInIndex>\n"
    " <IncludeOnlyDocumentedFiles>True</IncludeOnlyDocumentedFiles>\n"
    " <GenerateHtmlHelpFiles>False</GenerateHtmlHelpFiles>\n <Collapsible>False</Collapsible>\n"
    " <EmbedStyle>False</EmbedStyle>\n <SortSections>False</SortSections>\n <SortFilenames>False</SortFilenames>\n"
    " <IncludeProjectTitle>False</IncludeProjectTitle>\n <BoldTitles>True</BoldTitles>\n</Settings>\n<Comments>\n"
    " <SingleLineComments>3</SingleLineComments>\n <MultipleLineComments>1</MultipleLineComments>\n</Comments>\n"
    "<RelDestPath></RelDestPath>\n<Book>\n <HomeChapter></HomeChapter>\n <IndexTitle></IndexTitle>\n"
    " <IndexText></IndexText>\n <Copyright></Copyright>\n <NumberOfChapters>0</NumberOfChapters>\n</Book>\n"
    "</TessarelProject>\n"));

TEST_F(ProjectFileTest, emptyProject_writesEveryLineInOrderAndEndsWithTwoLineEnds) {
    ProjectModel project = newProject(0);
    ASSERT_TRUE(SaveProject(ui, project, projectPath(), &ui));
    EXPECT_EQ(ReadBytes(projectPath()), (kEmptyProject + u"\r\n"_s).toUtf8());
    EXPECT_EQ(ui.busyShows, 1);
    EXPECT_EQ(ui.busyMax, 1);
    EXPECT_FALSE(ui.busyShown);
}

TEST_F(ProjectFileTest, loadThenSave_reproducesTheFileByteForByte) {
    ProjectModel project = newProject(3);
    Settings& s = project.settings;
    s.IndexTitle = u"Démo <&> ☃"_s;
    // A build leaves both in their HTML form; the file keeps the plain one.
    s.IndexText = HtmlFormOf(u"First line\r\nSecond line"_s);
    s.Copyright = HtmlFormOf(u"(C) 2024"_s);
    s.RelDestPath = u"html\\"_s;
    s.HomeChapter = u"file1.c"_s;
    s.SortSections = true;
    s.Overview = ChapterOverview::None;
    SetSingleLineCommentBits(s.comments, 67);
    ASSERT_TRUE(SaveProject(ui, project, projectPath()));
    const QByteArray written = ReadBytes(projectPath());
    EXPECT_TRUE(written.contains("<IndexText>First line\r\nSecond line</IndexText>\r\n"));
    EXPECT_TRUE(written.contains(" <Copyright>(c) 2024</Copyright>\r\n"));
    EXPECT_TRUE(written.contains(" <SingleLineComments>67</SingleLineComments>\r\n"));
    EXPECT_TRUE(written.contains("<NumberOfChapters>3</NumberOfChapters>\r\n<C><N>file0.c</N><R>..\\src\\</R></C>"));

    ProjectModel loaded;
    ClearProject(loaded);
    ASSERT_EQ(LoadProject(ui, loaded, projectPath()), LoadOutcome::Loaded);
    EXPECT_EQ(loaded.settings, project.settings);
    EXPECT_EQ(loaded.chapterCount(), 3);
    EXPECT_EQ(loaded.Chapters[2].Name, u"file2.c");
    EXPECT_FALSE(IsProjectModified(loaded));
    ASSERT_TRUE(SaveProject(ui, loaded, projectPath()));
    EXPECT_EQ(ReadBytes(projectPath()), written);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ProjectFileTest, searchSetting_isOffWhenAbsentAndWrittenOnlyWhenOn) {
    // A file from before the setting: it reads as off even over a model that
    // had it on, and saves back to the same bytes.
    writeProjectFile(kEmptyProject);
    const QByteArray old = ReadBytes(projectPath());
    ProjectModel project = newProject(0);
    project.settings.IncludeSearch = true;
    ASSERT_EQ(LoadProject(ui, project, projectPath()), LoadOutcome::Loaded);
    EXPECT_FALSE(project.settings.IncludeSearch);
    EXPECT_FALSE(IsProjectModified(project));
    ASSERT_TRUE(SaveProject(ui, project, projectPath()));
    EXPECT_EQ(ReadBytes(projectPath()), old);

    project.settings.IncludeSearch = true;
    EXPECT_TRUE(IsProjectModified(project));
    ASSERT_TRUE(SaveProject(ui, project, projectPath()));
    const QString on = QString::fromUtf8(ReadBytes(projectPath()));
    QString expected = kEmptyProject;
    expected.replace(u" <BoldTitles>True</BoldTitles>\r\n"_s,
                     u" <BoldTitles>True</BoldTitles>\r\n <IncludeSearch>True</IncludeSearch>\r\n"_s);
    EXPECT_EQ(on, expected + u"\r\n"_s);
    ProjectModel loaded = newProject(0);
    ASSERT_EQ(LoadProject(ui, loaded, projectPath()), LoadOutcome::Loaded);
    EXPECT_TRUE(loaded.settings.IncludeSearch);
    EXPECT_FALSE(IsProjectModified(loaded));

    // Written by hand as False, it reads as off; the value must be a truth value.
    writeProjectFile(savedTextWith(u" <BoldTitles>True</BoldTitles>\r\n"_s,
                                   u" <BoldTitles>True</BoldTitles>\r\n <IncludeSearch>False</IncludeSearch>\r\n"_s));
    ASSERT_EQ(LoadProject(ui, loaded, projectPath()), LoadOutcome::Loaded);
    EXPECT_FALSE(loaded.settings.IncludeSearch);
    writeProjectFile(savedTextWith(u" <BoldTitles>True</BoldTitles>\r\n"_s,
                                   u" <BoldTitles>True</BoldTitles>\r\n <IncludeSearch>maybe</IncludeSearch>\r\n"_s));
    EXPECT_EQ(LoadProject(ui, loaded, projectPath()), LoadOutcome::Refused);
    EXPECT_TRUE(ui.messages.back().text.contains(u"<IncludeSearch>"_s));
}

TEST_F(ProjectFileTest, bookLayout_isWrittenLastInSettingsOnlyWhenModern) {
    // A file from before the setting reads as Frames over a model set to Modern, and saves unchanged.
    writeProjectFile(kEmptyProject);
    const QByteArray old = ReadBytes(projectPath());
    ProjectModel project = newProject(0);
    project.settings.ModernLayout = true;
    ASSERT_EQ(LoadProject(ui, project, projectPath()), LoadOutcome::Loaded);
    EXPECT_FALSE(project.settings.ModernLayout);
    ASSERT_TRUE(SaveProject(ui, project, projectPath()));
    EXPECT_EQ(ReadBytes(projectPath()), old);

    // Modern goes after Include Search, the last of the group, indented like it.
    project.settings.IncludeSearch = true;
    project.settings.ModernLayout = true;
    EXPECT_TRUE(IsProjectModified(project));
    ASSERT_TRUE(SaveProject(ui, project, projectPath()));
    QString expected = kEmptyProject;
    expected.replace(u" <BoldTitles>True</BoldTitles>\r\n"_s,
                     u" <BoldTitles>True</BoldTitles>\r\n <IncludeSearch>True</IncludeSearch>\r\n"
                     u" <BookLayout>Modern</BookLayout>\r\n"_s);
    EXPECT_EQ(QString::fromUtf8(ReadBytes(projectPath())), expected + u"\r\n"_s);
    ProjectModel loaded = newProject(0);
    ASSERT_EQ(LoadProject(ui, loaded, projectPath()), LoadOutcome::Loaded);
    EXPECT_TRUE(loaded.settings.ModernLayout);
    EXPECT_FALSE(IsProjectModified(loaded));

    // Written by hand: "Frames" is the other layout, any letter case; anything else is refused.
    const QString bold = u" <BoldTitles>True</BoldTitles>\r\n"_s;
    writeProjectFile(savedTextWith(bold, bold + u" <BookLayout>frames</BookLayout>\r\n"_s));
    ASSERT_EQ(LoadProject(ui, loaded, projectPath()), LoadOutcome::Loaded);
    EXPECT_FALSE(loaded.settings.ModernLayout);
    writeProjectFile(savedTextWith(bold, bold + u" <BookLayout>MODERN</BookLayout>\r\n"_s));
    ASSERT_EQ(LoadProject(ui, loaded, projectPath()), LoadOutcome::Loaded);
    EXPECT_TRUE(loaded.settings.ModernLayout);
    writeProjectFile(savedTextWith(bold, bold + u" <BookLayout>True</BookLayout>\r\n"_s));
    EXPECT_EQ(LoadProject(ui, loaded, projectPath()), LoadOutcome::Refused);
    EXPECT_TRUE(ui.messages.back().text.contains(u"<BookLayout>"_s));
}

TEST_F(ProjectFileTest, modifiedTest_followsEveryChange) {
    ProjectModel project = newProject(3);
    ASSERT_TRUE(SaveProject(ui, project, projectPath()));
    EXPECT_FALSE(IsProjectModified(project));

    ProjectModel changed = project;
    changed.settings.Collapsible = true;
    EXPECT_TRUE(IsProjectModified(changed));

    changed = project;
    changed.Chapters.push_back({u"extra.c"_s, {}});
    EXPECT_TRUE(IsProjectModified(changed));

    changed = project;
    std::swap(changed.Chapters[0], changed.Chapters[1]);
    EXPECT_TRUE(IsProjectModified(changed));

    WriteBytes(projectPath(), "x");
    EXPECT_TRUE(IsProjectModified(project));
    QFile::remove(projectPath());
    EXPECT_FALSE(IsProjectModified(project));
}

TEST_F(ProjectFileTest, load_readsStyleNumbersBooleansAndKeepsAbsentSettings) {
    QString text = savedTextWith(u" <SingleLineComments>3</SingleLineComments>"_s,
                                 u" <SingleLineComments>67</SingleLineComments>"_s);
    text.replace(u" <SortSections>False</SortSections>\r\n"_s, QString());
    text.replace(u"<Api>True</Api>"_s, u"<Api>fALSE</Api>"_s);
    text.replace(u"<Links>True</Links>"_s, u"<Links>0</Links>"_s);
    text.replace(u"<Collapsible>False</Collapsible>"_s, u"<Collapsible>-1</Collapsible>"_s);
    writeProjectFile(text);

    ProjectModel project;
    project.settings.SortSections = true;
    ASSERT_EQ(LoadProject(ui, project, projectPath()), LoadOutcome::Loaded);
    const CommentStyles& c = project.settings.comments;
    EXPECT_TRUE(c.doubleSlash && c.apostrophe && c.exclamation);
    EXPECT_FALSE(c.hash || c.semicolon || c.dash || c.letterC);
    EXPECT_TRUE(project.settings.SortSections);
    EXPECT_FALSE(project.settings.Api);
    EXPECT_FALSE(project.settings.Links);
    EXPECT_TRUE(project.settings.Collapsible);

    // Without a Comments group the styles go back to their reset values.
    writeProjectFile(u"<TessarelProject>\r\n</TessarelProject>"_s);
    SetSingleLineCommentBits(project.settings.comments, 127);
    SetMultipleLineCommentBits(project.settings.comments, 6);
    ASSERT_EQ(LoadProject(ui, project, projectPath()), LoadOutcome::Loaded);
    EXPECT_EQ(project.settings.comments, CommentStyles{});
}

TEST_F(ProjectFileTest, load_countsOnlyTheChaptersPresent) {
    // Files listed beyond the count stay out of the project, and are counted for the build to tell.
    writeProjectFile(savedTextWith(u"<NumberOfChapters>2<"_s, u"<NumberOfChapters>1<"_s));
    ProjectModel project;
    ASSERT_EQ(LoadProject(ui, project, projectPath()), LoadOutcome::Loaded);
    EXPECT_EQ(project.chapterCount(), 1);
    EXPECT_EQ(project.UncountedChapters, 1);
    ASSERT_TRUE(SaveProject(ui, project, projectPath()));  // which keeps only the counted one
    EXPECT_EQ(project.UncountedChapters, 0);
    ASSERT_EQ(LoadProject(ui, project, projectPath()), LoadOutcome::Loaded);
    EXPECT_EQ(project.UncountedChapters, 0);

    writeProjectFile(savedTextWith(u"<NumberOfChapters>2<"_s, u"<NumberOfChapters>9<"_s));
    ASSERT_EQ(LoadProject(ui, project, projectPath()), LoadOutcome::Loaded);
    EXPECT_EQ(project.chapterCount(), 2);
    EXPECT_EQ(project.UncountedChapters, 0);
    EXPECT_EQ(project.Chapters[1].Name, u"file1.c");
    EXPECT_EQ(project.resolve(project.Chapters[1].RelPath),
              project.ProjectFolder + u".."_s + PathSeparator() + u"src"_s + PathSeparator());
    // A save writes the count of the files it lists.
    ASSERT_TRUE(SaveProject(ui, project, projectPath()));
    EXPECT_TRUE(ReadBytes(projectPath()).contains("<NumberOfChapters>2</NumberOfChapters>\r\n<C>"));

    // Without a count, the open project's stands, as for any absent element.
    writeProjectFile(savedTextWith(u" <NumberOfChapters>2</NumberOfChapters>\r\n"_s, QString()));
    project.Chapters.resize(1);
    ASSERT_EQ(LoadProject(ui, project, projectPath()), LoadOutcome::Loaded);
    EXPECT_EQ(project.chapterCount(), 1);
    EXPECT_EQ(project.UncountedChapters, 1);
    ProjectModel fresh;
    ASSERT_EQ(LoadProject(ui, fresh, projectPath()), LoadOutcome::Loaded);
    EXPECT_EQ(fresh.chapterCount(), 0);
    EXPECT_EQ(fresh.UncountedChapters, 2);
}

TEST_F(ProjectFileTest, unbalancedSetting_isToldAndLeftUnchanged) {
    // The earlier-read BoldTitles must not lend its value to Copyright.
    writeProjectFile(savedTextWith(u" <Copyright></Copyright>"_s, u" <Copyright>oops"_s));
    ProjectModel project;
    project.settings.Copyright = u"kept"_s;
    ASSERT_EQ(LoadProject(ui, project, projectPath()), LoadOutcome::Loaded);
    EXPECT_EQ(project.settings.Copyright, u"kept");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, u"XML file error");
    EXPECT_EQ(ui.messages[0].text, u"All tags must open and close properly.");
}

struct BadFile {
    const char* name;
    QByteArray bytes;
    QString expectedTitle;
    const char* mentions;
};

const QString kFileError = u"Project file error"_s;
const QString kTooMany = u"Invalid number of project files"_s;

TEST_F(ProjectFileTest, badFiles_areRefusedAndLeaveTheOpenProjectIntact) {
    const auto saved = [&](const char* line, const QString& replacement) {
        return savedTextWith(QString::fromUtf8(line), replacement).toUtf8();
    };
    const std::vector<BadFile> cases = {
        {"boolean that does not convert", saved("<EmbedStyle>False<", u"<EmbedStyle>maybe<"_s), kFileError,
         "<EmbedStyle>"},
        {"number out of 16-bit range", saved("<MultipleLineComments>1<", u"<MultipleLineComments>40000<"_s), kFileError,
         "<MultipleLineComments>"},
        {"NumberOfChapters above 4000", saved("<NumberOfChapters>2<", u"<NumberOfChapters>4001<"_s), kTooMany, "4000"},
        {"negative NumberOfChapters", saved("<NumberOfChapters>2<", u"<NumberOfChapters>-1<"_s), kFileError,
         "<NumberOfChapters>"},
        {"more than 4000 chapter lines",
         saved("</Book>", u"<C><N>x</N><R></R></C>\r\n"_s.repeated(3999) + u"</Book>"_s), kTooMany, "4000"},
        {"value holding another element",
         saved("<IndexTitle></IndexTitle>", u"<IndexTitle><Style>x</Style></IndexTitle>"_s), kFileError, "<Style>"},
        {"chapter name in a value", saved("<IndexText></IndexText>", u"<IndexText><N>x</N></IndexText>"_s), kFileError,
         "damaged"},
        {"unbalanced chapter list", saved("<N>file1.c</N>", u"<N>file1.c"_s), kFileError, "damaged"},
        // Half an element, or one in other letters, would be read back wrongly after a save.
        {"value holding an unclosed element",
         saved("<HomeChapter></HomeChapter>", u"<HomeChapter>a <IndexTitle>b</HomeChapter>"_s), kFileError,
         "<HomeChapter>"},
        {"value holding an element in lower case",
         saved("<IndexText></IndexText>", u"<IndexText><copyright>x</copyright></IndexText>"_s), kFileError,
         "<IndexText>"},
        {"chapter name holding a folder tag", saved("<N>file1.c</N>", u"<N>file1.c<r></N>"_s), kFileError, "damaged"},
        {"binary garbage", QByteArray("\x00\x01\xff\xfe<\x80>\x00", 8), kFileError, "not a Tessarel project"},
    };
    for (const BadFile& bad : cases) {
        SCOPED_TRACE(bad.name);
        WriteBytes(projectPath(), bad.bytes);
        ProjectModel project = newProject(1);
        project.ProjectPath = u"open.qdx"_s;
        const ProjectModel before = project;
        ui.messages.clear();
        EXPECT_EQ(LoadProject(ui, project, projectPath()), LoadOutcome::Refused);
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages.back().title, bad.expectedTitle);
        EXPECT_TRUE(ui.messages.back().text.contains(QString::fromUtf8(bad.mentions)))
            << ui.messages.back().text.toStdString();
        EXPECT_EQ(project.ProjectPath, before.ProjectPath);
        EXPECT_EQ(project.settings, before.settings);
        EXPECT_EQ(project.chapterCount(), 1);
        EXPECT_EQ(project.Chapters[0].Name, u"file0.c");
    }
}

TEST_F(ProjectFileTest, missingFile_isToldAndChangesNothing) {
    ProjectModel project = newProject(1);
    const QString openPath = project.ProjectPath;
    EXPECT_EQ(LoadProject(ui, project, path(u"none.qdx"_s)), LoadOutcome::NotFound);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, u"Error");
    EXPECT_EQ(ui.messages[0].text, u"Project file not found");
    EXPECT_EQ(project.ProjectPath, openPath);
}

TEST_F(ProjectFileTest, load_showsTheBusyDisplayAbove30Files) {
    for (int files : {30, 31}) {
        ProjectModel project = newProject(files);
        ASSERT_TRUE(SaveProject(ui, project, projectPath()));
        ui.busyShows = 0;
        ASSERT_EQ(LoadProject(ui, project, projectPath(), &ui), LoadOutcome::Loaded);
        EXPECT_EQ(ui.busyShows, files == 31 ? 2 : 0) << files;
        EXPECT_FALSE(ui.busyShown);
    }
    EXPECT_EQ(ui.busyTitle, u"Getting Project Parameters... (31 files)");
    EXPECT_EQ(ui.busyCurrent, u"<R> </R>");
    EXPECT_EQ(ui.busyMax, 30);
    EXPECT_EQ(ui.busyValue, 30);
}

}  // namespace
