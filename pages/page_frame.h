#pragma once

#include <QString>

namespace tessarel {

struct AppPaths;
struct Settings;
class UserInterface;

/// The one page buffer: pages are written strictly one after another.
struct PageBuffer {
    QString PageText;
};

/// How the pages of a build carry their style sheet.
struct PageStyle {
    QString name;       ///< the Style setting, e.g. "standard_babyblue"
    QString text;       ///< GetStyleText(name); "" means no style block at all
    bool embedded = true;  ///< no project open, or EmbedStyle
};

/// The style of the pages of the current build. Read once per build, not per page.
PageStyle ResolvePageStyle(const AppPaths& paths, const Settings& settings, bool projectOpen);

/// Appends the style block of a page head (embedded, linked or none) to `text`.
void AppendStyleBlock(QString& text, const PageStyle& style);

void WritePageHeader(PageBuffer& page, const PageStyle& style, const QString& title, const QString& bodyAttributes);
void AddLine(PageBuffer& page, const QString& text);
void AddTag(PageBuffer& page, const QString& tagBody);
void AddComment(PageBuffer& page, const QString& text);
void AddTagTo(QString& buffer, const QString& tagBody);
void AddLineTo(QString& buffer, const QString& text);
/// Closes the document and writes the page; false when the file could not be written.
bool WritePageFooter(PageBuffer& page, UserInterface& ui, const QString& path);

/// The page name of a source file: unchanged when it ends in ".html" or ".htm"
/// (case-sensitive), else with ".htm" appended.
QString PageFileName(const QString& fileName);

}  // namespace tessarel
