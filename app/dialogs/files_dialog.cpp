#include "app/dialogs/files_dialog.h"

#include "app/dialogs/file_browsing.h"
#include "app/dialogs/folder_widgets.h"
#include "app/handler_guard.h"
#include "book/workspace.h"
#include "support/environment.h"
#include "support/paths.h"
#include "support/string_functions.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessarel {

namespace {

QPushButton* MakeButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

QStringList FileTypePatterns() {
    return {
        QStringLiteral("*.*"),
        QStringLiteral("*.c;*.h;*.cpp;*.hpp"),
        QStringLiteral("*.bas;*.cls;*.frm"),
        QStringLiteral("*.vb;*.vbs"),
        QStringLiteral("*.asp"),
        QStringLiteral("*.sql"),
        QStringLiteral("*.pas;*.dpr;*.dpk"),
        QStringLiteral("*.php;*.php3;*.php4"),
        QStringLiteral("*.java;*.js"),
        QStringLiteral("*.cs"),
        QStringLiteral("*.asm"),
        QStringLiteral("*.ada;*.adb;*.ads"),
        QStringLiteral("*.f;*.for;*.f90;*.f95"),
        QStringLiteral("*.pl;*.pm;*.cgi"),
        QStringLiteral("*.rb"),
        QStringLiteral("*.py"),
        QStringLiteral("*.txt"),
        QStringLiteral("*.htm;*.html"),
    };
}

FilesDialog::FilesDialog(QWidget* owner, Workspace& workspace, MainWindowState& state)
    : ModalDialog(owner, workspace, state, QStringLiteral("visual_files.txt.htm")),
      driveBox(new DriveList(this)),
      folderTree(new FolderList(this)),
      fileList(new FileList(this)),
      filterBox(new QComboBox(this)),
      filterEdit(new QLineEdit(this)),
      projectFilesLabel(new QLabel(this)),
      projectFileList(new QListWidget(this)),
      addButton(MakeButton(QStringLiteral("&Add"), QStringLiteral("addButton"), this)),
      addAllButton(MakeButton(QStringLiteral("Add A&ll"), QStringLiteral("addAllButton"), this)),
      removeButton(MakeButton(QStringLiteral("&Remove"), QStringLiteral("removeButton"), this)),
      removeAllButton(MakeButton(QStringLiteral("R&emove All"), QStringLiteral("removeAllButton"), this)),
      moveUpButton(MakeButton(QStringLiteral("Move &Up"), QStringLiteral("moveUpButton"), this)),
      moveDownButton(MakeButton(QStringLiteral("Move &Down"), QStringLiteral("moveDownButton"), this)),
      okButton(MakeButton(QStringLiteral("OK"), QStringLiteral("okButton"), this)),
      cancelButton(MakeButton(QStringLiteral("Cancel"), QStringLiteral("cancelButton"), this)),
      helpButton(MakeButton(QStringLiteral("&Help"), QStringLiteral("helpButton"), this)) {
    setObjectName(QStringLiteral("FilesDialog"));
    setWindowTitle(QStringLiteral("Files"));
    driveBox->setObjectName(QStringLiteral("driveBox"));
    folderTree->setObjectName(QStringLiteral("folderTree"));
    fileList->setObjectName(QStringLiteral("fileList"));
    filterBox->setObjectName(QStringLiteral("filterBox"));
    filterEdit->setObjectName(QStringLiteral("filterEdit"));
    projectFileList->setObjectName(QStringLiteral("projectFileList"));
    projectFileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    projectFileList->installEventFilter(this);
    buildLayout();

    connect(driveBox, &QComboBox::activated, this, [this] { changeDrive(driveBox->drive()); });
    connect(folderTree, &FolderList::pathChanged, this, &FilesDialog::changeFolder);
    connect(filterBox, &QComboBox::activated, this, &FilesDialog::chooseFileType);
    connect(filterEdit, &QLineEdit::returnPressed, this, &FilesDialog::applyFilter);
    connect(projectFileList, &QListWidget::itemSelectionChanged, this, &FilesDialog::takeSelection);
    connect(addButton, &QPushButton::clicked, this, &FilesDialog::addChosenFiles);
    connect(addAllButton, &QPushButton::clicked, this, &FilesDialog::addAllFiles);
    connect(removeButton, &QPushButton::clicked, this, &FilesDialog::removeChosenFiles);
    connect(removeAllButton, &QPushButton::clicked, this, &FilesDialog::removeAllFiles);
    connect(moveUpButton, &QPushButton::clicked, this, &FilesDialog::moveFileUp);
    connect(moveDownButton, &QPushButton::clicked, this, &FilesDialog::moveFileDown);
    connect(okButton, &QPushButton::clicked, this, &FilesDialog::acceptFiles);
    connect(cancelButton, &QPushButton::clicked, this, &FilesDialog::cancel);
    connect(helpButton, &QPushButton::clicked, this, &FilesDialog::showHelp);

    // Enter adds the chosen files in the file list and acts inside the browser
    // elsewhere, instead of closing the dialog.
    auto* rule = new DefaultButtonRule(okButton, this);
    rule->whileFocused(fileList, addButton);
    for (QWidget* browser : {static_cast<QWidget*>(filterBox), static_cast<QWidget*>(folderTree),
                             static_cast<QWidget*>(driveBox), static_cast<QWidget*>(filterEdit)}) {
        rule->whileFocused(browser);
    }

    loadValues();
}

void FilesDialog::buildLayout() {
    auto* lists = new QHBoxLayout;
    lists->addWidget(fileList, 1);
    lists->addWidget(folderTree, 1);

    auto* browserControls = new QGridLayout;
    auto* typeLabel = new QLabel(QStringLiteral("List files of &type:"), this);
    typeLabel->setBuddy(filterBox);
    auto* filterLabel = new QLabel(QStringLiteral("F&ilter:"), this);
    filterLabel->setBuddy(filterEdit);
    browserControls->addWidget(typeLabel, 0, 0);
    browserControls->addWidget(filterBox, 1, 0);
    browserControls->addWidget(filterLabel, 2, 0);
    browserControls->addWidget(filterEdit, 3, 0);
    browserControls->addWidget(driveBox, 1, 1);
    browserControls->setColumnStretch(0, 1);
    browserControls->setColumnStretch(1, 1);

    auto* browser = new QVBoxLayout;
    browser->addLayout(lists, 1);
    browser->addLayout(browserControls);

    auto* operations = new QVBoxLayout;
    operations->addSpacing(projectFilesLabel->sizeHint().height());
    for (QPushButton* button : {addButton, addAllButton, removeButton, removeAllButton}) {
        operations->addWidget(button);
    }
    operations->addSpacing(12);
    operations->addWidget(moveUpButton);
    operations->addWidget(moveDownButton);
    operations->addStretch();

    auto* project = new QVBoxLayout;
    projectFilesLabel->setBuddy(projectFileList);
    project->addWidget(projectFilesLabel);
    project->addWidget(projectFileList, 1);

    auto* upper = new QHBoxLayout;
    upper->addLayout(browser, 3);
    upper->addLayout(operations);
    upper->addLayout(project, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);

    auto* all = new QVBoxLayout(this);
    all->addLayout(upper, 1);
    all->addLayout(buttons);
    resize(760, 440);
}

void FilesDialog::loadValues() {
    const ProjectModel& project = workspace_.project;
    const Settings& settings = project.settings;
    RunIgnoringErrors([&] {
        filterBox->addItems(FileTypePatterns());
        filterBox->setCurrentIndex(0);
    });
    RunIgnoringErrors([&] {
        // Without files the browser starts in the project's own folder, where
        // the new-project file dialog has just been.
        const QString folder = !project.Chapters.empty()
                                   ? ResolveProjectPath(project.ProjectFolder, project.Chapters.back().RelPath)
                                   : project.ProjectFolder;
        folderTree->setPath(folder);
        driveBox->showDriveOf(folderTree->path());
        fileList->setFolder(folderTree->path());
    });
    RunIgnoringErrors([&] {
        filterEdit->setText(settings.TextFilter);
        const int type = filterBox->findText(settings.ComboFilter, Qt::MatchExactly);
        if (type >= 0) {
            filterBox->setCurrentIndex(type);
        }
        fileList->setPattern(filterEdit->text());
    });
    RunIgnoringErrors([&] {
        files_.load(project);
        showList();
    });
}

void FilesDialog::showList() {
    showing_ = true;
    projectFileList->clear();
    for (const ProjectFileRow& row : files_.rows()) {
        auto* item = new QListWidgetItem(row.name, projectFileList);
        item->setToolTip(row.relPath);
    }
    for (int row : files_.selection()) {
        projectFileList->item(row)->setSelected(true);
    }
    const int working = files_.workingRow();
    if (working >= 0) {
        projectFileList->setCurrentRow(working, QItemSelectionModel::NoUpdate);
        projectFileList->scrollToItem(projectFileList->item(working));
    }
    projectFilesLabel->setText(files_.caption());
    showing_ = false;
}

void FilesDialog::takeSelection() {
    if (showing_) {
        return;
    }
    QList<int> rows;
    for (const QListWidgetItem* item : projectFileList->selectedItems()) {
        rows << projectFileList->row(item);
    }
    files_.setSelection(rows);
}

bool FilesDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == projectFileList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeChosenFiles();
        return true;
    }
    return ModalDialog::eventFilter(watched, event);
}

void FilesDialog::changeDrive(const QString& root) {
    if (!folderTree->setPath(root)) {
        workspace_.env.ui.message(QStringLiteral("Device Error"), QStringLiteral("Device not available"),
                                  MessageIcon::None, MessageButtons::Ok);
        driveBox->showDriveOf(folderTree->path());
        return;
    }
    changeFolder(folderTree->path());
}

void FilesDialog::changeFolder(const QString& folder) {
    driveBox->showDriveOf(folder);
    if (!fileList->setFolder(folder)) {
        workspace_.env.ui.message(QStringLiteral("Directory Error"),
                                  QStringLiteral("It seems to be a problem with your directory"), MessageIcon::None,
                                  MessageButtons::Ok);
    }
}

void FilesDialog::chooseFileType(int index) {
    runReported(sites::kChooseFileType, [&] {
        const QString pattern = filterBox->itemText(index);
        filterEdit->setText(pattern);
        fileList->setPattern(pattern);
    });
}

void FilesDialog::applyFilter() {
    if (fileList->setPattern(filterEdit->text())) {
        return;
    }
    workspace_.env.ui.message(QStringLiteral("Filter error"),
                              QStringLiteral("Filter not supported.") + kCrLf +
                                  QStringLiteral("Use standard characters plus dots, semicolons and asterisks.") +
                                  kCrLf + QStringLiteral("Don't terminate the filter with a semicolon."),
                              MessageIcon::Exclamation, MessageButtons::Ok);
    filterEdit->setText(workspace_.project.settings.TextFilter);
}

void FilesDialog::addFiles(const QStringList& names) {
    const QString relPath = ProjectRelativeFolder(workspace_.project, fileList->folder());
    const FilesToAdd files = SortOutNewFiles(files_, names, relPath, workspace_.project.ProjectFileName);
    files_.add(files.accepted, relPath);
    showList();
    if (const QString refusal = files.refusalText(); !refusal.isEmpty()) {
        workspace_.env.ui.message(QStringLiteral("Files"), refusal, MessageIcon::Exclamation, MessageButtons::Ok);
    }
}

void FilesDialog::addChosenFiles() {
    runReported(sites::kAddChosenFiles, [&] { addFiles(fileList->selectedFiles()); });
}

void FilesDialog::addAllFiles() {
    runReported(sites::kAddAllFiles,
                [&] { addFiles(ChapterCandidates(workspace_.env.paths, fileList->folder(), fileList->files())); });
}

void FilesDialog::removeChosenFiles() {
    RunIgnoringErrors([&] {
        if (!files_.remove()) {
            return;
        }
        showList();
        if (files_.count() >= 2) {
            projectFileList->setFocus();
        }
    });
}

void FilesDialog::removeAllFiles() {
    runReported(sites::kRemoveAllFiles, [&] {
        files_.removeAll();
        showList();
    });
}

void FilesDialog::moveFileUp() {
    runReported(sites::kMoveFileUp, [&] {
        if (files_.moveUp()) {
            showList();
        }
    });
}

void FilesDialog::moveFileDown() {
    runReported(sites::kMoveFileDown, [&] {
        if (files_.moveDown()) {
            showList();
        }
    });
}

void FilesDialog::acceptFiles() {
    runReported(sites::kAcceptFiles, [&] {
        state_.dialogCancelled = false;
        if (files_.exceedsLimit()) {
            workspace_.env.ui.message(TooManyFilesTitle(), TooManyFilesText(), MessageIcon::None, MessageButtons::Ok);
            return;
        }
        ProjectModel& project = workspace_.project;
        files_.storeInto(project);
        project.settings.ComboFilter = filterBox->currentText();
        // A filter the file list refused would only be refused again next time.
        if (IsUsableFilter(filterEdit->text())) {
            project.settings.TextFilter = filterEdit->text();
        }
        closeWithOk();
    });
}

void FilesDialog::cancel() {
    runReported(sites::kCancelFiles, [&] { ModalDialog::cancel(); });
}

}  // namespace tessarel
