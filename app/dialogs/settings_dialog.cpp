#include "app/dialogs/settings_dialog.h"

#include "app/handler_guard.h"

#include "book/workspace.h"
#include "support/environment.h"
#include "support/preferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace tessarel {

namespace {

// The least heights with and without the project part, in pixels.
constexpr int kProjectHeight = 521;
constexpr int kSingleFileHeight = 202;

QCheckBox* MakeBox(const QString& caption, const QString& name, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QPlainTextEdit* MakeMultiLineBox(const QString& name, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setTabChangesFocus(true);
    const int lines = 3;
    box->setFixedHeight(box->fontMetrics().lineSpacing() * lines + 2 * box->frameWidth() + 8);
    return box;
}

QLabel* BuddyLabel(const QString& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* owner, Workspace& workspace, MainWindowState& state)
    : ModalDialog(owner, workspace, state, QStringLiteral("visual_settings.txt.htm")),
      chapterGroup(new QGroupBox(QStringLiteral("Chapter"), this)),
      styleGroup(new QGroupBox(QStringLiteral("Style"), this)),
      projectGroup(new QGroupBox(QStringLiteral("Project "), this)),
      indexGroup(new QGroupBox(QStringLiteral("Index"), this)),
      htmlHelpGroup(new QGroupBox(QStringLiteral("HTML Help"), this)),
      preferencesGroup(new QGroupBox(QStringLiteral("Your Preferences"), this)),
      chapterTitleBox(MakeBox(QStringLiteral("Chapter &Title"), QStringLiteral("chapterTitleBox"), chapterGroup)),
      autoLinksBox(MakeBox(QStringLiteral("Auto Lin&ks"), QStringLiteral("autoLinksBox"), chapterGroup)),
      apiBoxesBox(MakeBox(QStringLiteral("&API Boxes"), QStringLiteral("apiBoxesBox"), chapterGroup)),
      sourceLocationBox(MakeBox(QStringLiteral("Source &Location"), QStringLiteral("sourceLocationBox"), chapterGroup)),
      lastGeneratedBox(
          MakeBox(QStringLiteral("&Date Last Generated"), QStringLiteral("lastGeneratedBox"), chapterGroup)),
      sortSectionsBox(MakeBox(QStringLiteral("Sort Sectio&ns"), QStringLiteral("sortSectionsBox"), chapterGroup)),
      embedStyleBox(MakeBox(QStringLiteral("&Embed Style "), QStringLiteral("embedStyleBox"), styleGroup)),
      projectTitleInChapterBox(MakeBox(QStringLiteral("&Project Title in Chapter Title"),
                                       QStringLiteral("projectTitleInChapterBox"), projectGroup)),
      linksAsTitlesBox(MakeBox(QStringLiteral("L&inks as Titles "), QStringLiteral("linksAsTitlesBox"), indexGroup)),
      sortFileNamesBox(MakeBox(QStringLiteral("Sort &File Names"), QStringLiteral("sortFileNamesBox"), indexGroup)),
      collapsibleBox(MakeBox(QStringLiteral("Collapsi&ble"), QStringLiteral("collapsibleBox"), indexGroup)),
      documentedOnlyBox(
          MakeBox(QStringLiteral("Doc&umented Files Only"), QStringLiteral("documentedOnlyBox"), indexGroup)),
      boldTitlesBox(MakeBox(QStringLiteral("B&old Titles"), QStringLiteral("boldTitlesBox"), indexGroup)),
      htmlHelpBox(MakeBox(QStringLiteral("&Generate HTML Help"), QStringLiteral("htmlHelpBox"), htmlHelpGroup)),
      searchBox(MakeBox(QStringLiteral("Include Search"), QStringLiteral("searchBox"), indexGroup)),
      modernLayoutBox(MakeBox(QStringLiteral("&Modern Layout"), QStringLiteral("modernLayoutBox"), styleGroup)),
      overviewButtons{new QRadioButton(QStringLiteral("Summary"), chapterGroup),
                      new QRadioButton(QStringLiteral("Table of Contents"), chapterGroup),
                      new QRadioButton(QStringLiteral("None"), chapterGroup)},
      styleBox(new QComboBox(styleGroup)),
      projectTitleEdit(new QLineEdit(projectGroup)),
      descriptionEdit(MakeMultiLineBox(QStringLiteral("descriptionEdit"), projectGroup)),
      copyrightEdit(MakeMultiLineBox(QStringLiteral("copyrightEdit"), projectGroup)),
      compilerFolderLabel(new QLabel(QStringLiteral("Compiler Folder:"), htmlHelpGroup)),
      compilerFolderEdit(new QLineEdit(htmlHelpGroup)),
      buildWorkersBox(new QSpinBox(preferencesGroup)),
      okButton(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      helpButton(new QPushButton(QStringLiteral("&Help"), this)) {
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(QStringLiteral("Settings"));
    indexGroup->setObjectName(QStringLiteral("indexGroup"));
    preferencesGroup->setObjectName(QStringLiteral("preferencesGroup"));
    styleBox->setObjectName(QStringLiteral("styleBox"));
    projectTitleEdit->setObjectName(QStringLiteral("projectTitleEdit"));
    compilerFolderEdit->setObjectName(QStringLiteral("compilerFolderEdit"));
    buildWorkersBox->setObjectName(QStringLiteral("buildWorkersBox"));
    buildWorkersBox->setRange(0, kMaxBuildWorkers);
    buildWorkersBox->setSpecialValueText(QStringLiteral("Automatic"));
    buildWorkersBox->setToolTip(
        QStringLiteral("Chapters a project build makes at once; Automatic: one per processor core. Kept for you, "
                       "for every project, and the default of tessarel-cli (its -j overrides it)."));
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    helpButton->setObjectName(QStringLiteral("helpButton"));
    for (size_t i = 0; i < overviewButtons.size(); ++i) {
        overviewButtons[i]->setObjectName(QStringLiteral("overviewButtons%1").arg(i));
    }

    boxes_ = {
        {chapterTitleBox, &Settings::Title},
        {autoLinksBox, &Settings::Links},
        {apiBoxesBox, &Settings::Api},
        {sourceLocationBox, &Settings::IncludeSourceLocation},
        {lastGeneratedBox, &Settings::IncludeLastGenerated},
        {sortSectionsBox, &Settings::SortSections},
        {embedStyleBox, &Settings::EmbedStyle},
        {projectTitleInChapterBox, &Settings::IncludeProjectTitle},
        {linksAsTitlesBox, &Settings::UseChapterTitleInIndex},
        {sortFileNamesBox, &Settings::SortFilenames},
        {collapsibleBox, &Settings::Collapsible},
        {documentedOnlyBox, &Settings::IncludeOnlyDocumentedFiles},
        {boldTitlesBox, &Settings::BoldTitles},
        {htmlHelpBox, &Settings::GenerateHtmlHelpFiles},
        {searchBox, &Settings::IncludeSearch},
        {modernLayoutBox, &Settings::ModernLayout},
    };
    modernLayoutBox->setToolTip(
        QStringLiteral("Book Layout: one page per chapter with its own contents tree and search, instead of "
                       "frames. A modern book always links its style sheet and has no frames (Embed Style and "
                       "Collapsible do not apply)."));
    buildLayout();

    for (const BoxBinding& binding : boxes_) {
        connect(binding.box, &QCheckBox::toggled, this,
                [this, setting = binding.setting](bool on) { boxChanged(setting, on); });
    }
    for (size_t i = 0; i < overviewButtons.size(); ++i) {
        connect(overviewButtons[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !showing_) {
                choices_.overview = static_cast<ChapterOverview>(i);
            }
        });
    }
    connect(styleBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && !showing_) {
            choices_.text(&Settings::Style) = styleBox->itemText(index);
        }
    });
    connect(okButton, &QPushButton::clicked, this, &SettingsDialog::acceptChoices);
    connect(cancelButton, &QPushButton::clicked, this, &SettingsDialog::cancel);
    connect(helpButton, &QPushButton::clicked, this, &SettingsDialog::showHelp);

    // Enter in the two multi-line boxes starts a new line instead of closing.
    auto* rule = new DefaultButtonRule(okButton, this);
    rule->whileFocused(descriptionEdit);
    rule->whileFocused(copyrightEdit);

    loadValues();
}

void SettingsDialog::buildLayout() {
    auto* chapter = new QGridLayout(chapterGroup);
    chapter->addWidget(chapterTitleBox, 0, 0);
    chapter->addWidget(autoLinksBox, 1, 0);
    chapter->addWidget(apiBoxesBox, 2, 0);
    chapter->addWidget(sourceLocationBox, 0, 1);
    chapter->addWidget(lastGeneratedBox, 1, 1);
    chapter->addWidget(sortSectionsBox, 2, 1);
    for (int i = 0; i < 3; ++i) {
        chapter->addWidget(overviewButtons[static_cast<size_t>(i)], i, 2);
    }

    auto* style = new QHBoxLayout(styleGroup);
    style->addWidget(BuddyLabel(QStringLiteral("&Style:"), styleBox, styleGroup));
    style->addWidget(styleBox, 1);
    style->addWidget(embedStyleBox);
    // Shown with the style: single files choose it too, and the index group is a project's only.
    style->addWidget(modernLayoutBox);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);
    buttons->addStretch();

    // Stored for the user, not in the project: apart at the foot, whatever is open.
    auto* preferences = new QHBoxLayout(preferencesGroup);
    preferences->addWidget(BuddyLabel(QStringLiteral("Build &Workers:"), buildWorkersBox, preferencesGroup));
    preferences->addWidget(buildWorkersBox);
    auto* preferencesNote = new QLabel(QStringLiteral("for every project, and for tessarel-cli"), preferencesGroup);
    preferencesNote->setForegroundRole(QPalette::PlaceholderText);
    preferences->addWidget(preferencesNote, 1);

    auto* chapterAndStyle = new QVBoxLayout;
    chapterAndStyle->addWidget(chapterGroup);
    chapterAndStyle->addWidget(styleGroup);
    auto* upper = new QHBoxLayout;
    upper->addLayout(chapterAndStyle, 1);
    upper->addLayout(buttons);

    auto* project = new QGridLayout(projectGroup);
    project->addWidget(BuddyLabel(QStringLiteral("P&roject Title:"), projectTitleEdit, projectGroup), 0, 0);
    project->addWidget(projectTitleEdit, 0, 1);
    project->addWidget(BuddyLabel(QStringLiteral("Brief Des&cription:"), descriptionEdit, projectGroup), 1, 0,
                       Qt::AlignTop);
    project->addWidget(descriptionEdit, 1, 1);
    project->addWidget(BuddyLabel(QStringLiteral("Cop&yright Notice:"), copyrightEdit, projectGroup), 2, 0,
                       Qt::AlignTop);
    project->addWidget(copyrightEdit, 2, 1);
    project->addWidget(projectTitleInChapterBox, 3, 1);

    auto* index = new QGridLayout(indexGroup);
    index->addWidget(linksAsTitlesBox, 0, 0);
    index->addWidget(sortFileNamesBox, 1, 0);
    index->addWidget(boldTitlesBox, 2, 0);
    index->addWidget(collapsibleBox, 0, 1);
    index->addWidget(documentedOnlyBox, 1, 1);
    index->addWidget(searchBox, 2, 1);

    auto* htmlHelp = new QVBoxLayout(htmlHelpGroup);
    htmlHelp->addWidget(htmlHelpBox);
    htmlHelp->addWidget(compilerFolderLabel);
    htmlHelp->addWidget(compilerFolderEdit);
    compilerFolderLabel->setBuddy(compilerFolderEdit);

    // The part below the chapter and style settings is only for projects; the
    // dialog is cut short above it without one.
    lowerPart_ = new QWidget(this);
    auto* lower = new QVBoxLayout(lowerPart_);
    lower->setContentsMargins(0, 0, 0, 0);
    lower->addWidget(projectGroup);
    auto* indexAndHelp = new QHBoxLayout;
    indexAndHelp->addWidget(indexGroup, 1);
    indexAndHelp->addWidget(htmlHelpGroup, 1);
    lower->addLayout(indexAndHelp);

    auto* all = new QVBoxLayout(this);
    all->addLayout(upper);
    all->addWidget(lowerPart_);
    all->addWidget(preferencesGroup);
    all->addStretch();
}

void SettingsDialog::loadValues() {
    RunIgnoringErrors([&] {
        styleBox->clear();
        const QIcon icon = StyleIcon();
        const QStringList styles = StyleNames(workspace_.env.paths);
        for (const QString& name : styles) {
            styleBox->addItem(icon, name);
        }
        choices_ = LoadSettingsChoices(workspace_.project, workspace_.env.preferences, styles);
        compilerFolderEdit->setText(choices_.compilerFolder);
        compilerFolderEdit->setCursorPosition(0);  // a long folder shows its beginning
        buildWorkersBox->setValue(choices_.buildWorkers);
        projectTitleEdit->setText(choices_.text(&Settings::IndexTitle));
        descriptionEdit->setPlainText(EditorText(choices_.text(&Settings::IndexText)));
        copyrightEdit->setPlainText(EditorText(choices_.text(&Settings::Copyright)));
        showChoices();
    });

    const bool project = choices_.projectMode;
    lowerPart_->setVisible(project);
    layout()->activate();
    const int height = project ? kProjectHeight : kSingleFileHeight;
    const QSize needed = layout()->totalSizeHint();
    setFixedSize(needed.width(), std::max(height, needed.height()));
}

void SettingsDialog::showEvent(QShowEvent* event) {
    ModalDialog::showEvent(event);
    (choices_.projectMode ? static_cast<QWidget*>(projectTitleEdit) : chapterTitleBox)->setFocus();
}

QCheckBox* SettingsDialog::boxFor(bool Settings::*setting) const {
    for (const BoxBinding& binding : boxes_) {
        if (binding.setting == setting) {
            return binding.box;
        }
    }
    return nullptr;
}

void SettingsDialog::boxChanged(bool Settings::*setting, bool checked) {
    if (showing_) {
        return;
    }
    choices_.setChecked(setting, checked);
    showChoices();
}

void SettingsDialog::showChoices() {
    showing_ = true;
    for (const BoxBinding& binding : boxes_) {
        const BoxState& state = choices_.box(binding.setting);
        binding.box->setChecked(state.checked);
        binding.box->setEnabled(state.enabled);
    }
    for (size_t i = 0; i < overviewButtons.size(); ++i) {
        overviewButtons[i]->setChecked(static_cast<ChapterOverview>(i) == choices_.overview);
    }
    const QString& styleName = choices_.text(&Settings::Style);
    const int style = styleBox->findText(styleName, Qt::MatchExactly);
    styleBox->setCurrentIndex(style);
    if (style < 0) {
        styleBox->setPlaceholderText(styleName);
    }
    indexGroup->setVisible(choices_.indexGroupVisible);
    indexGroup->setEnabled(choices_.indexGroupVisible);
    htmlHelpGroup->setEnabled(choices_.htmlHelpGroupEnabled);
    compilerFolderLabel->setEnabled(choices_.compilerLabelEnabled);
    projectTitleEdit->setEnabled(choices_.sideTitleEnabled);
    descriptionEdit->setEnabled(choices_.sideTextEnabled);
    copyrightEdit->setEnabled(choices_.copyrightEnabled);
    showing_ = false;
}

void SettingsDialog::takeTexts() {
    choices_.text(&Settings::IndexTitle) = projectTitleEdit->text();
    choices_.text(&Settings::IndexText) = PlainText(descriptionEdit->toPlainText());
    choices_.text(&Settings::Copyright) = PlainText(copyrightEdit->toPlainText());
    choices_.compilerFolder = compilerFolderEdit->text();
    choices_.buildWorkers = buildWorkersBox->value();
}

void SettingsDialog::acceptChoices() {
    state_.dialogCancelled = false;
    RunIgnoringErrors([&] {
        takeTexts();
        StoreSettingsChoices(choices_, workspace_.project, workspace_.env.preferences);
    });
    closeWithOk();
}

}  // namespace tessarel
