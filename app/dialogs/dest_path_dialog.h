#pragma once

#include "app/dialogs/dialog_support.h"

class QPushButton;

namespace tessarel {

class DriveList;
class FolderList;

/// "Documents Destination Path": the folder the build writes the book into.
class frmDestPath : public ModalDialog {
    Q_OBJECT
public:
    frmDestPath(QWidget* owner, Workspace& workspace, MainWindowState& state);

    void cmdOK_Click();
    void cmdCancel_Click() override;
    void Drive1_Change(const QString& root);

    DriveList* Drive1;
    FolderList* Dir1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

private:
    void Form_Load();
};

}  // namespace tessarel
