#include "app/dialogs/settings_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "dialogs_testing.h"
#include "support/preferences.h"
#include "support/setting_table.h"

namespace tessarel {
namespace {

using namespace Qt::StringLiterals;

class SettingsDialogTest : public ::testing::Test, protected testing::DialogFixture {
protected:
    Preferences& prefs() { return *te.preferences; }
    QString pref(const QString& key) { return prefs().ReadPreference(prefs::kSingleFile, key, u"unset"_s); }
};

TEST(SettingsChoicesTest, rulesBetweenBoxes) {
    SettingsChoices c;
    c.setChecked(&Settings::SortFilenames, true);
    c.setChecked(&Settings::UseChapterTitleInIndex, true);
    EXPECT_FALSE(c.box(&Settings::SortFilenames).checked);
    EXPECT_FALSE(c.box(&Settings::SortFilenames).enabled);
    c.setChecked(&Settings::UseChapterTitleInIndex, false);
    EXPECT_TRUE(c.box(&Settings::SortFilenames).enabled);
    EXPECT_FALSE(c.box(&Settings::SortFilenames).checked);

    c.setChecked(&Settings::Collapsible, true);
    EXPECT_TRUE(c.box(&Settings::IncludeOnlyDocumentedFiles).checked);
    EXPECT_FALSE(c.box(&Settings::IncludeOnlyDocumentedFiles).enabled);
    c.setChecked(&Settings::Collapsible, false);
    EXPECT_TRUE(c.box(&Settings::IncludeOnlyDocumentedFiles).enabled);
    EXPECT_TRUE(c.box(&Settings::IncludeOnlyDocumentedFiles).checked);

    c.setChecked(&Settings::IncludeProjectTitle, true);
    c.setChecked(&Settings::Title, false);
    EXPECT_FALSE(c.box(&Settings::IncludeProjectTitle).checked);
    EXPECT_FALSE(c.box(&Settings::IncludeProjectTitle).enabled);
    c.setChecked(&Settings::Title, true);
    EXPECT_TRUE(c.box(&Settings::IncludeProjectTitle).enabled);

    // A modern book always links its sheet: Embed Style keeps its value but does not apply.
    c.setChecked(&Settings::EmbedStyle, true);
    c.setChecked(&Settings::Collapsible, true);
    c.setChecked(&Settings::ModernLayout, true);
    EXPECT_FALSE(c.box(&Settings::EmbedStyle).enabled);
    EXPECT_TRUE(c.box(&Settings::EmbedStyle).checked);
    EXPECT_FALSE(c.box(&Settings::Collapsible).enabled);
    EXPECT_TRUE(c.box(&Settings::Collapsible).checked);
    c.setChecked(&Settings::ModernLayout, false);
    EXPECT_TRUE(c.box(&Settings::EmbedStyle).enabled);
    EXPECT_TRUE(c.box(&Settings::Collapsible).enabled);
    // Single pages always embed theirs, whatever the layout.
    c.projectMode = false;
    c.setEnabled(&Settings::EmbedStyle, false);
    c.setChecked(&Settings::ModernLayout, false);
    EXPECT_FALSE(c.box(&Settings::EmbedStyle).enabled);
}

TEST_F(SettingsDialogTest, theLayoutIsChosenForSingleFilesAndForAProject) {
    SettingsDialog single(nullptr, ws, state);
    EXPECT_TRUE(single.modernLayoutBox->isVisibleTo(&single));
    EXPECT_TRUE(single.modernLayoutBox->isEnabled());
    single.modernLayoutBox->setChecked(true);
    single.okButton->click();
    EXPECT_EQ(pref(u"propBookLayout"_s), u" 1"_s);
    EXPECT_TRUE(ws.project.settings.ModernLayout);

    openProject();
    ws.project.settings.ModernLayout = false;
    SettingsDialog project(nullptr, ws, state);
    EXPECT_FALSE(project.modernLayoutBox->isChecked());
    EXPECT_TRUE(project.embedStyleBox->isEnabled());
    project.modernLayoutBox->setChecked(true);
    EXPECT_FALSE(project.embedStyleBox->isEnabled());
    project.okButton->click();
    EXPECT_TRUE(ws.project.settings.ModernLayout);
}

TEST_F(SettingsDialogTest, singleFileModeOpensShortFromThePreferences) {
    prefs().WritePreference(prefs::kSingleFile, u"propTitle"_s, u" 0"_s);
    prefs().WritePreference(prefs::kSingleFile, u"propSortSections"_s, u" 1"_s);
    prefs().WritePreference(prefs::kSingleFile, u"propStyle"_s, u"dark_slate"_s);
    prefs().WritePreference(prefs::kSingleFile, u"propSumCon"_s, u"2"_s);
    SettingsDialog dialog(nullptr, ws, state);

    EXPECT_EQ(dialog.styleBox->currentText(), u"dark_slate"_s);
    EXPECT_FALSE(dialog.chapterTitleBox->isChecked());
    EXPECT_TRUE(dialog.autoLinksBox->isChecked());
    EXPECT_TRUE(dialog.sortSectionsBox->isChecked());
    EXPECT_FALSE(dialog.sourceLocationBox->isChecked());
    EXPECT_TRUE(dialog.overviewButtons[2]->isChecked());
    EXPECT_TRUE(dialog.embedStyleBox->isChecked());
    EXPECT_FALSE(dialog.embedStyleBox->isEnabled());
    for (QWidget* off : std::initializer_list<QWidget*>{
             dialog.projectTitleInChapterBox, dialog.copyrightEdit, dialog.projectTitleEdit, dialog.descriptionEdit,
             dialog.linksAsTitlesBox, dialog.documentedOnlyBox, dialog.collapsibleBox, dialog.sortFileNamesBox,
             dialog.htmlHelpBox, dialog.htmlHelpGroup, dialog.indexGroup, dialog.searchBox}) {
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    }
    EXPECT_TRUE(dialog.indexGroup->isHidden());
}

TEST_F(SettingsDialogTest, singleFileOkStoresPreferencesAndOnlyTheSharedSettings) {
    ws.project.settings.Collapsible = true;
    ws.project.settings.IndexTitle = u"kept"_s;
    SettingsDialog dialog(nullptr, ws, state);
    dialog.apiBoxesBox->setChecked(false);
    dialog.lastGeneratedBox->setChecked(true);
    dialog.styleBox->setCurrentText(u"compact_grey"_s);
    dialog.overviewButtons[0]->setChecked(true);
    dialog.okButton->click();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(state.dialogCancelled);
    EXPECT_EQ(pref(u"propAPI"_s), u" 0"_s);
    EXPECT_EQ(pref(u"propTitle"_s), u" 1"_s);
    EXPECT_EQ(pref(u"propLastGenerated"_s), u" 1"_s);
    EXPECT_EQ(pref(u"propEmbedStyle"_s), u" 1"_s);
    EXPECT_EQ(pref(u"propSortSections"_s), u" 0"_s);
    EXPECT_EQ(pref(u"propStyle"_s), u"compact_grey"_s);
    EXPECT_EQ(pref(u"propSumCon"_s), u"0"_s);
    const Settings& s = ws.project.settings;
    EXPECT_FALSE(s.Api);
    EXPECT_TRUE(s.IncludeLastGenerated);
    EXPECT_EQ(s.Style, u"compact_grey"_s);
    EXPECT_EQ(s.Overview, ChapterOverview::Summary);
    EXPECT_TRUE(s.Collapsible);
    EXPECT_EQ(s.IndexTitle, u"kept"_s);
    EXPECT_EQ(prefs().ReadPreference(prefs::kProject, prefs::kCompilerPath, u"unset"_s), u"unset"_s);
}

TEST_F(SettingsDialogTest, projectModeShowsTheModelWithoutChangingIt) {
    openProject();
    Settings& s = ws.project.settings;
    s.Title = false;
    s.IncludeProjectTitle = true;
    s.Collapsible = true;
    s.IncludeOnlyDocumentedFiles = false;
    s.UseChapterTitleInIndex = true;
    s.Style = u"no_such_style"_s;
    s.IndexTitle = u"Book"_s;
    s.IndexText = u"line one<br>line two"_s;
    s.Copyright = u"&#169; 2024 Me"_s;
    s.Overview = ChapterOverview::Summary;
    s.IncludeSearch = true;
    const Settings before = s;
    SettingsDialog dialog(nullptr, ws, state);

    EXPECT_EQ(s, before);
    EXPECT_TRUE(dialog.searchBox->isChecked());
    EXPECT_TRUE(dialog.searchBox->isEnabled());
    EXPECT_FALSE(dialog.indexGroup->isHidden());
    EXPECT_TRUE(dialog.documentedOnlyBox->isChecked());
    EXPECT_FALSE(dialog.documentedOnlyBox->isEnabled());
    EXPECT_FALSE(dialog.sortFileNamesBox->isEnabled());
    EXPECT_FALSE(dialog.projectTitleInChapterBox->isEnabled());
    EXPECT_TRUE(dialog.boldTitlesBox->isChecked());
    EXPECT_TRUE(dialog.overviewButtons[0]->isChecked());
    EXPECT_EQ(dialog.styleBox->currentText(), u"minimal"_s);
    EXPECT_EQ(dialog.projectTitleEdit->text(), u"Book"_s);
    EXPECT_EQ(dialog.descriptionEdit->toPlainText(), u"line one\nline two"_s);
    EXPECT_EQ(dialog.copyrightEdit->toPlainText(), u"(c) 2024 Me"_s);
    EXPECT_EQ(dialog.compilerFolderEdit->text(), prefs::DefaultCompilerPath());
}

TEST_F(SettingsDialogTest, projectOkStoresPlainTextsAndTheBoxes) {
    openProject();
    ws.project.settings.UseChapterTitleInIndex = true;
    SettingsDialog dialog(nullptr, ws, state);
    dialog.linksAsTitlesBox->setChecked(false);
    EXPECT_TRUE(dialog.sortFileNamesBox->isEnabled());
    EXPECT_FALSE(dialog.sortFileNamesBox->isChecked());
    dialog.chapterTitleBox->setChecked(false);
    EXPECT_FALSE(dialog.projectTitleInChapterBox->isEnabled());
    dialog.collapsibleBox->setChecked(true);
    EXPECT_FALSE(dialog.searchBox->isChecked());
    dialog.searchBox->setChecked(true);
    dialog.descriptionEdit->setPlainText(u"first\nsecond"_s);
    dialog.copyrightEdit->setPlainText(u"(c) Someone"_s);
    dialog.compilerFolderEdit->clear();
    dialog.okButton->click();

    const Settings& s = ws.project.settings;
    EXPECT_FALSE(s.UseChapterTitleInIndex);
    EXPECT_FALSE(s.Title);
    EXPECT_TRUE(s.Collapsible);
    EXPECT_TRUE(s.IncludeOnlyDocumentedFiles);
    EXPECT_TRUE(s.IncludeSearch);
    EXPECT_EQ(s.IndexText, u"first\r\nsecond"_s);
    EXPECT_EQ(s.Copyright, u"(c) Someone"_s);
    EXPECT_EQ(s.Style, u"standard_babyblue"_s);
    // An empty compiler folder leaves the stored one alone; a given one is kept.
    EXPECT_EQ(prefs().ReadPreference(prefs::kProject, prefs::kCompilerPath, u"unset"_s), u"unset"_s);
    SettingsDialog again(nullptr, ws, state);
    again.compilerFolderEdit->setText(u"/opt/hhw"_s);
    again.okButton->click();
    EXPECT_EQ(prefs().ReadPreference(prefs::kProject, prefs::kCompilerPath, u"unset"_s), u"/opt/hhw"_s);
    EXPECT_EQ(pref(u"propTitle"_s), u"unset"_s);
}

// Every flag the setting table gives the dialog has its box, which OK stores
// into that setting alone; the dialog has no other box.
TEST_F(SettingsDialogTest, everyFlagOfTheDialogHasTheBoxOkStores) {
    openProject();
    const Settings before = ws.project.settings;
    qsizetype flags = 0;
    for (const SettingRow& row : kSettingTable) {
        const auto* flag = std::get_if<bool Settings::*>(&row.field);
        if (!flag || row.editor != EditedBy::SettingsDialog) {
            continue;
        }
        SCOPED_TRACE(QString::fromUtf16(row.element).toStdString());
        ++flags;
        ws.project.settings = before;
        SettingsDialog dialog(nullptr, ws, state);
        QCheckBox* box = dialog.boxFor(*flag);
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(box->isEnabled());
        box->click();
        dialog.okButton->click();
        Settings expected = before;
        expected.*(*flag) = !(before.*(*flag));
        EXPECT_EQ(ws.project.settings, expected);
    }
    SettingsDialog dialog(nullptr, ws, state);
    EXPECT_EQ(dialog.findChildren<QCheckBox*>().size(), flags);
}

// The number of build workers is the user's, kept in the general settings
// whatever is open, and shown apart from the project's part; 0 is "Automatic".
TEST_F(SettingsDialogTest, buildWorkersAreTheUsersWhateverIsOpen) {
    for (bool project : {false, true}) {
        SCOPED_TRACE(project ? "project" : "single file");
        if (project) {
            openProject();
        }
        const Settings before = ws.project.settings;
        SettingsDialog dialog(nullptr, ws, state);
        EXPECT_TRUE(dialog.buildWorkersBox->isVisibleTo(&dialog));
        EXPECT_TRUE(dialog.preferencesGroup->isAncestorOf(dialog.buildWorkersBox));
        EXPECT_FALSE(dialog.projectGroup->isAncestorOf(dialog.buildWorkersBox));
        EXPECT_EQ(dialog.buildWorkersBox->value(), 0);
        EXPECT_EQ(dialog.buildWorkersBox->text(), u"Automatic"_s);
        dialog.buildWorkersBox->setValue(3);
        dialog.okButton->click();
        EXPECT_EQ(prefs().ReadPreference(prefs::kGeneral, prefs::kBuildWorkers, u"unset"_s), u"3"_s);
        if (project) {
            EXPECT_EQ(ws.project.settings, before) << "nothing of the project's changed";
        }

        SettingsDialog again(nullptr, ws, state);
        EXPECT_EQ(again.buildWorkersBox->value(), 3);
        again.buildWorkersBox->setValue(0);
        again.okButton->click();
        EXPECT_EQ(ReadBuildWorkers(prefs()), 0);
    }
    // Values the dialog never stores count as "Automatic".
    for (const QString& stored : {u"x"_s, u"-2"_s, u"257"_s}) {
        prefs().WritePreference(prefs::kGeneral, prefs::kBuildWorkers, stored);
        EXPECT_EQ(ReadBuildWorkers(prefs()), 0) << stored.toStdString();
    }
    prefs().WritePreference(prefs::kGeneral, prefs::kBuildWorkers, u" 12"_s);
    EXPECT_EQ(ReadBuildWorkers(prefs()), 12);
}

TEST_F(SettingsDialogTest, cancelChangesNothingInEitherMode) {
    for (bool project : {false, true}) {
        if (project) {
            openProject();
        }
        const Settings before = ws.project.settings;
        SettingsDialog dialog(nullptr, ws, state);
        dialog.chapterTitleBox->setChecked(!dialog.chapterTitleBox->isChecked());
        dialog.styleBox->setCurrentText(u"print_serif"_s);
        dialog.projectTitleEdit->setText(u"typed"_s);
        dialog.cancelButton->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_TRUE(state.dialogCancelled);
        EXPECT_EQ(ws.project.settings, before);
        EXPECT_EQ(pref(u"propTitle"_s), u"unset"_s);
        EXPECT_EQ(pref(u"propStyle"_s), u"unset"_s);
    }
}

TEST(DefaultButtonRuleTest, outlivesTheButtonsItSwitches) {
    // While a dialog is destroyed its focused box may lose the focus after
    // the buttons have gone.
    QWidget window;
    auto* ok = new QPushButton(&window);
    auto* add = new QPushButton(&window);
    auto* box = new QPlainTextEdit(&window);
    DefaultButtonRule rule(ok, &window);
    rule.whileFocused(box, add);
    const auto focus = [box](QEvent::Type type) {
        QFocusEvent event(type);
        QCoreApplication::sendEvent(box, &event);
    };
    delete add;
    focus(QEvent::FocusIn);
    EXPECT_FALSE(ok->isDefault());
    focus(QEvent::FocusOut);
    EXPECT_TRUE(ok->isDefault());
    delete ok;
    focus(QEvent::FocusIn);
    focus(QEvent::FocusOut);
}

}  // namespace
}  // namespace tessarel
