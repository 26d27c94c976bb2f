#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace tessarel {

struct AppPaths;
struct ProjectModel;

/// One row of the project files dialog: a file name and its folder relative to
/// the project folder. Keeping both in one row keeps them in step.
struct ProjectFileRow {
    QString name;
    QString relPath;
};

/// The project's file list while the files dialog edits it: its rows, which of
/// them are selected, and the list operations with their selection rules.
class ProjectFileList {
public:
    /// A row for each of the project's chapters; nothing selected.
    void load(const ProjectModel& project);
    /// Appends one row per name, all in the same folder; duplicates are kept.
    void add(const QStringList& names, const QString& relPath);
    /// Whether a row holds that file.
    bool contains(const QString& name, const QString& relPath) const;

    /// The selected rows; out-of-range rows are dropped.
    void setSelection(const QList<int>& rows);
    const QList<int>& selection() const { return selection_; }
    /// The row the operations work on: the last selected row in list order, -1 for none.
    int workingRow() const;

    /// Removes the working row. With two or more rows left the row now at its
    /// place (or the last row) is selected; with one or none, nothing.
    /// Returns whether a row was removed.
    bool remove();
    void removeAll();
    /// Moves the working row one place, selecting it at its new place; false at an end.
    bool moveUp();
    bool moveDown();

    const std::vector<ProjectFileRow>& rows() const { return rows_; }
    int count() const { return static_cast<int>(rows_.size()); }
    /// "&Project Files: " and the row count.
    QString caption() const;
    /// More rows than a project may hold.
    bool exceedsLimit() const;
    /// Replaces the model's chapter list with the rows; later slots are left
    /// alone. Refuses (false) a list over the limit, leaving the model as it was.
    bool storeInto(ProjectModel& project) const;

private:
    void selectOnly(int row);

    std::vector<ProjectFileRow> rows_;
    QList<int> selection_;
};

/// New files sorted out before they are added: the project file itself is no
/// chapter, and a file already listed (or chosen twice) is listed once.
struct FilesToAdd {
    QStringList accepted;
    QStringList projectFile;
    QStringList duplicates;
    /// What the user is told about the refused files; "" when none was refused.
    QString refusalText() const;
};
FilesToAdd SortOutNewFiles(const ProjectFileList& list, const QStringList& names, const QString& relPath,
                           const QString& projectFileName);

/// The files of `folder` that Add All offers as chapters: `names` without the
/// files Tessarel wrote there (the pages of single files, a book's files).
QStringList ChapterCandidates(const AppPaths& paths, const QString& folder, const QStringList& names);

/// The message shown when OK finds too many rows, and its title.
QString TooManyFilesText();
QString TooManyFilesTitle();

}  // namespace tessarel
