#pragma once

#include "app/dialogs/dialog_support.h"

class QLineEdit;
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
    /// Opens the folder typed into the path box; false when it does not exist.
    bool openTypedFolder();
    /// Makes a subfolder of the shown folder and opens it; false, telling the
    /// user, when it cannot be made.
    bool createFolder(const QString& name);

    DriveList* driveBox;
    FolderList* folderTree;
    QLineEdit* pathBox;
    QPushButton* newFolderButton;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QPushButton* helpButton;

private:
    void loadValues();
    void askForNewFolder();
    /// The typed path as an absolute folder: a relative one lies below the project.
    QString typedFolder() const;

    /// Where the tree stood when a destination not made yet was offered in
    /// the path box; "" when nothing was offered or the user typed since.
    QString offeredAt_;
};

}  // namespace tessarel
