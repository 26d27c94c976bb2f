#include "app/dialogs/destination_dialog.h"

#include "app/dialogs/file_browsing.h"
#include "app/dialogs/folder_widgets.h"
#include "app/handler_guard.h"
#include "book/workspace.h"
#include "support/environment.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessarel {

DestinationDialog::DestinationDialog(QWidget* owner, Workspace& workspace, MainWindowState& state)
    : ModalDialog(owner, workspace, state, QStringLiteral("visual_dest_dir.txt.htm")),
      driveBox(new DriveList(this)),
      folderTree(new FolderList(this)),
      okButton(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      helpButton(new QPushButton(QStringLiteral("&Help"), this)) {
    setObjectName(QStringLiteral("DestinationDialog"));
    setWindowTitle(QStringLiteral("Documents Destination Path"));
    driveBox->setObjectName(QStringLiteral("driveBox"));
    folderTree->setObjectName(QStringLiteral("folderTree"));
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    helpButton->setObjectName(QStringLiteral("helpButton"));

    auto* driveLabel = new QLabel(QStringLiteral("&Drive:"), this);
    driveLabel->setBuddy(driveBox);
    auto* folderLabel = new QLabel(QStringLiteral("&Folder:"), this);
    folderLabel->setBuddy(folderTree);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(driveLabel, 0, 0);
    grid->addWidget(driveBox, 1, 0);
    grid->addWidget(folderLabel, 2, 0);
    grid->addWidget(folderTree, 3, 0);
    grid->addLayout(buttons, 1, 1, 3, 1);
    grid->setRowStretch(3, 1);
    resize(440, 380);

    connect(driveBox, &QComboBox::activated, this, [this] { changeDrive(driveBox->drive()); });
    connect(folderTree, &FolderList::pathChanged, this,
            [this](const QString& folder) { driveBox->showDriveOf(folder); });
    connect(okButton, &QPushButton::clicked, this, &DestinationDialog::acceptDestination);
    connect(cancelButton, &QPushButton::clicked, this, &DestinationDialog::cancel);
    connect(helpButton, &QPushButton::clicked, this, &DestinationDialog::showHelp);

    // Enter opens folders in the browser rather than closing the dialog.
    auto* rule = new DefaultButtonRule(okButton, this);
    rule->whileFocused(driveBox);
    rule->whileFocused(folderTree);

    loadValues();
}

void DestinationDialog::loadValues() {
    RunIgnoringErrors([&] {
        const QString folder = DestinationFolderToShow(workspace_.project);
        if (folderTree->setPath(folder)) {
            driveBox->showDriveOf(folderTree->path());
        }
    });
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
        state_.dialogCancelled = false;
        workspace_.project.settings.RelDestPath = ProjectRelativeFolder(workspace_.project, folderTree->path());
        closeWithOk();
    });
}

void DestinationDialog::cancel() {
    runReported(sites::kCancelDestination, [&] { ModalDialog::cancel(); });
}

}  // namespace tessarel
