#include "book/sorting.h"

#include "book/workspace.h"
#include "support/sort.h"

namespace tessarel {

void SortChapters(ProjectModel& project, qsizetype first, qsizetype last) {
    SortRange(project.Chapters, first, last, [](const Chapter& chapter) -> const QString& { return chapter.Name; });
}

void SortIndexEntries(std::vector<IndexEntry>& entries) {
    SortRange(entries, 0, static_cast<qsizetype>(entries.size()) - 1,
              [](const IndexEntry& entry) -> const QString& { return entry.EntryText; });
}

}  // namespace tessarel
