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
    c.setChecked(SettingsBox::SortFileNames, true);
    c.setChecked(SettingsBox::ChapterTitle, true);
    EXPECT_FALSE(c.box(SettingsBox::SortFileNames).checked);
    EXPECT_FALSE(c.box(SettingsBox::SortFileNames).enabled);
    c.setChecked(SettingsBox::ChapterTitle, false);
    EXPECT_TRUE(c.box(SettingsBox::SortFileNames).enabled);
    EXPECT_FALSE(c.box(SettingsBox::SortFileNames).checked);

    c.setChecked(SettingsBox::Collapsible, true);
    EXPECT_TRUE(c.box(SettingsBox::OnlyDocumented).checked);
    EXPECT_FALSE(c.box(SettingsBox::OnlyDocumented).enabled);
    c.setChecked(SettingsBox::Collapsible, false);
    EXPECT_TRUE(c.box(SettingsBox::OnlyDocumented).enabled);
    EXPECT_TRUE(c.box(SettingsBox::OnlyDocumented).checked);

    c.setChecked(SettingsBox::IncludeProjectTitle, true);
    c.setChecked(SettingsBox::Title, false);
    EXPECT_FALSE(c.box(SettingsBox::IncludeProjectTitle).checked);
    EXPECT_FALSE(c.box(SettingsBox::IncludeProjectTitle).enabled);
    c.setChecked(SettingsBox::Title, true);
    EXPECT_TRUE(c.box(SettingsBox::IncludeProjectTitle).enabled);
}

TEST_F(SettingsDialogTest, singleFileModeOpensShortFromThePreferences) {
    prefs().WritePreference(prefs::kSingleFile, prefs::kTitle, u" 0"_s);
    prefs().WritePreference(prefs::kSingleFile, prefs::kSortSections, u" 1"_s);
    prefs().WritePreference(prefs::kSingleFile, prefs::kStyle, u"dark_slate"_s);
    prefs().WritePreference(prefs::kSingleFile, prefs::kSumCon, u"2"_s);
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
    EXPECT_EQ(pref(prefs::kApi), u" 0"_s);
    EXPECT_EQ(pref(prefs::kTitle), u" 1"_s);
    EXPECT_EQ(pref(prefs::kLastGenerated), u" 1"_s);
    EXPECT_EQ(pref(prefs::kEmbedStyle), u" 1"_s);
    EXPECT_EQ(pref(prefs::kSortSections), u" 0"_s);
    EXPECT_EQ(pref(prefs::kStyle), u"compact_grey"_s);
    EXPECT_EQ(pref(prefs::kSumCon), u"0"_s);
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
    EXPECT_EQ(pref(prefs::kTitle), u"unset"_s);
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
        EXPECT_EQ(pref(prefs::kTitle), u"unset"_s);
        EXPECT_EQ(pref(prefs::kStyle), u"unset"_s);
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
