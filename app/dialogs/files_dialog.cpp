#include "app/dialogs/files_dialog.h"

#include "app/dialogs/file_browsing.h"
#include "app/dialogs/folder_widgets.h"
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

const QString kModule = QStringLiteral("frmAddFiles");

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

frmAddFiles::frmAddFiles(QWidget* owner, Workspace& workspace, MainWindowState& state)
    : ModalDialog(owner, workspace, state, QStringLiteral("visual_files.txt.htm")),
      Drive1(new DriveList(this)),
      Dir1(new FolderList(this)),
      File1(new FileList(this)),
      cmbFilter(new QComboBox(this)),
      txtFilter(new QLineEdit(this)),
      lblProjectFiles(new QLabel(this)),
      lstProjectFileName(new QListWidget(this)),
      cmdAdd(MakeButton(QStringLiteral("&Add"), QStringLiteral("cmdAdd"), this)),
      cmdAddAll(MakeButton(QStringLiteral("Add A&ll"), QStringLiteral("cmdAddAll"), this)),
      cmdDelete(MakeButton(QStringLiteral("&Remove"), QStringLiteral("cmdDelete"), this)),
      cmdDeleteAll(MakeButton(QStringLiteral("R&emove All"), QStringLiteral("cmdDeleteAll"), this)),
      cmdMoveUp(MakeButton(QStringLiteral("Move &Up"), QStringLiteral("cmdMoveUp"), this)),
      cmdMoveDown(MakeButton(QStringLiteral("Move &Down"), QStringLiteral("cmdMoveDown"), this)),
      cmdOK(MakeButton(QStringLiteral("OK"), QStringLiteral("cmdOK"), this)),
      cmdCancel(MakeButton(QStringLiteral("Cancel"), QStringLiteral("cmdCancel"), this)),
      cmdHelp(MakeButton(QStringLiteral("&Help"), QStringLiteral("cmdHelp"), this)) {
    setObjectName(QStringLiteral("frmAddFiles"));
    setWindowTitle(QStringLiteral("Files"));
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1->setObjectName(QStringLiteral("Dir1"));
    File1->setObjectName(QStringLiteral("File1"));
    cmbFilter->setObjectName(QStringLiteral("cmbFilter"));
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    lstProjectFileName->setObjectName(QStringLiteral("lstProjectFileName"));
    lstProjectFileName->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstProjectFileName->installEventFilter(this);
    buildLayout();

    connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(Drive1->drive()); });
    connect(Dir1, &FolderList::pathChanged, this, &frmAddFiles::Dir1_Change);
    connect(cmbFilter, &QComboBox::activated, this, &frmAddFiles::cmbFilter_Click);
    connect(txtFilter, &QLineEdit::returnPressed, this, &frmAddFiles::txtFilter_Enter);
    connect(lstProjectFileName, &QListWidget::itemSelectionChanged, this, &frmAddFiles::takeSelection);
    connect(cmdAdd, &QPushButton::clicked, this, &frmAddFiles::cmdAdd_Click);
    connect(cmdAddAll, &QPushButton::clicked, this, &frmAddFiles::cmdAddAll_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmAddFiles::cmdDelete_Click);
    connect(cmdDeleteAll, &QPushButton::clicked, this, &frmAddFiles::cmdDeleteAll_Click);
    connect(cmdMoveUp, &QPushButton::clicked, this, &frmAddFiles::cmdMoveUp_Click);
    connect(cmdMoveDown, &QPushButton::clicked, this, &frmAddFiles::cmdMoveDown_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmAddFiles::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAddFiles::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmAddFiles::cmdHelp_Click);

    // Enter adds the chosen files in the file list and acts inside the browser
    // elsewhere, instead of closing the dialog.
    auto* rule = new DefaultButtonRule(cmdOK, this);
    rule->whileFocused(File1, cmdAdd);
    for (QWidget* browser : {static_cast<QWidget*>(cmbFilter), static_cast<QWidget*>(Dir1),
                             static_cast<QWidget*>(Drive1), static_cast<QWidget*>(txtFilter)}) {
        rule->whileFocused(browser);
    }

    Form_Load();
}

void frmAddFiles::buildLayout() {
    auto* lists = new QHBoxLayout;
    lists->addWidget(File1, 1);
    lists->addWidget(Dir1, 1);

    auto* browserControls = new QGridLayout;
    auto* typeLabel = new QLabel(QStringLiteral("List files of &type:"), this);
    typeLabel->setBuddy(cmbFilter);
    auto* filterLabel = new QLabel(QStringLiteral("F&ilter:"), this);
    filterLabel->setBuddy(txtFilter);
    browserControls->addWidget(typeLabel, 0, 0);
    browserControls->addWidget(cmbFilter, 1, 0);
    browserControls->addWidget(filterLabel, 2, 0);
    browserControls->addWidget(txtFilter, 3, 0);
    browserControls->addWidget(Drive1, 1, 1);
    browserControls->setColumnStretch(0, 1);
    browserControls->setColumnStretch(1, 1);

    auto* browser = new QVBoxLayout;
    browser->addLayout(lists, 1);
    browser->addLayout(browserControls);

    auto* operations = new QVBoxLayout;
    operations->addSpacing(lblProjectFiles->sizeHint().height());
    for (QPushButton* button : {cmdAdd, cmdAddAll, cmdDelete, cmdDeleteAll}) {
        operations->addWidget(button);
    }
    operations->addSpacing(12);
    operations->addWidget(cmdMoveUp);
    operations->addWidget(cmdMoveDown);
    operations->addStretch();

    auto* project = new QVBoxLayout;
    lblProjectFiles->setBuddy(lstProjectFileName);
    project->addWidget(lblProjectFiles);
    project->addWidget(lstProjectFileName, 1);

    auto* upper = new QHBoxLayout;
    upper->addLayout(browser, 3);
    upper->addLayout(operations);
    upper->addLayout(project, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);

    auto* all = new QVBoxLayout(this);
    all->addLayout(upper, 1);
    all->addLayout(buttons);
    resize(760, 440);
}

void frmAddFiles::Form_Load() {
    const ProjectModel& project = workspace_.project;
    const Settings& settings = project.settings;
    RunPassingOver([&] {
        cmbFilter->addItems(FileTypePatterns());
        cmbFilter->setCurrentIndex(0);
    });
    RunPassingOver([&] {
        // Without files the browser starts in the project's own folder, where
        // the new-project file dialog has just been.
        const QString folder =
            project.NumberOfChapters > 0
                ? ResolveProjectPath(project.ProjectFolder,
                                     project.Chapters[static_cast<size_t>(project.NumberOfChapters - 1)].RelPath)
                : project.ProjectFolder;
        Dir1->setPath(folder);
        Drive1->showDriveOf(Dir1->path());
        File1->setFolder(Dir1->path());
    });
    RunPassingOver([&] {
        txtFilter->setText(settings.TextFilter);
        const int type = cmbFilter->findText(settings.ComboFilter, Qt::MatchExactly);
        if (type >= 0) {
            cmbFilter->setCurrentIndex(type);
        }
        File1->setPattern(txtFilter->text());
    });
    RunPassingOver([&] {
        files_.load(project);
        showList();
    });
}

void frmAddFiles::showList() {
    showing_ = true;
    lstProjectFileName->clear();
    for (const ProjectFileRow& row : files_.rows()) {
        auto* item = new QListWidgetItem(row.name, lstProjectFileName);
        item->setToolTip(row.relPath);
    }
    for (int row : files_.selection()) {
        lstProjectFileName->item(row)->setSelected(true);
    }
    const int working = files_.workingRow();
    if (working >= 0) {
        lstProjectFileName->setCurrentRow(working, QItemSelectionModel::NoUpdate);
        lstProjectFileName->scrollToItem(lstProjectFileName->item(working));
    }
    lblProjectFiles->setText(files_.caption());
    showing_ = false;
}

void frmAddFiles::takeSelection() {
    if (showing_) {
        return;
    }
    QList<int> rows;
    for (const QListWidgetItem* item : lstProjectFileName->selectedItems()) {
        rows << lstProjectFileName->row(item);
    }
    files_.setSelection(rows);
}

bool frmAddFiles::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstProjectFileName && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        cmdDelete_Click();
        return true;
    }
    return ModalDialog::eventFilter(watched, event);
}

void frmAddFiles::Drive1_Change(const QString& root) {
    if (!Dir1->setPath(root)) {
        workspace_.env.ui.message(QStringLiteral("Device Error"), QStringLiteral("Device not available"),
                                  MessageIcon::None, MessageButtons::Ok);
        Drive1->showDriveOf(Dir1->path());
        return;
    }
    Dir1_Change(Dir1->path());
}

void frmAddFiles::Dir1_Change(const QString& folder) {
    Drive1->showDriveOf(folder);
    if (!File1->setFolder(folder)) {
        workspace_.env.ui.message(QStringLiteral("Directory Error"),
                                  QStringLiteral("It seems to be a problem with your directory"), MessageIcon::None,
                                  MessageButtons::Ok);
    }
}

void frmAddFiles::cmbFilter_Click(int index) {
    runReported(kModule, QStringLiteral("cmbFilter_Click"), [&] {
        const QString pattern = cmbFilter->itemText(index);
        txtFilter->setText(pattern);
        File1->setPattern(pattern);
    });
}

void frmAddFiles::txtFilter_Enter() {
    if (File1->setPattern(txtFilter->text())) {
        return;
    }
    workspace_.env.ui.message(QStringLiteral("Filter error"),
                              QStringLiteral("Filter not supported.") + kCrLf +
                                  QStringLiteral("Use standard characters plus dots, semicolons and asterisks.") +
                                  kCrLf + QStringLiteral("Don't terminate the filter with a semicolon."),
                              MessageIcon::Exclamation, MessageButtons::Ok);
    txtFilter->setText(workspace_.project.settings.TextFilter);
}

void frmAddFiles::addFiles(const QStringList& names) {
    files_.add(names, ProjectRelativeFolder(workspace_.project, File1->folder()));
    showList();
}

void frmAddFiles::cmdAdd_Click() {
    runReported(kModule, QStringLiteral("cmdAdd_Click"), [&] { addFiles(File1->selectedFiles()); });
}

void frmAddFiles::cmdAddAll_Click() {
    runReported(kModule, QStringLiteral("cmdAddAll_Click"), [&] { addFiles(File1->files()); });
}

void frmAddFiles::cmdDelete_Click() {
    RunPassingOver([&] {
        if (!files_.remove()) {
            return;
        }
        showList();
        if (files_.count() >= 2) {
            lstProjectFileName->setFocus();
        }
    });
}

void frmAddFiles::cmdDeleteAll_Click() {
    runReported(kModule, QStringLiteral("cmdDeleteAll_Click"), [&] {
        files_.removeAll();
        showList();
    });
}

void frmAddFiles::cmdMoveUp_Click() {
    runReported(kModule, QStringLiteral("cmdMoveUp_Click"), [&] {
        if (files_.moveUp()) {
            showList();
        }
    });
}

void frmAddFiles::cmdMoveDown_Click() {
    runReported(kModule, QStringLiteral("cmdMoveDown_Click"), [&] {
        if (files_.moveDown()) {
            showList();
        }
    });
}

void frmAddFiles::cmdOK_Click() {
    runReported(kModule, QStringLiteral("cmdOK_Click"), [&] {
        state_.mbDialogCancel = false;
        if (files_.exceedsLimit()) {
            workspace_.env.ui.message(TooManyFilesTitle(), TooManyFilesText(), MessageIcon::None, MessageButtons::Ok);
            return;
        }
        ProjectModel& project = workspace_.project;
        files_.storeInto(project);
        project.settings.ComboFilter = cmbFilter->currentText();
        // A filter the file list refused would only be refused again next time.
        if (IsUsableFilter(txtFilter->text())) {
            project.settings.TextFilter = txtFilter->text();
        }
        closeWithOk();
    });
}

void frmAddFiles::cmdCancel_Click() {
    runReported(kModule, QStringLiteral("cmdCancel_Click"), [&] { ModalDialog::cmdCancel_Click(); });
}

}  // namespace tessarel
