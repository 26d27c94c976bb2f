#include "extract/section_sort.h"

#include "extract/document_model.h"
#include "support/sort.h"

namespace tessarel {

void SortSectionsByName(DocumentModel& doc) {
    const qsizetype last = std::min<qsizetype>(doc.count(), static_cast<qsizetype>(doc.Sections.size()) - 1);
    SortRange(doc.Sections, 2, last, [](const SectionRecord& record) -> const QString& { return record.Name; });
}

}  // namespace tessarel
