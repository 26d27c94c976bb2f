#include "extract/section_sort.h"

#include "extract/document_model.h"
#include "support/sort.h"

namespace tessarel {

void SortSectionsByName(DocumentModel& doc) {
    SortRange(doc.Sections, 1, static_cast<qsizetype>(doc.Sections.size()) - 1,
              [](const SectionRecord& record) -> const QString& { return record.Name; });
}

}  // namespace tessarel
