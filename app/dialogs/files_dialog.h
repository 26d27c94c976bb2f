#pragma once

#include "app/dialogs/dialog_support.h"
#include "app/dialogs/project_file_list.h"

#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tessarel {

class DriveList;
class FileList;
class FolderList;

/// The file-type patterns of the files dialog, in their order.
QStringList FileTypePatterns();

/// "Files": which source files the project documents, in what order. A file
/// browser on the left, the project's list on the right; the list and its
/// operations are ProjectFileList's.
class frmAddFiles : public ModalDialog {
    Q_OBJECT
public:
    frmAddFiles(QWidget* owner, Workspace& workspace, MainWindowState& state);

    void cmdAdd_Click();
    void cmdAddAll_Click();
    void cmdDelete_Click();
    void cmdDeleteAll_Click();
    void cmdMoveUp_Click();
    void cmdMoveDown_Click();
    void cmdOK_Click();
    void cmdCancel_Click() override;
    /// The user chose a file type.
    void cmbFilter_Click(int index);
    /// Enter in the filter box.
    void txtFilter_Enter();
    void Drive1_Change(const QString& root);
    void Dir1_Change(const QString& folder);

    const ProjectFileList& files() const { return files_; }

    DriveList* Drive1;
    FolderList* Dir1;
    FileList* File1;
    QComboBox* cmbFilter;
    QLineEdit* txtFilter;
    QLabel* lblProjectFiles;
    QListWidget* lstProjectFileName;
    QPushButton* cmdAdd;
    QPushButton* cmdAddAll;
    QPushButton* cmdDelete;
    QPushButton* cmdDeleteAll;
    QPushButton* cmdMoveUp;
    QPushButton* cmdMoveDown;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void Form_Load();
    void showList();
    void takeSelection();
    void addFiles(const QStringList& names);

    ProjectFileList files_;
    bool showing_ = false;
};

}  // namespace tessarel
