#pragma once

#include <QtGlobal>

#include <vector>

namespace tessarel {

struct IndexEntry;
struct ProjectModel;

/// Orders chapters first..last by file name; each chapter moves whole.
void SortChapters(ProjectModel& project, qsizetype first, qsizetype last);
/// Orders the index entries by their text.
void SortIndexEntries(std::vector<IndexEntry>& entries);

}  // namespace tessarel
