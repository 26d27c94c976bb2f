#include "app/dialogs/destination_dialog.h"

#include "app/dialogs/file_browsing.h"
#include "app/dialogs/folder_widgets.h"
#include "app/handler_guard.h"
#include "book/workspace.h"
#include "support/environment.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessarel {

DestinationDialog::DestinationDialog(QWidget* owner, Workspace& workspace, MainWindowState& state)
    : ModalDialog(owner, workspace, state, QStringLiteral("visual_dest_dir.txt.htm")),
      driveBox(new DriveList(this)),
      folderTree(new FolderList(this)),
      pathBox(new QLineEdit(this)),
      newFolderButton(new QPushButton(QStringLiteral("&New Folder..."), this)),
      okButton(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      helpButton(new QPushButton(QStringLiteral("&Help"), this)) {
    setObjectName(QStringLiteral("DestinationDialog"));
    setWindowTitle(QStringLiteral("Documents Destination Path"));
    driveBox->setObjectName(QStringLiteral("driveBox"));
    folderTree->setObjectName(QStringLiteral("folderTree"));
    pathBox->setObjectName(QStringLiteral("pathBox"));
    newFolderButton->setObjectName(QStringLiteral("newFolderButton"));
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    helpButton->setObjectName(QStringLiteral("helpButton"));

    auto* driveLabel = new QLabel(QStringLiteral("&Drive:"), this);
    driveLabel->setBuddy(driveBox);
    auto* folderLabel = new QLabel(QStringLiteral("&Folder:"), this);
    folderLabel->setBuddy(folderTree);
    auto* pathLabel = new QLabel(QStringLiteral("&Path:"), this);
    pathLabel->setBuddy(pathBox);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);
    buttons->addSpacing(12);
    buttons->addWidget(newFolderButton);
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(driveLabel, 0, 0);
    grid->addWidget(driveBox, 1, 0);
    grid->addWidget(folderLabel, 2, 0);
    grid->addWidget(folderTree, 3, 0);
    grid->addWidget(pathLabel, 4, 0);
    grid->addWidget(pathBox, 5, 0);
    grid->addLayout(buttons, 1, 1, 5, 1);
    grid->setRowStretch(3, 1);
    resize(440, 380);

    connect(driveBox, &QComboBox::activated, this, [this] { changeDrive(driveBox->drive()); });
    connect(folderTree, &FolderList::pathChanged, this, [this](const QString& folder) {
        driveBox->showDriveOf(folder);
        pathBox->setText(folder);
    });
    connect(pathBox, &QLineEdit::returnPressed, this, &DestinationDialog::openTypedFolder);
    connect(pathBox, &QLineEdit::textEdited, this, [this] { offeredAt_.clear(); });
    connect(newFolderButton, &QPushButton::clicked, this, &DestinationDialog::askForNewFolder);
    connect(okButton, &QPushButton::clicked, this, &DestinationDialog::acceptDestination);
    connect(cancelButton, &QPushButton::clicked, this, &DestinationDialog::cancel);
    connect(helpButton, &QPushButton::clicked, this, &DestinationDialog::showHelp);

    // Enter opens folders in the browser rather than closing the dialog.
    auto* rule = new DefaultButtonRule(okButton, this);
    rule->whileFocused(driveBox);
    rule->whileFocused(folderTree);
    rule->whileFocused(pathBox);

    loadValues();
}

void DestinationDialog::loadValues() {
    RunIgnoringErrors([&] {
        const QString folder = DestinationFolderToShow(workspace_.project);
        if (folderTree->setPath(folder)) {
            driveBox->showDriveOf(folderTree->path());
        }
    });
    pathBox->setText(folderTree->path());
    // A destination not made yet (New Project offers a "book" folder) stands
    // in the path box as if typed: OK keeps it and makes it.
    const QString wanted = workspace_.project.destinationFolder();
    if (QDir::isAbsolutePath(QDir::fromNativeSeparators(wanted)) && !QFileInfo(wanted).exists()) {
        pathBox->setText(QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(wanted))));
        pathBox->setModified(true);
        offeredAt_ = folderTree->path();
    }
}

QString DestinationDialog::typedFolder() const {
    const QString typed = QDir::fromNativeSeparators(pathBox->text().trimmed());
    if (typed.isEmpty()) {
        return {};
    }
    const QString absolute = QDir::isAbsolutePath(typed)
                                 ? typed
                                 : QDir(QDir::fromNativeSeparators(workspace_.project.ProjectFolder)).filePath(typed);
    return QDir::toNativeSeparators(QDir::cleanPath(absolute));
}

bool DestinationDialog::openTypedFolder() {
    const QString folder = typedFolder();
    if (folder.isEmpty() || !folderTree->setPath(folder)) {
        return false;
    }
    driveBox->showDriveOf(folderTree->path());
    pathBox->setText(folderTree->path());
    return true;
}

bool DestinationDialog::createFolder(const QString& name) {
    const QString trimmed = name.trimmed();
    const QString folder = QDir(QDir::fromNativeSeparators(folderTree->path())).filePath(trimmed);
    if (trimmed.isEmpty() || trimmed.contains(QLatin1Char('/')) || !QDir().mkpath(folder) ||
        !folderTree->setPath(folder)) {
        workspace_.env.ui.message(QStringLiteral("Documents Destination Path"),
                                  QStringLiteral("The folder \"%1\" cannot be created.").arg(trimmed),
                                  MessageIcon::Exclamation, MessageButtons::Ok);
        return false;
    }
    driveBox->showDriveOf(folderTree->path());
    pathBox->setText(folderTree->path());
    return true;
}

void DestinationDialog::askForNewFolder() {
    bool ok = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("New Folder"),
                                               QStringLiteral("Name of the new folder in %1:").arg(folderTree->path()),
                                               QLineEdit::Normal, QStringLiteral("doc"), &ok);
    if (ok) {
        createFolder(name);
    }
}

void DestinationDialog::changeDrive(const QString& root) {
    if (!folderTree->setPath(root)) {
        workspace_.env.ui.message(QStringLiteral("Device Error"), QStringLiteral("Device Not Available"),
                                  MessageIcon::None, MessageButtons::Ok);
        driveBox->showDriveOf(folderTree->path());
    }
}

void DestinationDialog::acceptDestination() {
    runReported(sites::kAcceptDestination, [&] {
        // A path the user typed and did not open yet is the choice: made when missing.
        // The offered folder stands until the user chooses another in the tree.
        const bool offerStands = offeredAt_.isEmpty() || offeredAt_ == folderTree->path();
        const QString typed = pathBox->isModified() && offerStands ? typedFolder() : QString();
        if (!typed.isEmpty() && typed != folderTree->path() && !openTypedFolder()) {
            if (!QDir().mkpath(QDir::fromNativeSeparators(typed)) || !openTypedFolder()) {
                workspace_.env.ui.message(QStringLiteral("Documents Destination Path"),
                                          QStringLiteral("The folder \"%1\" cannot be created.").arg(typed),
                                          MessageIcon::Exclamation, MessageButtons::Ok);
                return;
            }
        }
        state_.dialogCancelled = false;
        workspace_.project.settings.RelDestPath = ProjectRelativeFolder(workspace_.project, folderTree->path());
        closeWithOk();
    });
}

void DestinationDialog::cancel() {
    runReported(sites::kCancelDestination, [&] { ModalDialog::cancel(); });
}

}  // namespace tessarel
