#pragma once

namespace tessarel {

struct DocumentModel;

/// Orders sections 2..SectionCount by Name; section 1 stays first.
void SortSectionsByName(DocumentModel& doc);

}  // namespace tessarel
