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
    frmProperties dialog(nullptr, ws, state);

    QStringList styles;
    for (int i = 0; i < dialog.cmbStyle->count(); ++i) {
        styles << dialog.cmbStyle->itemText(i);
        EXPECT_FALSE(dialog.cmbStyle->itemIcon(i).isNull());
    }
    EXPECT_EQ(styles, (QStringList{u"auto_light_dark"_s, u"compact_grey"_s, u"dark_slate"_s, u"minimal"_s,
                                   u"print_serif"_s, u"standard_babyblue"_s}));
    EXPECT_EQ(dialog.cmbStyle->currentText(), u"dark_slate"_s);
    EXPECT_FALSE(dialog.chkTitle->isChecked());
    EXPECT_TRUE(dialog.chkHyperlinks->isChecked());
    EXPECT_TRUE(dialog.chkSortSections->isChecked());
    EXPECT_FALSE(dialog.chkSourceLocation->isChecked());
    EXPECT_TRUE(dialog.optSumCon[2]->isChecked());
    EXPECT_TRUE(dialog.chkEmbedStyle->isChecked());
    EXPECT_FALSE(dialog.chkEmbedStyle->isEnabled());
    for (QWidget* off : std::initializer_list<QWidget*>{
             dialog.chkIncludeProjectTitle, dialog.txtCopyRight, dialog.txtSideTitle, dialog.txtSideText,
             dialog.chkChapterTitle, dialog.chkOnlyDocumented, dialog.chkCollapsible, dialog.chkSortFileNames,
             dialog.chkGenerateHtmlHelpFiles, dialog.frameHtmlHelp, dialog.frameIndex}) {
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    }
    EXPECT_TRUE(dialog.frameIndex->isHidden());
    const int shortHeight = TwipsToScreenPixels(3030, &dialog);
    EXPECT_GE(dialog.height(), shortHeight);
    EXPECT_LT(dialog.height(), TwipsToScreenPixels(7820, &dialog));
}

TEST_F(SettingsDialogTest, singleFileOkStoresPreferencesAndOnlyTheSharedSettings) {
    ws.project.settings.Collapsible = true;
    ws.project.settings.IndexTitle = u"kept"_s;
    frmProperties dialog(nullptr, ws, state);
    dialog.chkAPI->setChecked(false);
    dialog.chkLastGenerated->setChecked(true);
    dialog.cmbStyle->setCurrentText(u"compact_grey"_s);
    dialog.optSumCon[0]->setChecked(true);
    dialog.cmdOK->click();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(state.mbDialogCancel);
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
    const Settings before = s;
    frmProperties dialog(nullptr, ws, state);

    EXPECT_EQ(s, before);
    EXPECT_FALSE(dialog.frameIndex->isHidden());
    EXPECT_GE(dialog.height(), TwipsToScreenPixels(7820, &dialog));
    EXPECT_TRUE(dialog.chkOnlyDocumented->isChecked());
    EXPECT_FALSE(dialog.chkOnlyDocumented->isEnabled());
    EXPECT_FALSE(dialog.chkSortFileNames->isEnabled());
    EXPECT_FALSE(dialog.chkIncludeProjectTitle->isEnabled());
    EXPECT_TRUE(dialog.chkBoldTitles->isChecked());
    EXPECT_TRUE(dialog.optSumCon[0]->isChecked());
    EXPECT_EQ(dialog.cmbStyle->currentText(), u"minimal"_s);
    EXPECT_EQ(dialog.txtSideTitle->text(), u"Book"_s);
    EXPECT_EQ(dialog.txtSideText->toPlainText(), u"line one\nline two"_s);
    EXPECT_EQ(dialog.txtCopyRight->toPlainText(), u"(c) 2024 Me"_s);
    EXPECT_EQ(dialog.txtHTMLCompilerPath->text(), prefs::DefaultCompilerPath());
}

TEST_F(SettingsDialogTest, projectOkStoresPlainTextsAndTheBoxes) {
    openProject();
    ws.project.settings.UseChapterTitleInIndex = true;
    frmProperties dialog(nullptr, ws, state);
    dialog.chkChapterTitle->setChecked(false);
    EXPECT_TRUE(dialog.chkSortFileNames->isEnabled());
    EXPECT_FALSE(dialog.chkSortFileNames->isChecked());
    dialog.chkTitle->setChecked(false);
    EXPECT_FALSE(dialog.chkIncludeProjectTitle->isEnabled());
    dialog.chkCollapsible->setChecked(true);
    dialog.txtSideText->setPlainText(u"first\nsecond"_s);
    dialog.txtCopyRight->setPlainText(u"(c) Someone"_s);
    dialog.txtHTMLCompilerPath->clear();
    dialog.cmdOK->click();

    const Settings& s = ws.project.settings;
    EXPECT_FALSE(s.UseChapterTitleInIndex);
    EXPECT_FALSE(s.Title);
    EXPECT_TRUE(s.Collapsible);
    EXPECT_TRUE(s.IncludeOnlyDocumentedFiles);
    EXPECT_EQ(s.IndexText, u"first\r\nsecond"_s);
    EXPECT_EQ(s.Copyright, u"(c) Someone"_s);
    EXPECT_EQ(s.Style, u"standard_babyblue"_s);
    // An empty compiler folder leaves the stored one alone; a given one is kept.
    EXPECT_EQ(prefs().ReadPreference(prefs::kProject, prefs::kCompilerPath, u"unset"_s), u"unset"_s);
    frmProperties again(nullptr, ws, state);
    again.txtHTMLCompilerPath->setText(u"/opt/hhw"_s);
    again.cmdOK->click();
    EXPECT_EQ(prefs().ReadPreference(prefs::kProject, prefs::kCompilerPath, u"unset"_s), u"/opt/hhw"_s);
    EXPECT_EQ(pref(prefs::kTitle), u"unset"_s);
}

TEST_F(SettingsDialogTest, cancelChangesNothingInEitherMode) {
    for (bool project : {false, true}) {
        if (project) {
            openProject();
        }
        const Settings before = ws.project.settings;
        frmProperties dialog(nullptr, ws, state);
        dialog.chkTitle->setChecked(!dialog.chkTitle->isChecked());
        dialog.cmbStyle->setCurrentText(u"print_serif"_s);
        dialog.txtSideTitle->setText(u"typed"_s);
        dialog.cmdCancel->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_TRUE(state.mbDialogCancel);
        EXPECT_EQ(ws.project.settings, before);
        EXPECT_EQ(pref(prefs::kTitle), u"unset"_s);
        EXPECT_EQ(pref(prefs::kStyle), u"unset"_s);
    }
}

TEST_F(SettingsDialogTest, multiLineBoxesTakeEnterAwayFromOk) {
    openProject();
    frmProperties dialog(nullptr, ws, state);
    EXPECT_TRUE(dialog.cmdOK->isDefault());
    for (QWidget* box : {static_cast<QWidget*>(dialog.txtSideText), static_cast<QWidget*>(dialog.txtCopyRight)}) {
        QFocusEvent in(QEvent::FocusIn);
        QCoreApplication::sendEvent(box, &in);
        EXPECT_FALSE(dialog.cmdOK->isDefault());
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(box, &out);
        EXPECT_TRUE(dialog.cmdOK->isDefault());
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
