#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>

#include "app/dialogs/comment_style_choices.h"
#include "app/dialogs/comment_styles_dialog.h"
#include "app/dialogs/default_chapter_dialog.h"
#include "app/dialogs/destination_dialog.h"
#include "app/dialogs/file_browsing.h"
#include "app/dialogs/files_dialog.h"
#include "app/dialogs/folder_widgets.h"
#include "app/dialogs/settings_dialog.h"
#include "dialogs_testing.h"
#include "support/preferences.h"

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;

class SmallDialogsTest : public ::testing::Test, protected testing::DialogFixture {};

TEST_F(SmallDialogsTest, everyDialogIsModalTopmostAndOpensItsHelpTopic) {
    openProject();
    state.alwaysOnTop = true;
    const std::pair<QString, QString> expected[] = {
        {u"Settings"_s, u"visual_settings.txt.htm"_s},
        {u"Files"_s, u"visual_files.txt.htm"_s},
        {u"Documents Destination Path"_s, u"visual_dest_dir.txt.htm"_s},
        {u"Default Chapter"_s, u"visual_default_chapter.txt.htm"_s},
        {u"Comments"_s, u"comments.txt.htm"_s},
    };
    std::unique_ptr<ModalDialog> dialogs[] = {std::make_unique<SettingsDialog>(nullptr, ws, state),
                                              std::make_unique<FilesDialog>(nullptr, ws, state),
                                              std::make_unique<DestinationDialog>(nullptr, ws, state),
                                              std::make_unique<DefaultChapterDialog>(nullptr, ws, state),
                                              std::make_unique<CommentStylesDialog>(nullptr, ws, state)};
    for (size_t i = 0; i < std::size(dialogs); ++i) {
        ModalDialog& dialog = *dialogs[i];
        EXPECT_EQ(dialog.windowTitle(), expected[i].first);
        EXPECT_TRUE(dialog.isModal());
        EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        dialog.findChild<QPushButton*>(u"helpButton"_s)->click();
        EXPECT_EQ(frontEnd.helpTopics.back(), te.programFolder() + u"help.chm::/"_s + expected[i].second);
    }
}

TEST_F(SmallDialogsTest, destinationIsStoredRelativeToTheProject) {
    openProject();
    DestinationDialog fresh(nullptr, ws, state);
    EXPECT_EQ(fresh.folderTree->path(), QDir::toNativeSeparators(te.path(u"proj"_s)));
    fresh.okButton->click();
    EXPECT_EQ(ws.project.settings.RelDestPath, QString());

    QDir().mkpath(te.path(u"proj/out"_s));
    QDir().mkpath(te.path(u"docs"_s));
    const std::pair<QString, QString> cases[] = {{u"proj/out"_s, u"out/"_s}, {u"docs"_s, u"../docs/"_s}};
    for (const auto& [folder, relative] : cases) {
        DestinationDialog dialog(nullptr, ws, state);
        ASSERT_TRUE(dialog.folderTree->setPath(te.path(folder)));
        dialog.okButton->click();
        EXPECT_EQ(ws.project.settings.RelDestPath, relative);
        EXPECT_FALSE(state.dialogCancelled);
    }
    // It opens where it was left; Cancel keeps it.
    DestinationDialog again(nullptr, ws, state);
    EXPECT_EQ(again.folderTree->path(), QDir::toNativeSeparators(te.path(u"docs"_s)));
    ASSERT_TRUE(again.folderTree->setPath(te.path(u"proj"_s)));
    again.cancelButton->click();
    EXPECT_TRUE(state.dialogCancelled);
    EXPECT_EQ(ws.project.settings.RelDestPath, u"../docs/"_s);
}

TEST_F(SmallDialogsTest, destinationOpensNearTheProjectNeverInTheLaunchFolder) {
    openProject();
    const QString launch = te.path(u"launch"_s);
    QDir().mkpath(launch);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(launch);
    const QString project = QDir::toNativeSeparators(te.path(u"proj"_s));

    // A destination not built yet opens on its nearest existing parent and is
    // offered in the path box.
    const std::pair<QString, QString> missing[] = {{u"doc/html/"_s, project},
                                                   {u"../launch/no/such/"_s, QDir::toNativeSeparators(launch)}};
    for (const auto& [relative, shown] : missing) {
        ws.project.settings.RelDestPath = relative;
        DestinationDialog dialog(nullptr, ws, state);
        EXPECT_EQ(dialog.folderTree->path(), shown) << relative.toStdString();
        EXPECT_EQ(dialog.pathBox->text(), QDir::toNativeSeparators(QDir::cleanPath(te.path(u"proj/"_s) + relative)));
    }
    // Choosing another folder drops the offer; OK alone keeps it and makes it.
    ws.project.settings.RelDestPath = u"book/"_s;
    DestinationDialog elsewhere(nullptr, ws, state);
    ASSERT_TRUE(elsewhere.folderTree->setPath(launch));
    elsewhere.okButton->click();
    EXPECT_EQ(ws.project.settings.RelDestPath, u"../launch/"_s);
    EXPECT_FALSE(QFileInfo::exists(te.path(u"proj/book"_s)));
    ws.project.settings.RelDestPath = u"book/"_s;
    DestinationDialog unbuilt(nullptr, ws, state);
    unbuilt.okButton->click();
    EXPECT_EQ(ws.project.settings.RelDestPath, u"book/"_s);
    EXPECT_TRUE(QFileInfo(te.path(u"proj/book"_s)).isDir());

    // A folder made from the dialog is opened and chosen.
    ws.project.settings.RelDestPath.clear();
    DestinationDialog making(nullptr, ws, state);
    EXPECT_TRUE(making.createFolder(u"doc"_s));
    EXPECT_TRUE(QFileInfo(te.path(u"proj/doc"_s)).isDir());
    making.okButton->click();
    EXPECT_EQ(ws.project.settings.RelDestPath, u"doc/"_s);
    DestinationDialog refused(nullptr, ws, state);
    EXPECT_FALSE(refused.createFolder(u"a/b"_s));
    EXPECT_FALSE(refused.createFolder(u"  "_s));
    EXPECT_EQ(te.ui.messages.size(), 2u);
    EXPECT_EQ(refused.folderTree->path(), QDir::toNativeSeparators(te.path(u"proj/doc"_s)));

    // A typed path, relative to the project, is made when missing and stored.
    DestinationDialog typing(nullptr, ws, state);
    typing.pathBox->setText(u"out/html"_s);
    typing.pathBox->setModified(true);  // as the user's typing leaves it
    typing.okButton->click();
    EXPECT_TRUE(QFileInfo(te.path(u"proj/out/html"_s)).isDir());
    EXPECT_EQ(ws.project.settings.RelDestPath, u"out/html/"_s);
    DestinationDialog typingExisting(nullptr, ws, state);
    typingExisting.pathBox->setText(te.path(u"proj"_s));
    EXPECT_TRUE(typingExisting.openTypedFolder());
    EXPECT_EQ(typingExisting.folderTree->path(), project);
    QDir::setCurrent(previous);

    EXPECT_EQ(NearestExistingFolder(te.path(u"proj/a/b/c"_s)), project);
    EXPECT_EQ(NearestExistingFolder(QString()), QString());
    EXPECT_EQ(NearestExistingFolder(u"relative/only"_s), QString());
}

TEST_F(SmallDialogsTest, defaultChapterShowsThisPlatformsFoldersAndTheCurrentChoice) {
    openProject();
    setChapters({{u"a.py"_s, u"python\\"_s}, {u"b.py"_s, u"python\\lib\\"_s}, {u"c.c"_s, u"src/"_s}});
    ws.project.settings.HomeChapter = u"b.py"_s;
    DefaultChapterDialog dialog(nullptr, ws, state);
    QStringList folders;
    for (int i = 0; i < dialog.chapterList->topLevelItemCount(); ++i) {
        folders << dialog.chapterList->topLevelItem(i)->text(1);
    }
#ifdef Q_OS_WIN
    EXPECT_EQ(folders, (QStringList{u"python\\"_s, u"python\\lib\\"_s, u"src\\"_s}));
#else
    EXPECT_EQ(folders, (QStringList{u"python/"_s, u"python/lib/"_s, u"src/"_s}));
#endif
    ASSERT_NE(dialog.chapterList->currentItem(), nullptr);
    EXPECT_EQ(dialog.chapterList->currentItem()->text(0), u"b.py"_s);
    // The choice stays selected when the list is sorted again, and OK keeps the stored form.
    dialog.sortByColumn(0);
    EXPECT_EQ(dialog.chapterList->currentItem()->text(0), u"b.py"_s);
    dialog.okButton->click();
    EXPECT_EQ(ws.project.settings.HomeChapter, u"b.py"_s);
    EXPECT_EQ(ws.project.Chapters[0].RelPath, u"python\\"_s);
}

TEST_F(SmallDialogsTest, defaultChapterListSortsAndChooses) {
    openProject();
    setChapters({{u"b.c"_s, u"x/"_s}, {u"A.c"_s, u"z/"_s}, {u"b.c"_s, u"y/"_s}, {u"c.c"_s, u"a/"_s}});
    ws.project.settings.HomeChapter = u"c.c"_s;
    DefaultChapterDialog dialog(nullptr, ws, state);
    auto column = [&](int c) {
        QStringList texts;
        for (int i = 0; i < dialog.chapterList->topLevelItemCount(); ++i) {
            texts << dialog.chapterList->topLevelItem(i)->text(c);
        }
        return texts;
    };
    EXPECT_EQ(dialog.chosenChapterLabel->text(), u"c.c"_s);
    EXPECT_EQ(column(0), (QStringList{u"A.c"_s, u"b.c"_s, u"b.c"_s, u"c.c"_s}));
    dialog.sortByColumn(0);
    EXPECT_EQ(column(0), (QStringList{u"c.c"_s, u"b.c"_s, u"b.c"_s, u"A.c"_s}));
    dialog.sortByColumn(1);
    EXPECT_EQ(column(1), (QStringList{u"a/"_s, u"x/"_s, u"y/"_s, u"z/"_s}));
    dialog.sortByColumn(1);
    EXPECT_EQ(column(1), (QStringList{u"z/"_s, u"y/"_s, u"x/"_s, u"a/"_s}));

    // Either of two chapters with the same name chooses that name.
    dialog.chooseChapter(dialog.chapterList->topLevelItem(1));
    EXPECT_EQ(dialog.chosenChapterLabel->text(), u"b.c"_s);
    dialog.okButton->click();
    EXPECT_EQ(ws.project.settings.HomeChapter, u"b.c"_s);

    DefaultChapterDialog cleared(nullptr, ws, state);
    cleared.clearButton->click();
    cleared.cancelButton->click();
    EXPECT_EQ(ws.project.settings.HomeChapter, u"b.c"_s);
    DefaultChapterDialog clearedOk(nullptr, ws, state);
    clearedOk.clearButton->click();
    clearedOk.okButton->click();
    EXPECT_EQ(ws.project.settings.HomeChapter, QString());
}

TEST_F(SmallDialogsTest, commentStylesWithoutAProjectLiveInThePreferences) {
    CommentStylesDialog dialog(nullptr, ws, state);
    std::vector<bool CommentStyles::*> ticked;
    for (const CommentStyleBox& entry : kCommentStyleBoxes) {
        QCheckBox* box = dialog.box(entry.flag);
        ASSERT_NE(box, nullptr);
        if (box->isChecked()) {
            ticked.push_back(entry.flag);
        }
    }
    EXPECT_EQ(ticked, (std::vector<bool CommentStyles::*>{&CommentStyles::doubleSlash, &CommentStyles::apostrophe,
                                                          &CommentStyles::slashStar}));
    dialog.box(&CommentStyles::apostrophe)->setChecked(false);
    dialog.box(&CommentStyles::braces)->setChecked(true);
    const CommentStyles projectBefore = ws.project.settings.comments;
    dialog.okButton->click();

    CommentStyles expected;  // the defaults, as the boxes showed them
    expected.apostrophe = false;
    expected.braces = true;
    EXPECT_EQ(ReadSingleFileCommentStyles(*te.preferences), expected);
    EXPECT_EQ(ws.project.settings.comments, projectBefore);
}

TEST_F(SmallDialogsTest, commentStylesOfAProjectLiveInTheProject) {
    openProject();
    SetSingleLineCommentBits(ws.project.settings.comments, 4 | 64);
    SetMultipleLineCommentBits(ws.project.settings.comments, 2);
    const CommentStyles storedBefore = ReadSingleFileCommentStyles(*te.preferences);
    CommentStylesDialog dialog(nullptr, ws, state);
    EXPECT_TRUE(dialog.box(&CommentStyles::hash)->isChecked());
    EXPECT_TRUE(dialog.box(&CommentStyles::exclamation)->isChecked());
    EXPECT_FALSE(dialog.box(&CommentStyles::doubleSlash)->isChecked());
    EXPECT_TRUE(dialog.box(&CommentStyles::parenStar)->isChecked());
    dialog.box(&CommentStyles::doubleSlash)->setChecked(true);
    dialog.okButton->click();
    EXPECT_EQ(SingleLineCommentBits(ws.project.settings.comments), 1 | 4 | 64);
    EXPECT_EQ(ReadSingleFileCommentStyles(*te.preferences), storedBefore);

    CommentStylesDialog cancelled(nullptr, ws, state);
    cancelled.box(&CommentStyles::hash)->setChecked(false);
    cancelled.cancelButton->click();
    EXPECT_TRUE(state.dialogCancelled);
    EXPECT_EQ(SingleLineCommentBits(ws.project.settings.comments), 1 | 4 | 64);
}

}  // namespace
}  // namespace tessarel
