#include "app/dialogs/folder_widgets.h"

#include "app/dialogs/file_browsing.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace tessarel {

namespace {
constexpr int kPathRole = Qt::UserRole;
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) { setRoots(VolumeRoots()); }

void DriveList::setRoots(const QStringList& roots) {
    clear();
    const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const QString& root : roots) {
        addItem(icon, root, root);
    }
}

QString DriveList::drive() const { return currentData().toString(); }

bool DriveList::showDriveOf(const QString& folder) {
    QStringList roots;
    for (int i = 0; i < count(); ++i) {
        roots << itemData(i).toString();
    }
    const int index = static_cast<int>(roots.indexOf(VolumeContaining(folder, roots)));
    if (index < 0) {
        return false;
    }
    setCurrentIndex(index);
    return true;
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, &FolderList::open);
    setPath(QDir::currentPath());
}

bool FolderList::setPath(const QString& folder) {
    const QString existing = ExistingFolder(folder);
    if (existing.isEmpty()) {
        return false;
    }
    path_ = existing;
    clear();
    const QStyle* style = QApplication::style();
    const QIcon open = style->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList chain = FolderChain(path_);
    QListWidgetItem* current = nullptr;
    for (qsizetype depth = 0; depth < chain.size(); ++depth) {
        auto* item =
            new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + FolderCaption(chain[depth]), this);
        item->setData(kPathRole, chain[depth]);
        current = item;
    }
    const QString indent(chain.size() * 2, QLatin1Char(' '));
    for (const QString& sub : SubFolders(path_)) {
        auto* item = new QListWidgetItem(closed, indent + FolderCaption(sub), this);
        item->setData(kPathRole, sub);
    }
    setCurrentItem(current);
    return true;
}

QString FolderList::folderOf(const QListWidgetItem* item) {
    return item != nullptr ? item->data(kPathRole).toString() : QString();
}

void FolderList::open(QListWidgetItem* item) {
    const QString folder = folderOf(item);
    if (folder.isEmpty() || folder == path_) {
        return;
    }
    if (setPath(folder)) {
        Q_EMIT pathChanged(path_);
    }
}

FileList::FileList(QWidget* parent) : QListWidget(parent) { setSelectionMode(QAbstractItemView::ExtendedSelection); }

bool FileList::setFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable() || !QDir(folder).isReadable()) {
        return false;
    }
    folder_ = ExistingFolder(folder);
    fill();
    return true;
}

bool FileList::setPattern(const QString& pattern) {
    if (!IsUsableFilter(pattern)) {
        return false;
    }
    pattern_ = pattern;
    fill();
    return true;
}

void FileList::fill() {
    clear();
    if (!folder_.isEmpty()) {
        addItems(FilesMatching(folder_, pattern_));
    }
}

QStringList FileList::files() const {
    QStringList names;
    for (int i = 0; i < count(); ++i) {
        names << item(i)->text();
    }
    return names;
}

QStringList FileList::selectedFiles() const {
    QStringList names;
    for (int i = 0; i < count(); ++i) {
        if (item(i)->isSelected()) {
            names << item(i)->text();
        }
    }
    return names;
}

}  // namespace tessarel
