#pragma once

#include "app/dialogs/dialog_support.h"
#include "app/dialogs/settings_choices.h"

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tessarel {

/// "Settings": the presentation settings of the open project, or of single
/// files when no project is open. The boxes only show SettingsChoices, which
/// holds the rules between them.
class SettingsDialog : public ModalDialog {
    Q_OBJECT
public:
    SettingsDialog(QWidget* owner, Workspace& workspace, MainWindowState& state);

    void acceptChoices();
    /// The box that edits a flag of the settings; null for a flag it does not show.
    QCheckBox* boxFor(bool Settings::*setting) const;

    QGroupBox* chapterGroup;
    QGroupBox* styleGroup;
    QGroupBox* projectGroup;
    QGroupBox* indexGroup;
    QGroupBox* htmlHelpGroup;
    QGroupBox* preferencesGroup;  ///< the user's own, for every project and tessarel-cli
    QCheckBox* chapterTitleBox;
    QCheckBox* autoLinksBox;
    QCheckBox* apiBoxesBox;
    QCheckBox* sourceLocationBox;
    QCheckBox* lastGeneratedBox;
    QCheckBox* sortSectionsBox;
    QCheckBox* embedStyleBox;
    QCheckBox* projectTitleInChapterBox;
    QCheckBox* linksAsTitlesBox;
    QCheckBox* sortFileNamesBox;
    QCheckBox* collapsibleBox;
    QCheckBox* documentedOnlyBox;
    QCheckBox* boldTitlesBox;
    QCheckBox* htmlHelpBox;
    QCheckBox* searchBox;
    QCheckBox* modernLayoutBox;
    std::array<QRadioButton*, 3> overviewButtons;
    QComboBox* styleBox;
    QLineEdit* projectTitleEdit;
    QPlainTextEdit* descriptionEdit;
    QPlainTextEdit* copyrightEdit;
    QLabel* compilerFolderLabel;
    QLineEdit* compilerFolderEdit;
    QSpinBox* buildWorkersBox;  ///< 0 shows "Automatic": one per core
    QPushButton* okButton;
    QPushButton* cancelButton;
    QPushButton* helpButton;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void loadValues();
    void boxChanged(bool Settings::*setting, bool checked);
    void showChoices();
    void takeTexts();

    SettingsChoices choices_;
    struct BoxBinding {
        QCheckBox* box;
        bool Settings::*setting;
    };
    std::vector<BoxBinding> boxes_;
    QWidget* lowerPart_ = nullptr;
    bool showing_ = false;
};

}  // namespace tessarel
