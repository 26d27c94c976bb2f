#include "app/dialogs/project_file_list.h"

#include "book/book_files.h"
#include "project/project_model.h"
#include "support/paths.h"

#include <algorithm>
#include <utility>

namespace tessarel {

void ProjectFileList::load(const ProjectModel& project) {
    rows_.clear();
    selection_.clear();
    for (const Chapter& chapter : project.Chapters) {
        rows_.push_back({chapter.Name, chapter.RelPath});
    }
}

void ProjectFileList::add(const QStringList& names, const QString& relPath) {
    for (const QString& name : names) {
        rows_.push_back({name, relPath});
    }
}

bool ProjectFileList::contains(const QString& name, const QString& relPath) const {
    return std::any_of(rows_.begin(), rows_.end(),
                       [&](const ProjectFileRow& row) { return row.name == name && row.relPath == relPath; });
}

FilesToAdd SortOutNewFiles(const ProjectFileList& list, const QStringList& names, const QString& relPath,
                           const QString& projectFileName) {
    FilesToAdd files;
    // The project folder is stored as "" (or "./" by hand-edited files).
    const bool projectFolder = relPath.isEmpty() || relPath == QStringLiteral("./") || relPath == QStringLiteral(".\\");
    for (const QString& name : names) {
        if (projectFolder && !projectFileName.isEmpty() && name == projectFileName) {
            files.projectFile << name;
        } else if (list.contains(name, relPath) || files.accepted.contains(name)) {
            files.duplicates << relPath + name;
        } else {
            files.accepted << name;
        }
    }
    return files;
}

QString FilesToAdd::refusalText() const {
    QStringList parts;
    if (!projectFile.isEmpty()) {
        parts << projectFile.constFirst() + QStringLiteral(" is the project file itself; it cannot be a chapter.");
    }
    if (!duplicates.isEmpty()) {
        parts << QStringLiteral("Already in the project, so not added again: ") +
                     duplicates.join(QStringLiteral(", ")) + QLatin1Char('.');
    }
    return parts.join(QLatin1Char('\n'));
}

void ProjectFileList::setSelection(const QList<int>& rows) {
    selection_.clear();
    for (int row : rows) {
        if (row >= 0 && row < count() && !selection_.contains(row)) {
            selection_ << row;
        }
    }
    std::sort(selection_.begin(), selection_.end());
}

int ProjectFileList::workingRow() const { return selection_.isEmpty() ? -1 : selection_.back(); }

void ProjectFileList::selectOnly(int row) {
    selection_.clear();
    if (row >= 0 && row < count()) {
        selection_ << row;
    }
}

bool ProjectFileList::remove() {
    const int row = workingRow();
    if (row < 0) {
        return false;
    }
    rows_.erase(rows_.begin() + row);
    if (count() >= 2) {
        selectOnly(std::min(row, count() - 1));
    } else {
        selection_.clear();
    }
    return true;
}

void ProjectFileList::removeAll() {
    rows_.clear();
    selection_.clear();
}

bool ProjectFileList::moveUp() {
    const int row = workingRow();
    if (row < 1 || row > count() - 1) {
        return false;
    }
    std::swap(rows_[static_cast<size_t>(row)], rows_[static_cast<size_t>(row - 1)]);
    selectOnly(row - 1);
    return true;
}

bool ProjectFileList::moveDown() {
    const int row = workingRow();
    if (row < 0 || row >= count() - 1) {
        return false;
    }
    std::swap(rows_[static_cast<size_t>(row)], rows_[static_cast<size_t>(row + 1)]);
    selectOnly(row + 1);
    return true;
}

QString ProjectFileList::caption() const { return QStringLiteral("&Project Files: ") + QString::number(count()); }

bool ProjectFileList::exceedsLimit() const { return count() > kMaxChapters; }

bool ProjectFileList::storeInto(ProjectModel& project) const {
    if (exceedsLimit()) {
        return false;
    }
    project.UncountedChapters = 0;
    project.Chapters.clear();
    project.Chapters.reserve(rows_.size());
    for (const ProjectFileRow& row : rows_) {
        project.Chapters.push_back({row.name, row.relPath});
    }
    return true;
}

QStringList ChapterCandidates(const AppPaths& paths, const QString& folder, const QStringList& names) {
    QStringList candidates;
    for (const QString& name : names) {
        if (!IsTessarelFile(paths, JoinFolderAndFile(folder, name))) {
            candidates << name;
        }
    }
    return candidates;
}

QString TooManyFilesText() {
    return QStringLiteral("the maximum number of files (") + QString::number(kMaxChapters) +
           QStringLiteral(") has been exceeded.");
}

QString TooManyFilesTitle() { return QStringLiteral("Invalid number of project files"); }

}  // namespace tessarel
