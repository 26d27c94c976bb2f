#include "app/dialogs/chapter_table.h"

#include "project/project_model.h"
#include "support/sort.h"

#include <algorithm>

namespace tessarel {

ChapterTable::ChapterTable(const ProjectModel& project) {
    for (const Chapter& chapter : project.Chapters) {
        rows_.push_back({chapter.Name, chapter.RelPath});
    }
    sort();
}

void ChapterTable::clickHeader(int column) {
    if (column == column_) {
        descending_ = !descending_;
    } else {
        column_ = column;
        descending_ = false;
    }
    sort();
}

void ChapterTable::sort() {
    const bool byName = column_ == 0;
    const bool reverse = descending_;
    std::stable_sort(rows_.begin(), rows_.end(), [byName, reverse](const ChapterRow& a, const ChapterRow& b) {
        const int order = byName ? CompareSortKeys(a.name, b.name) : CompareSortKeys(a.relPath, b.relPath);
        return reverse ? order > 0 : order < 0;
    });
}

int RelativePathColumnWidth(int listWidth, int fileNameWidth, int chapterCount, int scrollBarWidth) {
    int width = listWidth - fileNameWidth;
    if (chapterCount > kChaptersWithoutScrolling) {
        width -= scrollBarWidth;
    }
    return std::max(width, 0);
}

QString ShownRelativePath(const QString& relPath) {
#ifdef Q_OS_WIN
    return QString(relPath).replace(QLatin1Char('/'), QLatin1Char('\\'));
#else
    return QString(relPath).replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
}

}  // namespace tessarel
