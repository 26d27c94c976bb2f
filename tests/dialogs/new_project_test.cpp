#include "app/dialogs/comment_styles_dialog.h"
#include "app/dialogs/default_chapter_dialog.h"
#include "app/dialogs/destination_dialog.h"
#include "app/dialogs/files_dialog.h"
#include "app/dialogs/folder_widgets.h"
#include "app/dialogs/project_dialogs.h"
#include "app/dialogs/settings_dialog.h"
#include "app/main_commands.h"
#include "dialogs_testing.h"
#include "project/project_file.h"
#include "support/paths.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;

/// The main window as far as the new-project command needs it: the real
/// dialogs, and a save dialog that names the project file.
class DialogsView : public MainView, public FileDialogs {
public:
    DialogsView(Workspace& workspace, MainWindowState& state) : ws_(workspace), state_(state) {}
    void setCaption(const QString&) override {}
    void setStatusPanel(int panel, const QString& text) override {
        if (panel == 1) {
            stylePanel = text;
        }
    }
    void commandsChanged() override {}
    void recentFilesChanged() override {}
    void showPage(const QString&) override {}
    bool showDialog(ProjectDialog dialog) override {
        switch (dialog) {
        case ProjectDialog::Files:
            return ShowFilesDialog(nullptr, ws_, state_);
        case ProjectDialog::Destination:
            return ShowDestinationDialog(nullptr, ws_, state_);
        case ProjectDialog::Settings:
            return ShowSettingsDialog(nullptr, ws_, state_);
        case ProjectDialog::DefaultChapter:
            return ShowDefaultChapterDialog(nullptr, ws_, state_);
        case ProjectDialog::CommentStyles:
            return ShowCommentStylesDialog(nullptr, ws_, state_);
        }
        return false;
    }
    void showAbout() override {}
    void processEvents() override {}
    void stopBrowser() override {}
    void unloadMainWindow() override {}
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return projectPath; }

    QString projectPath;
    QString stylePanel;

private:
    Workspace& ws_;
    MainWindowState& state_;
};

class NewProjectTest : public ::testing::Test, protected testing::DialogFixture {
protected:
    DialogsView view{ws, state};
    MainCommands commands{ws, state, view, view, frontEnd};

    void SetUp() override {
        view.projectPath = te.path(u"book/manual.qdx"_s);
        QDir().mkpath(te.path(u"book/html"_s));
        write(u"book/src/first.c"_s, u"/*\n First: the first chapter.\n*/\nint first;\n"_s);
        write(u"lib/second.c"_s, u"/*\n Second: the second chapter.\n*/\nint second;\n"_s);
    }

    template <typename Dialog>
    static Dialog& as(QDialog* dialog) {
        auto* typed = qobject_cast<Dialog*>(dialog);
        EXPECT_NE(typed, nullptr);
        return *typed;
    }
    static void addAllFrom(QDialog* dialog, const QStringList& folders) {
        auto& files = as<FilesDialog>(dialog);
        for (const QString& folder : folders) {
            files.folderTree->setPath(folder);
            files.changeFolder(files.folderTree->path());
            files.addAllButton->click();
        }
        files.okButton->click();
    }
};

TEST_F(NewProjectTest, runsTheFiveDialogsInOrderThenAsksToBuild) {
    te.ui.answers = {MessageAnswer::Yes};
    const QString src = te.path(u"book/src"_s);
    const QString lib = te.path(u"lib"_s);
    const QString html = te.path(u"book/html"_s);
    testing::ModalScript script({
        [&](QDialog* d) {
            addAllFrom(d, {src, lib});
        },
        [&](QDialog* d) {
            auto& dest = as<DestinationDialog>(d);
            dest.folderTree->setPath(html);
            dest.okButton->click();
        },
        [&](QDialog* d) {
            auto& settings = as<SettingsDialog>(d);
            settings.projectTitleEdit->setText(u"Manual"_s);
            settings.okButton->click();
        },
        [&](QDialog* d) {
            auto& home = as<DefaultChapterDialog>(d);
            home.chooseChapter(home.chapterList->topLevelItem(1));
            home.okButton->click();
        },
        [&](QDialog* d) {
            auto& comments = as<CommentStylesDialog>(d);
            comments.box(&CommentStyles::hash)->setChecked(true);
            comments.okButton->click();
        },
    });
    commands.newProject();

    EXPECT_EQ(script.titles, (QStringList{u"Files"_s, u"Documents Destination Path"_s, u"Settings"_s,
                                          u"Default Chapter"_s, u"Comments"_s}));
    ASSERT_FALSE(te.ui.messages.empty());
    EXPECT_EQ(te.ui.messages.front().text, u"Build Project?"_s);

    // What the dialogs chose was saved before the question.
    ProjectModel saved;
    testing::RecordingUserInterface quiet;
    ASSERT_EQ(LoadProject(quiet, saved, view.projectPath), LoadOutcome::Loaded);
    ASSERT_EQ(saved.chapterCount(), 2);
    EXPECT_EQ(saved.Chapters[0].RelPath, u"src/"_s);
    EXPECT_EQ(saved.Chapters[1].RelPath, u"../lib/"_s);
    EXPECT_EQ(saved.settings.RelDestPath, u"html/"_s);
    EXPECT_EQ(saved.settings.IndexTitle, u"Manual"_s);
    EXPECT_EQ(saved.settings.HomeChapter, u"second.c"_s);
    EXPECT_TRUE(saved.settings.comments.hash);
    // New books have search; the book built has its page.
    EXPECT_TRUE(saved.settings.IncludeSearch);
    // And the modern layout, whose book has its tree data and no frames.
    EXPECT_TRUE(saved.settings.ModernLayout);
    EXPECT_EQ(view.stylePanel, u"standard_babyblue"_s);
    EXPECT_EQ(commands.recent.slot(0), view.projectPath);
    EXPECT_FALSE(state.dialogCancelled);
    // Yes built the book.
    EXPECT_TRUE(FileExists(html + u"/index.htm"_s));
    EXPECT_TRUE(FileExists(html + u"/second.c.htm"_s));
    EXPECT_TRUE(FileExists(html + u"/_search.htm"_s));
    EXPECT_TRUE(FileExists(html + u"/_book_data.js"_s));
    EXPECT_FALSE(FileExists(html + u"/standard_babyblue.css"_s));
}

TEST_F(NewProjectTest, aCancelledDialogEndsTheSequence) {
    const QString src = te.path(u"book/src"_s);
    testing::ModalScript script({
        [&](QDialog* d) { addAllFrom(d, {src}); },
        [&](QDialog* d) { d->reject(); },  // Escape or the close box counts as Cancel
    });
    commands.newProject();

    EXPECT_EQ(script.titles, (QStringList{u"Files"_s, u"Documents Destination Path"_s}));
    EXPECT_TRUE(state.dialogCancelled);
    EXPECT_TRUE(te.ui.messages.empty());  // no build question
    EXPECT_TRUE(ws.project.isOpen());
    EXPECT_EQ(ws.project.chapterCount(), 1);
    EXPECT_FALSE(FileExists(te.path(u"book/index.htm"_s)));
    // A new project's book has a folder of its own, not the project's.
    EXPECT_EQ(ws.project.settings.RelDestPath, u"book/"_s);
}

}  // namespace
}  // namespace tessarel
