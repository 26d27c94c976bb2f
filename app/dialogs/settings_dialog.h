#pragma once

#include "app/dialogs/dialog_support.h"
#include "app/dialogs/settings_choices.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tessarel {

/// "Settings": the presentation settings of the open project, or of single
/// files when no project is open. The boxes only show SettingsChoices, which
/// holds the rules between them.
class frmProperties : public ModalDialog {
    Q_OBJECT
public:
    frmProperties(QWidget* owner, Workspace& workspace, MainWindowState& state);

    void cmdOK_Click();
    QCheckBox* checkBox(SettingsBox box) const { return boxes_[static_cast<size_t>(box)]; }
    const SettingsChoices& choices() const { return choices_; }

    QGroupBox* frameChapter;
    QGroupBox* frameStyle;
    QGroupBox* frameProject;
    QGroupBox* frameIndex;
    QGroupBox* frameHtmlHelp;
    QCheckBox* chkTitle;
    QCheckBox* chkHyperlinks;
    QCheckBox* chkAPI;
    QCheckBox* chkSourceLocation;
    QCheckBox* chkLastGenerated;
    QCheckBox* chkSortSections;
    QCheckBox* chkEmbedStyle;
    QCheckBox* chkIncludeProjectTitle;
    QCheckBox* chkChapterTitle;
    QCheckBox* chkSortFileNames;
    QCheckBox* chkCollapsible;
    QCheckBox* chkOnlyDocumented;
    QCheckBox* chkBoldTitles;
    QCheckBox* chkGenerateHtmlHelpFiles;
    std::array<QRadioButton*, 3> optSumCon;
    QComboBox* cmbStyle;
    QLineEdit* txtSideTitle;
    QPlainTextEdit* txtSideText;
    QPlainTextEdit* txtCopyRight;
    QLabel* lblCompilerFolder;
    QLineEdit* txtHTMLCompilerPath;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void Form_Load();
    void boxChanged(SettingsBox box, bool checked);
    void showChoices();
    void takeTexts();

    SettingsChoices choices_;
    std::array<QCheckBox*, kSettingsBoxCount> boxes_{};
    QWidget* lowerPart_ = nullptr;
    bool showing_ = false;
};

}  // namespace tessarel
