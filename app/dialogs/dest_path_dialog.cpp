#include "app/dialogs/dest_path_dialog.h"

#include "app/dialogs/file_browsing.h"
#include "app/dialogs/folder_widgets.h"
#include "book/workspace.h"
#include "support/environment.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessarel {

namespace {
const QString kModule = QStringLiteral("frmDestPath");
}

frmDestPath::frmDestPath(QWidget* owner, Workspace& workspace, MainWindowState& state)
    : ModalDialog(owner, workspace, state, QStringLiteral("visual_dest_dir.txt.htm")),
      Drive1(new DriveList(this)),
      Dir1(new FolderList(this)),
      cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      cmdHelp(new QPushButton(QStringLiteral("&Help"), this)) {
    setObjectName(QStringLiteral("frmDestPath"));
    setWindowTitle(QStringLiteral("Documents Destination Path"));
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1->setObjectName(QStringLiteral("Dir1"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));

    auto* driveLabel = new QLabel(QStringLiteral("&Drive:"), this);
    driveLabel->setBuddy(Drive1);
    auto* folderLabel = new QLabel(QStringLiteral("&Folder:"), this);
    folderLabel->setBuddy(Dir1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(driveLabel, 0, 0);
    grid->addWidget(Drive1, 1, 0);
    grid->addWidget(folderLabel, 2, 0);
    grid->addWidget(Dir1, 3, 0);
    grid->addLayout(buttons, 1, 1, 3, 1);
    grid->setRowStretch(3, 1);
    resize(440, 380);

    connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(Drive1->drive()); });
    connect(Dir1, &FolderList::pathChanged, this, [this](const QString& folder) { Drive1->showDriveOf(folder); });
    connect(cmdOK, &QPushButton::clicked, this, &frmDestPath::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDestPath::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmDestPath::cmdHelp_Click);

    // Enter opens folders in the browser rather than closing the dialog.
    auto* rule = new DefaultButtonRule(cmdOK, this);
    rule->whileFocused(Drive1);
    rule->whileFocused(Dir1);

    Form_Load();
}

void frmDestPath::Form_Load() {
    RunPassingOver([&] {
        const QString folder = DestinationFolderToShow(workspace_.project);
        if (Dir1->setPath(folder)) {
            Drive1->showDriveOf(Dir1->path());
        }
    });
}

void frmDestPath::Drive1_Change(const QString& root) {
    if (!Dir1->setPath(root)) {
        workspace_.env.ui.message(QStringLiteral("Device Error"), QStringLiteral("Device Not Available"),
                                  MessageIcon::None, MessageButtons::Ok);
        Drive1->showDriveOf(Dir1->path());
    }
}

void frmDestPath::cmdOK_Click() {
    runReported(kModule, QStringLiteral("cmdOK_Click"), [&] {
        state_.mbDialogCancel = false;
        workspace_.project.settings.RelDestPath = ProjectRelativeFolder(workspace_.project, Dir1->path());
        closeWithOk();
    });
}

void frmDestPath::cmdCancel_Click() {
    runReported(kModule, QStringLiteral("cmdCancel_Click"), [&] { ModalDialog::cmdCancel_Click(); });
}

}  // namespace tessarel
