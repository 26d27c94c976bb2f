// Saving the project file or the window state must never leave a damaged
// file where a good one stood. The save is made to fail by taking the owner's
// write permission from the file, which stops root as well as any user.
#include "project/project_file.h"
#include "project/project_model.h"
#include "project/window_state.h"
#include "support/paths.h"
#include "support/testing.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace tessarel::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(SafeSave, aProjectSaveThatFailsKeepsTheSavedFileAndStaysModified) {
    TestEnvironment t;
    ProjectModel project;
    ClearProject(project);
    project.ProjectPath = t.path(u"demo.qdx"_s);
    project.ProjectFolder = FolderOf(project.ProjectPath);
    project.ProjectFileName = u"demo.qdx"_s;
    project.Chapters[0].Name = u"main.c"_s;
    project.NumberOfChapters = 1;
    ASSERT_TRUE(SaveProject(t.ui, project, project.ProjectPath));
    const QByteArray saved = ReadBytes(project.ProjectPath);

    project.Chapters[1].Name = u"more.c"_s;
    project.NumberOfChapters = 2;
    ASSERT_TRUE(QFile::setPermissions(project.ProjectPath, QFileDevice::ReadOwner));
    EXPECT_FALSE(SaveProject(t.ui, project, project.ProjectPath));

    EXPECT_EQ(ReadBytes(project.ProjectPath), saved);
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(t.ui.messages[0].title, u"Read only file"_s);
    // The change is still unsaved, so leaving would still ask about it.
    EXPECT_TRUE(IsProjectModified(t.ui, project));
    ProjectModel reloaded;
    ClearProject(reloaded);
    ASSERT_EQ(LoadProject(t.ui, reloaded, project.ProjectPath), LoadOutcome::Loaded);
    EXPECT_EQ(reloaded.NumberOfChapters, 1);
}

TEST(SafeSave, aWindowStateThatCannotBeWrittenKeepsTheOldOne) {
    TestEnvironment t;
    const QString path = t.dataFolder() + kWindowStateFileName;
    ASSERT_TRUE(WriteWindowStateFile(t.ui, path, WindowState{kStateMaximized, 10, 20, 3000, 2000}));
    const QByteArray saved = ReadBytes(path);

    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    EXPECT_FALSE(WriteWindowStateFile(t.ui, path, WindowState{kStateNormal, 1, 2, 3, 4}));
    EXPECT_EQ(ReadBytes(path), saved);
    const RestoredWindowState restored = ReadWindowStateFile(path);
    EXPECT_TRUE(restored.maximize);
    EXPECT_EQ(restored.width, 3000);
}

}  // namespace
}  // namespace tessarel::testing
