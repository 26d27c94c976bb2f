#pragma once

#include "app/dialogs/dialog_support.h"

class QPushButton;

namespace tessarel {

class DriveList;
class FolderList;

/// "Documents Destination Path": the folder the build writes the book into.
class DestinationDialog : public ModalDialog {
    Q_OBJECT
public:
    DestinationDialog(QWidget* owner, Workspace& workspace, MainWindowState& state);

    void acceptDestination();
    void cancel() override;
    void changeDrive(const QString& root);

    DriveList* driveBox;
    FolderList* folderTree;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QPushButton* helpButton;

private:
    void loadValues();
};

}  // namespace tessarel
