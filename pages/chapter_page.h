#pragma once

#include "extract/document_model.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace tessarel {

struct DocumentModel;
struct ModernPlace;
struct PageBuffer;
struct PageStyle;
struct Settings;
class UserInterface;

/// What the chapter page writer reads besides the document model.
struct ChapterPageContext {
    UserInterface& ui;
    PageBuffer& page;
    const PageStyle& style;
    const Settings& settings;
    QString pagePath;       ///< where the page is written
    QDateTime generatedAt;  ///< the "date last generated" footer
    /// The model's section texts are given up as they are written (left
    /// empty), so the page never holds a long text twice: for a caller that
    /// forgets them next.
    bool releaseTexts = false;
    /// Set by the writer: whether the page shows any "@figure", and the sources
    /// of those whose file is not there.
    bool hasFigures = false;
    QStringList missingFigures = {};
    /// When set, receives the first words of each section's text as plain
    /// text, by section number: section i of the document model is number
    /// i + 1 (for a book's search index).
    std::vector<QString>* snippets = nullptr;
    /// Set for a modern page: its place in the book (its title is the
    /// page's first section, filled in by the writer). The page is UTF-8.
    const ModernPlace* modern = nullptr;
    /// The sections may be translated on a second thread while this one
    /// writes: for a page built alone, not for the chapters of a book.
    bool secondThread = false;
};

/// Writes the chapter page of a parsed document, streaming it to its file; each
/// section's text is translated (SectionTranslator) as it is written. Section
/// names in `doc` lose their HTML tags and are trimmed, in the model itself.
/// False when nothing was written (no section) or the page could not be written.
bool WriteChapterPage(ChapterPageContext& context, DocumentModel& doc);

}  // namespace tessarel
