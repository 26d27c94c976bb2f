#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QStringList>

namespace tessarel {

/// The drive list: the mounted volumes. `activated` is the user's choice;
/// showing the volume of a folder announces nothing.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent);
    void setRoots(const QStringList& roots);
    /// The chosen volume's root.
    QString drive() const;
    /// Shows the volume that holds `folder`; false when no volume does.
    bool showDriveOf(const QString& folder);
};

/// The folder list: the folders from the root down to the current one, then
/// the current one's subfolders. Activating a line (double click or Enter)
/// opens that folder.
class FolderList : public QListWidget {
    Q_OBJECT
public:
    /// Starts where the program was started from.
    explicit FolderList(QWidget* parent);
    /// Shows `folder`; false, changing nothing, when it is not an existing folder.
    bool setPath(const QString& folder);
    QString path() const { return path_; }
    /// The full path of the folder on a line.
    static QString folderOf(const QListWidgetItem* item);

Q_SIGNALS:
    /// The user opened another folder.
    void pathChanged(const QString& folder);

private:
    void open(QListWidgetItem* item);

    QString path_;
};

/// The file list: the files of one folder that match a pattern, several
/// selectable.
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent);
    /// False, keeping the list, when the folder cannot be read.
    bool setFolder(const QString& folder);
    /// False, keeping the list, when the pattern cannot be used.
    bool setPattern(const QString& pattern);
    QString folder() const { return folder_; }
    QString pattern() const { return pattern_; }
    /// Every file shown, and the selected ones, in list order.
    QStringList files() const;
    QStringList selectedFiles() const;

private:
    void fill();

    QString folder_;
    QString pattern_ = QStringLiteral("*.*");
};

}  // namespace tessarel
