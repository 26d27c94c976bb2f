#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace tessarel {

struct DocumentModel;
class PassContext;

/// The 20 keywords, each accepted all lower case, all upper case or capitalised.
const QStringList& SectionKeywords();
/// True for a keyword in one of its three accepted forms.
bool IsSectionKeyword(QStringView word);

/// Turns every keyword line ("function: Name") into a section header: the
/// previous span is closed, "@section Name" stands on a line of its own and the
/// following line opens a span with " @t".
void ConvertKeywordLines(QString& text, PassContext* context = nullptr);

/// 0-based positions of the section tags, non-overlapping, in text order.
std::vector<qsizetype> SectionTagPositions(const QString& text);

/// The stretches of the source text that the sections' texts are made of.
struct SectionSpans {
    std::vector<std::pair<qsizetype, qsizetype>> ranges;  ///< [start, end) in the source text
    /// Section i's ranges (0-based) are [firstRange[i], firstRange[i + 1]).
    std::vector<size_t> firstRange;
    /// Appends section i's Text as FillSections makes it to `out`.
    void appendText(QString& out, const QString& source, int i) const;
};

/// Makes one record in doc.Sections for each section tag in doc.SourceText
/// and fills Position, Name and Text of every record. With
/// `spans`, every Text is left empty and its spans are kept there instead, so
/// that a caller can put it together where it is needed.
void FillSections(DocumentModel& doc, SectionSpans* spans = nullptr);

}  // namespace tessarel
