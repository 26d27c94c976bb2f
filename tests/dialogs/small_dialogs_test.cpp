#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>

#include "app/dialogs/comment_choices.h"
#include "app/dialogs/comments_dialog.h"
#include "app/dialogs/default_page_dialog.h"
#include "app/dialogs/dest_path_dialog.h"
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
    state.blnOnTop = true;
    const std::pair<QString, QString> expected[] = {
        {u"Settings"_s, u"visual_settings.txt.htm"_s},
        {u"Files"_s, u"visual_files.txt.htm"_s},
        {u"Documents Destination Path"_s, u"visual_dest_dir.txt.htm"_s},
        {u"Default Chapter"_s, u"visual_default_chapter.txt.htm"_s},
        {u"Comments"_s, u"comments.txt.htm"_s},
    };
    std::unique_ptr<ModalDialog> dialogs[] = {
        std::make_unique<frmProperties>(nullptr, ws, state), std::make_unique<frmAddFiles>(nullptr, ws, state),
        std::make_unique<frmDestPath>(nullptr, ws, state), std::make_unique<frmDefaultPage>(nullptr, ws, state),
        std::make_unique<frmComments>(nullptr, ws, state)};
    for (size_t i = 0; i < std::size(dialogs); ++i) {
        ModalDialog& dialog = *dialogs[i];
        EXPECT_EQ(dialog.windowTitle(), expected[i].first);
        EXPECT_TRUE(dialog.isModal());
        EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        dialog.findChild<QPushButton*>(u"cmdHelp"_s)->click();
        EXPECT_EQ(te.ui.helpTopics.back(), te.programFolder() + u"help.chm::/"_s + expected[i].second);
    }
}

TEST_F(SmallDialogsTest, destinationIsStoredRelativeToTheProject) {
    openProject();
    frmDestPath fresh(nullptr, ws, state);
    EXPECT_EQ(fresh.Dir1->path(), QDir::toNativeSeparators(te.path(u"proj"_s)));
    fresh.cmdOK->click();
    EXPECT_EQ(ws.project.settings.RelDestPath, QString());

    QDir().mkpath(te.path(u"proj/out"_s));
    QDir().mkpath(te.path(u"docs"_s));
    const std::pair<QString, QString> cases[] = {{u"proj/out"_s, u"out/"_s}, {u"docs"_s, u"../docs/"_s}};
    for (const auto& [folder, relative] : cases) {
        frmDestPath dialog(nullptr, ws, state);
        ASSERT_TRUE(dialog.Dir1->setPath(te.path(folder)));
        dialog.cmdOK->click();
        EXPECT_EQ(ws.project.settings.RelDestPath, relative);
        EXPECT_FALSE(state.mbDialogCancel);
    }
    // It opens where it was left; Cancel keeps it.
    frmDestPath again(nullptr, ws, state);
    EXPECT_EQ(again.Dir1->path(), QDir::toNativeSeparators(te.path(u"docs"_s)));
    ASSERT_TRUE(again.Dir1->setPath(te.path(u"proj"_s)));
    again.cmdCancel->click();
    EXPECT_TRUE(state.mbDialogCancel);
    EXPECT_EQ(ws.project.settings.RelDestPath, u"../docs/"_s);
}

TEST_F(SmallDialogsTest, defaultChapterListSortsAndChooses) {
    openProject();
    setChapters({{u"b.c"_s, u"x/"_s}, {u"A.c"_s, u"z/"_s}, {u"b.c"_s, u"y/"_s}, {u"c.c"_s, u"a/"_s}});
    ws.project.settings.HomeChapter = u"c.c"_s;
    frmDefaultPage dialog(nullptr, ws, state);
    auto column = [&](int c) {
        QStringList texts;
        for (int i = 0; i < dialog.ListView1->topLevelItemCount(); ++i) {
            texts << dialog.ListView1->topLevelItem(i)->text(c);
        }
        return texts;
    };
    EXPECT_EQ(dialog.lblDefaultPage->text(), u"c.c"_s);
    EXPECT_EQ(column(0), (QStringList{u"A.c"_s, u"b.c"_s, u"b.c"_s, u"c.c"_s}));
    dialog.ListView1_ColumnClick(0);
    EXPECT_EQ(column(0), (QStringList{u"c.c"_s, u"b.c"_s, u"b.c"_s, u"A.c"_s}));
    dialog.ListView1_ColumnClick(1);
    EXPECT_EQ(column(1), (QStringList{u"a/"_s, u"x/"_s, u"y/"_s, u"z/"_s}));
    dialog.ListView1_ColumnClick(1);
    EXPECT_EQ(column(1), (QStringList{u"z/"_s, u"y/"_s, u"x/"_s, u"a/"_s}));

    // Either of two chapters with the same name chooses that name.
    dialog.ListView1_ItemClick(dialog.ListView1->topLevelItem(1));
    EXPECT_EQ(dialog.lblDefaultPage->text(), u"b.c"_s);
    dialog.cmdOK->click();
    EXPECT_EQ(ws.project.settings.HomeChapter, u"b.c"_s);

    frmDefaultPage cleared(nullptr, ws, state);
    cleared.cmdClear->click();
    cleared.cmdCancel->click();
    EXPECT_EQ(ws.project.settings.HomeChapter, u"b.c"_s);
    frmDefaultPage clearedOk(nullptr, ws, state);
    clearedOk.cmdClear->click();
    clearedOk.cmdOK->click();
    EXPECT_EQ(ws.project.settings.HomeChapter, QString());
}

TEST_F(SmallDialogsTest, relativePathColumnNarrowsAboveFourteenChapters) {
    openProject();
    setChapters(std::vector<std::pair<QString, QString>>(14, {u"a.c"_s, u"src/"_s}));
    const int fourteen = frmDefaultPage(nullptr, ws, state).ListView1->columnWidth(1);
    setChapters(std::vector<std::pair<QString, QString>>(15, {u"a.c"_s, u"src/"_s}));
    EXPECT_LT(frmDefaultPage(nullptr, ws, state).ListView1->columnWidth(1), fourteen);
}

TEST_F(SmallDialogsTest, commentStylesWithoutAProjectLiveInThePreferences) {
    frmComments dialog(nullptr, ws, state);
    QStringList ticked;
    for (const CommentStyleBox& entry : kCommentStyleBoxes) {
        QCheckBox* box = dialog.box(QString::fromUtf16(entry.name));
        ASSERT_NE(box, nullptr);
        if (box->isChecked()) {
            ticked << box->objectName();
        }
    }
    EXPECT_EQ(ticked, (QStringList{u"chkS1"_s, u"chkS2"_s, u"chkM1"_s}));
    dialog.box(u"chkS2"_s)->setChecked(false);
    dialog.box(u"chkM4"_s)->setChecked(true);
    const CommentStyles projectBefore = ws.project.settings.comments;
    dialog.cmdOK->click();

    const Preferences& prefs = *te.preferences;
    EXPECT_EQ(prefs.ReadPreference(prefs::kSingleFile, u"chkS1"_s, u"unset"_s), u" 1"_s);
    EXPECT_EQ(prefs.ReadPreference(prefs::kSingleFile, u"chkS2"_s, u"unset"_s), u" 0"_s);
    EXPECT_EQ(prefs.ReadPreference(prefs::kSingleFile, u"chkM4"_s, u"unset"_s), u" 1"_s);
    EXPECT_EQ(ws.project.settings.comments, projectBefore);
}

TEST_F(SmallDialogsTest, commentStylesOfAProjectLiveInTheProject) {
    openProject();
    SetSingleLineCommentBits(ws.project.settings.comments, 4 | 64);
    SetMultipleLineCommentBits(ws.project.settings.comments, 2);
    frmComments dialog(nullptr, ws, state);
    EXPECT_TRUE(dialog.box(u"chkS4"_s)->isChecked());
    EXPECT_TRUE(dialog.box(u"chkS64"_s)->isChecked());
    EXPECT_FALSE(dialog.box(u"chkS1"_s)->isChecked());
    EXPECT_TRUE(dialog.box(u"chkM2"_s)->isChecked());
    dialog.box(u"chkS1"_s)->setChecked(true);
    dialog.cmdOK->click();
    EXPECT_EQ(SingleLineCommentBits(ws.project.settings.comments), 1 | 4 | 64);
    EXPECT_EQ(te.preferences->ReadPreference(prefs::kSingleFile, u"chkS1"_s, u"unset"_s), u"unset"_s);

    frmComments cancelled(nullptr, ws, state);
    cancelled.box(u"chkS4"_s)->setChecked(false);
    cancelled.cmdCancel->click();
    EXPECT_TRUE(state.mbDialogCancel);
    EXPECT_EQ(SingleLineCommentBits(ws.project.settings.comments), 1 | 4 | 64);
}

}  // namespace
}  // namespace tessarel
