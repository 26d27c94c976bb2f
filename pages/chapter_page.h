#pragma once

#include "extract/document_model.h"

#include <QDateTime>
#include <QString>

namespace tessarel {

struct DocumentModel;
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
    QString destinationFolder;  ///< set by a project build; "" writes next to the source
    QDateTime generatedAt;      ///< the "date last generated" footer
    /// The model's section texts are given up as they are written (left
    /// empty), so the page never holds a long text twice: for a caller that
    /// forgets them next.
    bool releaseTexts = false;
};

/// CleanSectionNames, the translation of the sections and WritePageBody:
/// writes the chapter page of a parsed document, streaming it to its file.
/// Each section's text is translated as it is written, as TranslateSections
/// would give it. Section names in `doc` lose their HTML tags.
/// False when nothing was written (no section) or the page could not be written.
bool WriteChapterPage(ChapterPageContext& context, DocumentModel& doc);

/// Blanks the HTML tags out of every section name and trims it, in the model itself.
void CleanSectionNames(DocumentModel& doc);

/// Inserts "<br>" after every comma at the first level of the first parenthesised
/// group: "f(a, g(b, c), d)" gives "f(a,<br> g(b, c),<br> d)".
QString FormatParameterList(const QString& declaration);

/// destination folder + separator + FileNameOf(fileName), doubled separators
/// collapsed; "" when the name has no file part (never a path outside the folder).
QString MakeChapterOutputPath(const QString& destinationFolder, const QString& fileName);

}  // namespace tessarel
