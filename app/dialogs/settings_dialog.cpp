#include "app/dialogs/settings_dialog.h"

#include "book/workspace.h"
#include "support/environment.h"

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
#include <QVBoxLayout>

#include <algorithm>

namespace tessarel {

namespace {

constexpr int kProjectHeightTwips = 7820;
constexpr int kSingleFileHeightTwips = 3030;

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

frmProperties::frmProperties(QWidget* owner, Workspace& workspace, MainWindowState& state)
    : ModalDialog(owner, workspace, state, QStringLiteral("visual_settings.txt.htm")),
      frameChapter(new QGroupBox(QStringLiteral("Chapter"), this)),
      frameStyle(new QGroupBox(QStringLiteral("Style"), this)),
      frameProject(new QGroupBox(QStringLiteral("Project "), this)),
      frameIndex(new QGroupBox(QStringLiteral("Index"), this)),
      frameHtmlHelp(new QGroupBox(QStringLiteral("HTML Help"), this)),
      chkTitle(MakeBox(QStringLiteral("Chapter &Title"), QStringLiteral("chkTitle"), frameChapter)),
      chkHyperlinks(MakeBox(QStringLiteral("Auto Lin&ks"), QStringLiteral("chkHyperlinks"), frameChapter)),
      chkAPI(MakeBox(QStringLiteral("&API Boxes"), QStringLiteral("chkAPI"), frameChapter)),
      chkSourceLocation(MakeBox(QStringLiteral("Source &Location"), QStringLiteral("chkSourceLocation"), frameChapter)),
      chkLastGenerated(
          MakeBox(QStringLiteral("&Date Last Generated"), QStringLiteral("chkLastGenerated"), frameChapter)),
      chkSortSections(MakeBox(QStringLiteral("Sort Sectio&ns"), QStringLiteral("chkSortSections"), frameChapter)),
      chkEmbedStyle(MakeBox(QStringLiteral("&Embed Style "), QStringLiteral("chkEmbedStyle"), frameStyle)),
      chkIncludeProjectTitle(MakeBox(QStringLiteral("&Project Title in Chapter Title"),
                                     QStringLiteral("chkIncludeProjectTitle"), frameProject)),
      chkChapterTitle(MakeBox(QStringLiteral("L&inks as Titles "), QStringLiteral("chkChapterTitle"), frameIndex)),
      chkSortFileNames(MakeBox(QStringLiteral("Sort &File Names"), QStringLiteral("chkSortFileNames"), frameIndex)),
      chkCollapsible(MakeBox(QStringLiteral("Collapsi&ble"), QStringLiteral("chkCollapsible"), frameIndex)),
      chkOnlyDocumented(
          MakeBox(QStringLiteral("Doc&umented Files Only"), QStringLiteral("chkOnlyDocumented"), frameIndex)),
      chkBoldTitles(MakeBox(QStringLiteral("B&old Titles"), QStringLiteral("chkBoldTitles"), frameIndex)),
      chkGenerateHtmlHelpFiles(
          MakeBox(QStringLiteral("&Generate HTML Help"), QStringLiteral("chkGenerateHtmlHelpFiles"), frameHtmlHelp)),
      optSumCon{new QRadioButton(QStringLiteral("Summary"), frameChapter),
                new QRadioButton(QStringLiteral("Table of Contents"), frameChapter),
                new QRadioButton(QStringLiteral("None"), frameChapter)},
      cmbStyle(new QComboBox(frameStyle)),
      txtSideTitle(new QLineEdit(frameProject)),
      txtSideText(MakeMultiLineBox(QStringLiteral("txtSideText"), frameProject)),
      txtCopyRight(MakeMultiLineBox(QStringLiteral("txtCopyRight"), frameProject)),
      lblCompilerFolder(new QLabel(QStringLiteral("Compiler Folder:"), frameHtmlHelp)),
      txtHTMLCompilerPath(new QLineEdit(frameHtmlHelp)),
      cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      cmdHelp(new QPushButton(QStringLiteral("&Help"), this)) {
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("Settings"));
    frameIndex->setObjectName(QStringLiteral("frameIndex"));
    cmbStyle->setObjectName(QStringLiteral("cmbStyle"));
    txtSideTitle->setObjectName(QStringLiteral("txtSideTitle"));
    txtHTMLCompilerPath->setObjectName(QStringLiteral("txtHTMLCompilerPath"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    for (size_t i = 0; i < optSumCon.size(); ++i) {
        optSumCon[i]->setObjectName(QStringLiteral("optSumCon%1").arg(i));
    }

    boxes_ = {chkTitle,         chkHyperlinks,           chkAPI,         chkSourceLocation,
              chkLastGenerated, chkSortSections,         chkEmbedStyle,  chkIncludeProjectTitle,
              chkChapterTitle,  chkSortFileNames,        chkCollapsible, chkOnlyDocumented,
              chkBoldTitles,    chkGenerateHtmlHelpFiles};
    buildLayout();

    for (int i = 0; i < kSettingsBoxCount; ++i) {
        const auto which = static_cast<SettingsBox>(i);
        connect(boxes_[static_cast<size_t>(i)], &QCheckBox::toggled, this,
                [this, which](bool on) { boxChanged(which, on); });
    }
    for (size_t i = 0; i < optSumCon.size(); ++i) {
        connect(optSumCon[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !showing_) {
                choices_.sumCon = static_cast<int>(i);
            }
        });
    }
    connect(cmbStyle, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && !showing_) {
            choices_.style = cmbStyle->itemText(index);
        }
    });
    connect(cmdOK, &QPushButton::clicked, this, &frmProperties::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmProperties::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmProperties::cmdHelp_Click);

    // Enter in the two multi-line boxes starts a new line instead of closing.
    auto* rule = new DefaultButtonRule(cmdOK, this);
    rule->whileFocused(txtSideText);
    rule->whileFocused(txtCopyRight);

    Form_Load();
}

void frmProperties::buildLayout() {
    auto* chapter = new QGridLayout(frameChapter);
    chapter->addWidget(chkTitle, 0, 0);
    chapter->addWidget(chkHyperlinks, 1, 0);
    chapter->addWidget(chkAPI, 2, 0);
    chapter->addWidget(chkSourceLocation, 0, 1);
    chapter->addWidget(chkLastGenerated, 1, 1);
    chapter->addWidget(chkSortSections, 2, 1);
    for (int i = 0; i < 3; ++i) {
        chapter->addWidget(optSumCon[static_cast<size_t>(i)], i, 2);
    }

    auto* style = new QHBoxLayout(frameStyle);
    style->addWidget(BuddyLabel(QStringLiteral("&Style:"), cmbStyle, frameStyle));
    style->addWidget(cmbStyle, 1);
    style->addWidget(chkEmbedStyle);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    buttons->addStretch();

    auto* chapterAndStyle = new QVBoxLayout;
    chapterAndStyle->addWidget(frameChapter);
    chapterAndStyle->addWidget(frameStyle);
    auto* upper = new QHBoxLayout;
    upper->addLayout(chapterAndStyle, 1);
    upper->addLayout(buttons);

    auto* project = new QGridLayout(frameProject);
    project->addWidget(BuddyLabel(QStringLiteral("P&roject Title:"), txtSideTitle, frameProject), 0, 0);
    project->addWidget(txtSideTitle, 0, 1);
    project->addWidget(BuddyLabel(QStringLiteral("Brief Des&cription:"), txtSideText, frameProject), 1, 0,
                       Qt::AlignTop);
    project->addWidget(txtSideText, 1, 1);
    project->addWidget(BuddyLabel(QStringLiteral("Cop&yright Notice:"), txtCopyRight, frameProject), 2, 0,
                       Qt::AlignTop);
    project->addWidget(txtCopyRight, 2, 1);
    project->addWidget(chkIncludeProjectTitle, 3, 1);

    auto* index = new QGridLayout(frameIndex);
    index->addWidget(chkChapterTitle, 0, 0);
    index->addWidget(chkSortFileNames, 1, 0);
    index->addWidget(chkBoldTitles, 2, 0);
    index->addWidget(chkCollapsible, 0, 1);
    index->addWidget(chkOnlyDocumented, 1, 1);

    auto* htmlHelp = new QVBoxLayout(frameHtmlHelp);
    htmlHelp->addWidget(chkGenerateHtmlHelpFiles);
    htmlHelp->addWidget(lblCompilerFolder);
    htmlHelp->addWidget(txtHTMLCompilerPath);
    lblCompilerFolder->setBuddy(txtHTMLCompilerPath);

    // The part below the chapter and style settings is only for projects; the
    // dialog is cut short above it without one.
    lowerPart_ = new QWidget(this);
    auto* lower = new QVBoxLayout(lowerPart_);
    lower->setContentsMargins(0, 0, 0, 0);
    lower->addWidget(frameProject);
    auto* indexAndHelp = new QHBoxLayout;
    indexAndHelp->addWidget(frameIndex, 1);
    indexAndHelp->addWidget(frameHtmlHelp, 1);
    lower->addLayout(indexAndHelp);

    auto* all = new QVBoxLayout(this);
    all->addLayout(upper);
    all->addWidget(lowerPart_);
    all->addStretch();
}

void frmProperties::Form_Load() {
    RunPassingOver([&] {
        cmbStyle->clear();
        const QIcon icon = StyleIcon();
        const QStringList styles = StyleNames(workspace_.env.paths);
        for (const QString& name : styles) {
            cmbStyle->addItem(icon, name);
        }
        choices_ = LoadSettingsChoices(workspace_.project, workspace_.env.preferences, styles);
        txtHTMLCompilerPath->setText(choices_.compilerFolder);
        txtHTMLCompilerPath->setCursorPosition(0);  // a long folder shows its beginning
        txtSideTitle->setText(choices_.sideTitle);
        txtSideText->setPlainText(EditorText(choices_.sideText));
        txtCopyRight->setPlainText(EditorText(choices_.copyright));
        showChoices();
    });

    const bool project = choices_.projectMode;
    lowerPart_->setVisible(project);
    layout()->activate();
    const int height = TwipsToScreenPixels(project ? kProjectHeightTwips : kSingleFileHeightTwips, this);
    const QSize needed = layout()->totalSizeHint();
    setFixedSize(needed.width(), std::max(height, needed.height()));
}

void frmProperties::showEvent(QShowEvent* event) {
    ModalDialog::showEvent(event);
    (choices_.projectMode ? static_cast<QWidget*>(txtSideTitle) : chkTitle)->setFocus();
}

void frmProperties::boxChanged(SettingsBox box, bool checked) {
    if (showing_) {
        return;
    }
    choices_.setChecked(box, checked);
    showChoices();
}

void frmProperties::showChoices() {
    showing_ = true;
    for (int i = 0; i < kSettingsBoxCount; ++i) {
        const BoxState& state = choices_.box(static_cast<SettingsBox>(i));
        QCheckBox* box = boxes_[static_cast<size_t>(i)];
        box->setChecked(state.checked);
        box->setEnabled(state.enabled);
    }
    for (size_t i = 0; i < optSumCon.size(); ++i) {
        optSumCon[i]->setChecked(static_cast<int>(i) == choices_.sumCon);
    }
    const int style = cmbStyle->findText(choices_.style, Qt::MatchExactly);
    cmbStyle->setCurrentIndex(style);
    if (style < 0) {
        cmbStyle->setPlaceholderText(choices_.style);
    }
    frameIndex->setVisible(choices_.indexGroupVisible);
    frameIndex->setEnabled(choices_.indexGroupVisible);
    frameHtmlHelp->setEnabled(choices_.htmlHelpGroupEnabled);
    lblCompilerFolder->setEnabled(choices_.compilerLabelEnabled);
    txtSideTitle->setEnabled(choices_.sideTitleEnabled);
    txtSideText->setEnabled(choices_.sideTextEnabled);
    txtCopyRight->setEnabled(choices_.copyrightEnabled);
    showing_ = false;
}

void frmProperties::takeTexts() {
    choices_.sideTitle = txtSideTitle->text();
    choices_.sideText = PlainText(txtSideText->toPlainText());
    choices_.copyright = PlainText(txtCopyRight->toPlainText());
    choices_.compilerFolder = txtHTMLCompilerPath->text();
}

void frmProperties::cmdOK_Click() {
    state_.mbDialogCancel = false;
    RunPassingOver([&] {
        takeTexts();
        StoreSettingsChoices(choices_, workspace_.project, workspace_.env.preferences);
    });
    closeWithOk();
}

}  // namespace tessarel
