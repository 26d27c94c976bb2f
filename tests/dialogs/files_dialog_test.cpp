#include "app/dialogs/files_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/dialogs/file_browsing.h"
#include "app/dialogs/folder_widgets.h"
#include "book/search_index.h"
#include "dialogs_testing.h"
#include "pages/page_frame.h"

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;

QStringList Names(const ProjectFileList& list) {
    QStringList names;
    for (const ProjectFileRow& row : list.rows()) {
        names << row.name;
    }
    return names;
}

ProjectFileList ListOf(const QStringList& names, const QString& relPath = u"src/"_s) {
    ProjectFileList list;
    list.add(names, relPath);
    return list;
}

TEST(ProjectFileListTest, removeSelectsTheRowThatTakesThePlace) {
    ProjectFileList list = ListOf({u"a"_s, u"b"_s, u"c"_s, u"d"_s});
    EXPECT_FALSE(list.remove());  // nothing selected
    EXPECT_EQ(list.count(), 4);

    list.setSelection({0, 1});  // the last selected row is the one removed
    EXPECT_TRUE(list.remove());
    EXPECT_EQ(Names(list), (QStringList{u"a"_s, u"c"_s, u"d"_s}));
    EXPECT_EQ(list.selection(), QList<int>{1});

    list.setSelection({2});
    list.remove();
    EXPECT_EQ(Names(list), (QStringList{u"a"_s, u"c"_s}));
    EXPECT_EQ(list.selection(), QList<int>{1});

    list.remove();
    EXPECT_EQ(Names(list), QStringList{u"a"_s});
    EXPECT_TRUE(list.selection().isEmpty());
    EXPECT_EQ(list.caption(), u"&Project Files: 1"_s);
}

TEST(ProjectFileListTest, movesCarryTheFolderAndStopAtTheEnds) {
    ProjectFileList list;
    list.add({u"a"_s}, u"one/"_s);
    list.add({u"b"_s}, u"two/"_s);
    list.add({u"c"_s, u"c"_s}, u"three/"_s);  // the same file twice is two rows
    list.setSelection({0});
    EXPECT_FALSE(list.moveUp());
    list.setSelection({3});
    EXPECT_FALSE(list.moveDown());

    list.setSelection({1});
    EXPECT_TRUE(list.moveUp());
    EXPECT_EQ(list.selection(), QList<int>{0});
    list.setSelection({2});
    EXPECT_TRUE(list.moveDown());
    EXPECT_EQ(list.selection(), QList<int>{3});
    const std::vector<std::pair<QString, QString>> expected{
        {u"b"_s, u"two/"_s}, {u"a"_s, u"one/"_s}, {u"c"_s, u"three/"_s}, {u"c"_s, u"three/"_s}};
    ASSERT_EQ(list.rows().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(list.rows()[i].name, expected[i].first);
        EXPECT_EQ(list.rows()[i].relPath, expected[i].second);
    }
}

TEST(FileFilterTest, usableFiltersAndMatching) {
    for (const QString& good : {u"*.*"_s, u"*.c;*.h;*.cpp;*.hpp"_s, u"read?e_1-x.TXT"_s}) {
        EXPECT_TRUE(IsUsableFilter(good)) << good.toStdString();
    }
    for (const QString& bad :
         {QString(), u"*.c;"_s, u";*.c"_s, u"*.c;;*.h"_s, u"*.c; *.h"_s, u"*.c|*.h"_s, u"../*"_s}) {
        EXPECT_FALSE(IsUsableFilter(bad)) << bad.toStdString();
    }
    EXPECT_TRUE(MatchesPattern(u"Makefile"_s, u"*.*"_s));
    EXPECT_TRUE(MatchesPattern(u"MAIN.C"_s, u"*.h;*.c"_s));
    EXPECT_FALSE(MatchesPattern(u"main.cpp"_s, u"*.c"_s));
    EXPECT_TRUE(MatchesPattern(u"a.py"_s, u"?.py"_s));
    EXPECT_FALSE(MatchesPattern(u"ab.py"_s, u"?.py"_s));
    EXPECT_TRUE(MatchesPattern(u"x.tar.gz"_s, u"*.gz"_s));
}

class FilesDialogTest : public ::testing::Test, protected testing::DialogFixture {
protected:
    void SetUp() override {
        openProject(u"proj/p.qdx"_s);
        write(u"proj/src/b.c"_s);
        write(u"proj/src/a.c"_s);
        write(u"proj/src/notes.txt"_s);
        write(u"lib/util.h"_s);
        write(u"lib/util.c"_s);
    }
    static void selectFiles(FilesDialog& dialog, const QStringList& names) {
        for (int i = 0; i < dialog.fileList->count(); ++i) {
            dialog.fileList->item(i)->setSelected(names.contains(dialog.fileList->item(i)->text()));
        }
    }
};

TEST_F(FilesDialogTest, opensAtTheLastFilesFolderWithTheProjectsFilters) {
    setChapters({{u"a.c"_s, u"src/"_s}});
    ws.project.settings.TextFilter = u"*.c"_s;
    ws.project.settings.ComboFilter = u"*.txt"_s;
    FilesDialog dialog(nullptr, ws, state);

    EXPECT_EQ(dialog.filterBox->count(), FileTypePatterns().size());
    EXPECT_EQ(dialog.filterBox->currentText(), u"*.txt"_s);
    EXPECT_EQ(dialog.filterEdit->text(), u"*.c"_s);
    EXPECT_EQ(dialog.folderTree->path(), QDir::toNativeSeparators(te.path(u"proj/src"_s)));
    EXPECT_EQ(dialog.fileList->files(), (QStringList{u"a.c"_s, u"b.c"_s}));
    EXPECT_EQ(dialog.projectFileList->count(), 1);
    EXPECT_EQ(dialog.projectFilesLabel->text(), u"&Project Files: 1"_s);
}

TEST_F(FilesDialogTest, addFromTwoFoldersAndStoreOnOk) {
    ws.project.UncountedChapters = 2;  // as a project file that lists more files than it counts leaves it
    FilesDialog dialog(nullptr, ws, state);
    ASSERT_TRUE(dialog.folderTree->setPath(te.path(u"proj/src"_s)));
    dialog.changeFolder(dialog.folderTree->path());
    selectFiles(dialog, {u"b.c"_s});
    dialog.addButton->click();
    dialog.filterBox->setCurrentIndex(1);  // as the user's choice does
    Q_EMIT dialog.filterBox->activated(1);
    EXPECT_EQ(dialog.filterEdit->text(), u"*.c;*.h;*.cpp;*.hpp"_s);
    ASSERT_TRUE(dialog.folderTree->setPath(te.path(u"lib"_s)));
    dialog.changeFolder(dialog.folderTree->path());
    dialog.addAllButton->click();
    EXPECT_EQ(dialog.projectFilesLabel->text(), u"&Project Files: 3"_s);

    dialog.okButton->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(state.dialogCancelled);
    const ProjectModel& p = ws.project;
    ASSERT_EQ(p.chapterCount(), 3);
    EXPECT_EQ(p.UncountedChapters, 0);  // the stored list is the whole list
    EXPECT_EQ(p.Chapters[0].Name, u"b.c"_s);
    EXPECT_EQ(p.Chapters[0].RelPath, u"src/"_s);
    EXPECT_EQ(p.Chapters[1].Name, u"util.c"_s);
    EXPECT_EQ(p.Chapters[1].RelPath, u"../lib/"_s);
    EXPECT_EQ(p.Chapters[2].Name, u"util.h"_s);
    EXPECT_EQ(p.settings.ComboFilter, u"*.c;*.h;*.cpp;*.hpp"_s);
    EXPECT_EQ(p.settings.TextFilter, u"*.c;*.h;*.cpp;*.hpp"_s);
}

TEST_F(FilesDialogTest, theProjectFileAndFilesAlreadyListedAreRefused) {
    write(u"proj/p.qdx"_s, u"<project/>"_s);
    write(u"proj/readme.txt"_s);
    setChapters({{u"a.c"_s, u"src/"_s}});
    FilesDialog dialog(nullptr, ws, state);
    dialog.filterEdit->setText(u"*.*"_s);
    dialog.applyFilter();
    ASSERT_TRUE(dialog.folderTree->setPath(te.path(u"proj"_s)));
    dialog.changeFolder(dialog.folderTree->path());
    ASSERT_TRUE(dialog.fileList->files().contains(u"p.qdx"_s));
    dialog.addAllButton->click();
    ASSERT_EQ(te.ui.messages.size(), 1u);
    EXPECT_EQ(te.ui.messages[0].title, u"Files"_s);
    EXPECT_TRUE(te.ui.messages[0].text.contains(u"p.qdx is the project file itself"_s));
    EXPECT_EQ(dialog.projectFileList->count(), 2);  // a.c and readme.txt

    // The same file again, from the list or twice in one choice, is listed once.
    ASSERT_TRUE(dialog.folderTree->setPath(te.path(u"proj/src"_s)));
    dialog.changeFolder(dialog.folderTree->path());
    dialog.addAllButton->click();
    ASSERT_EQ(te.ui.messages.size(), 2u);
    EXPECT_TRUE(te.ui.messages[1].text.contains(u"src/a.c"_s)) << te.ui.messages[1].text.toStdString();
    EXPECT_EQ(dialog.projectFileList->count(), 4);  // b.c and notes.txt joined
    dialog.addAllButton->click();
    EXPECT_EQ(dialog.projectFileList->count(), 4);

    ProjectFileList list;
    const FilesToAdd twice = SortOutNewFiles(list, {u"x.c"_s, u"x.c"_s, u"p.qdx"_s}, u"sub/"_s, u"p.qdx"_s);
    EXPECT_EQ(twice.duplicates, QStringList{u"sub/x.c"_s});
    // A file named like the project file elsewhere is an ordinary chapter.
    EXPECT_EQ(twice.accepted, (QStringList{u"x.c"_s, u"p.qdx"_s}));
    EXPECT_TRUE(twice.projectFile.isEmpty());
    EXPECT_TRUE(SortOutNewFiles(list, {u"x.c"_s}, QString(), u"p.qdx"_s).refusalText().isEmpty());
}

// A source opened alone leaves its page beside it, and a book its files:
// Add All offers none of them, while Add takes what the user chose.
TEST_F(FilesDialogTest, addAllLeavesOutTheFilesTessarelWrote) {
    write(u"docs/a.c"_s, u"// file: A"_s);
    write(u"docs/a.c.htm"_s, u"\r\n"_s + kPageGeneratorLine + u"\r\n\r\n<html>\r\n"_s);
    write(u"docs/_search_index.js"_s, kSearchIndexFirstLine + u"\r\n\"snippets\": [\"\"],\r\n"_s);
    write(u"docs/notes.htm"_s, u"<html>the author's notes</html>"_s);
    FilesDialog dialog(nullptr, ws, state);
    ASSERT_TRUE(dialog.folderTree->setPath(te.path(u"docs"_s)));
    dialog.changeFolder(dialog.folderTree->path());
    ASSERT_EQ(dialog.fileList->files().size(), 4);
    dialog.addAllButton->click();
    EXPECT_EQ(Names(dialog.files()), (QStringList{u"a.c"_s, u"notes.htm"_s}));
    selectFiles(dialog, {u"a.c.htm"_s});
    dialog.addButton->click();
    EXPECT_EQ(Names(dialog.files()), (QStringList{u"a.c"_s, u"notes.htm"_s, u"a.c.htm"_s}));
}

TEST_F(FilesDialogTest, cancelLeavesTheModelAlone) {
    setChapters({{u"a.c"_s, u"src/"_s}});
    FilesDialog dialog(nullptr, ws, state);
    dialog.addAllButton->click();
    dialog.filterEdit->setText(u"*.txt"_s);
    dialog.cancelButton->click();
    EXPECT_TRUE(state.dialogCancelled);
    EXPECT_EQ(ws.project.chapterCount(), 1);
    EXPECT_EQ(ws.project.settings.TextFilter, u"*.*"_s);
}

TEST_F(FilesDialogTest, refusedFilterBringsTheMessageAndTheSavedFilterBack) {
    setChapters({{u"a.c"_s, u"src/"_s}});
    ws.project.settings.TextFilter = u"*.txt"_s;
    FilesDialog dialog(nullptr, ws, state);
    dialog.filterEdit->setText(u"*.c"_s);
    dialog.applyFilter();
    EXPECT_EQ(dialog.fileList->files(), (QStringList{u"a.c"_s, u"b.c"_s}));

    dialog.filterEdit->setText(u"*.c;"_s);
    dialog.applyFilter();
    ASSERT_EQ(te.ui.messages.size(), 1u);
    EXPECT_EQ(te.ui.messages[0].title, u"Filter error"_s);
    EXPECT_EQ(te.ui.messages[0].text,
              u"Filter not supported.\r\nUse standard characters plus dots, semicolons and "
              u"asterisks.\r\nDon't terminate the filter with a semicolon."_s);
    EXPECT_EQ(te.ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(dialog.filterEdit->text(), u"*.txt"_s);  // the saved one, not the last that worked
    EXPECT_EQ(dialog.fileList->pattern(), u"*.c"_s);
}

TEST_F(FilesDialogTest, theLimitOf4000FilesHoldsAtOk) {
    // Chapters of another folder, so the three added files are all new.
    std::vector<std::pair<QString, QString>> chapters(kMaxChapters, {u"a.c"_s, u"old/"_s});
    setChapters(chapters);
    FilesDialog dialog(nullptr, ws, state);
    ASSERT_TRUE(dialog.folderTree->setPath(te.path(u"proj/src"_s)));
    dialog.changeFolder(dialog.folderTree->path());
    dialog.addAllButton->click();  // 4000 + 3 files
    ASSERT_EQ(dialog.files().count(), kMaxChapters + 3);
    dialog.okButton->click();
    ASSERT_EQ(te.ui.messages.size(), 1u);
    EXPECT_EQ(te.ui.messages[0].title, u"Invalid number of project files"_s);
    EXPECT_EQ(te.ui.messages[0].text, u"the maximum number of files (4000) has been exceeded."_s);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ws.project.chapterCount(), kMaxChapters);

    // Three Deletes bring it to 4000 rows, which OK accepts.
    dialog.projectFileList->item(0)->setSelected(true);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, i == 2 ? Qt::KeypadModifier : Qt::NoModifier);
        QCoreApplication::sendEvent(dialog.projectFileList, &del);
    }
    EXPECT_EQ(dialog.projectFilesLabel->text(), u"&Project Files: 4000"_s);
    dialog.okButton->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ws.project.chapterCount(), kMaxChapters);
    EXPECT_EQ(ws.project.Chapters[kMaxChapters - 1].Name, u"notes.txt"_s);
}

TEST_F(FilesDialogTest, listOperationsKeepTheWidgetInStep) {
    setChapters({{u"a.c"_s, u"src/"_s}, {u"b.c"_s, u"src/"_s}, {u"c.c"_s, u"src/"_s}});
    FilesDialog dialog(nullptr, ws, state);
    dialog.projectFileList->item(2)->setSelected(true);
    dialog.moveUpButton->click();
    EXPECT_EQ(dialog.projectFileList->item(1)->text(), u"c.c"_s);
    EXPECT_TRUE(dialog.projectFileList->item(1)->isSelected());
    dialog.removeButton->click();
    EXPECT_EQ(dialog.projectFileList->count(), 2);
    EXPECT_TRUE(dialog.projectFileList->item(1)->isSelected());
    dialog.removeAllButton->click();
    EXPECT_EQ(dialog.projectFileList->count(), 0);
    EXPECT_EQ(dialog.projectFilesLabel->text(), u"&Project Files: 0"_s);
}

TEST_F(FilesDialogTest, defaultButtonFollowsTheFocus) {
    FilesDialog dialog(nullptr, ws, state);
    auto focus = [](QWidget* widget, QEvent::Type type) {
        QFocusEvent event(type);
        QCoreApplication::sendEvent(widget, &event);
    };
    focus(dialog.fileList, QEvent::FocusIn);
    EXPECT_TRUE(dialog.addButton->isDefault());
    EXPECT_FALSE(dialog.okButton->isDefault());
    focus(dialog.fileList, QEvent::FocusOut);
    EXPECT_FALSE(dialog.addButton->isDefault());
    EXPECT_TRUE(dialog.okButton->isDefault());
    for (QWidget* browser :
         std::initializer_list<QWidget*>{dialog.folderTree, dialog.driveBox, dialog.filterBox, dialog.filterEdit}) {
        focus(browser, QEvent::FocusIn);
        EXPECT_FALSE(dialog.okButton->isDefault());
        EXPECT_FALSE(dialog.addButton->isDefault());
        focus(browser, QEvent::FocusOut);
        EXPECT_TRUE(dialog.okButton->isDefault());
    }
}

}  // namespace
}  // namespace tessarel
