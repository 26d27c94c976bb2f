#pragma once

namespace tessarel {

struct DocumentModel;

/// Orders the sections after the first by Name; the first stays first.
void SortSectionsByName(DocumentModel& doc);

}  // namespace tessarel
