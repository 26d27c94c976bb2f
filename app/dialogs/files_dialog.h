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
class FilesDialog : public ModalDialog {
    Q_OBJECT
public:
    FilesDialog(QWidget* owner, Workspace& workspace, MainWindowState& state);

    void addChosenFiles();
    void addAllFiles();
    void removeChosenFiles();
    void removeAllFiles();
    void moveFileUp();
    void moveFileDown();
    void acceptFiles();
    void cancel() override;
    /// The user chose a file type.
    void chooseFileType(int index);
    /// Enter in the filter box.
    void applyFilter();
    void changeDrive(const QString& root);
    void changeFolder(const QString& folder);

    const ProjectFileList& files() const { return files_; }

    DriveList* driveBox;
    FolderList* folderTree;
    FileList* fileList;
    QComboBox* filterBox;
    QLineEdit* filterEdit;
    QLabel* projectFilesLabel;
    QListWidget* projectFileList;
    QPushButton* addButton;
    QPushButton* addAllButton;
    QPushButton* removeButton;
    QPushButton* removeAllButton;
    QPushButton* moveUpButton;
    QPushButton* moveDownButton;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QPushButton* helpButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void loadValues();
    void showList();
    void takeSelection();
    void addFiles(const QStringList& names);

    ProjectFileList files_;
    bool showing_ = false;
};

}  // namespace tessarel
