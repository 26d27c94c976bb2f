#pragma once

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
};

/// CleanSectionNames, TranslateSections and WritePageBody: writes the chapter
/// page of a parsed document. Section names in `doc` lose their HTML tags.
void WriteChapterPage(ChapterPageContext& context, DocumentModel& doc);

/// destination folder + separator + fileName, doubled separators collapsed.
QString MakeChapterOutputPath(const QString& destinationFolder, const QString& fileName);

}  // namespace tessarel
