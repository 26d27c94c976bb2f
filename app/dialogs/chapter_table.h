#pragma once

#include <QString>

#include <vector>

namespace tessarel {

struct ProjectModel;

struct ChapterRow {
    QString name;
    QString relPath;
};

/// The rows of the default chapter dialog: one per chapter, sortable by
/// either column. Clicking the sorted column's header reverses the order;
/// clicking the other sorts by it, ascending.
class ChapterTable {
public:
    /// The project's chapters, sorted by file name, ascending.
    explicit ChapterTable(const ProjectModel& project);
    void clickHeader(int column);

    const std::vector<ChapterRow>& rows() const { return rows_; }
    int sortColumn() const { return column_; }
    bool descending() const { return descending_; }

private:
    void sort();

    std::vector<ChapterRow> rows_;
    int column_ = 0;
    bool descending_ = false;
};

/// Above this many chapters the list scrolls, and the second column gives way
/// to the scroll bar.
inline constexpr int kChaptersWithoutScrolling = 14;
/// The width of the "Relative Path" column in a list `listWidth` wide.
int RelativePathColumnWidth(int listWidth, int fileNameWidth, int chapterCount, int scrollBarWidth);
/// A stored relative folder as this platform writes folders: a project made on
/// Windows stores "python\\", which elsewhere reads "python/".
QString ShownRelativePath(const QString& relPath);

}  // namespace tessarel
