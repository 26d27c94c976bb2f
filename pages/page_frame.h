#pragma once

#include "support/paths.h"
#include "support/text_file.h"

#include <QString>
#include <QStringView>

namespace tessarel {

struct AppPaths;
struct Settings;
class UserInterface;

/// The one page buffer: pages are written strictly one after another.
struct PageBuffer {
    QString PageText;
    /// While a page streams to its file (PageStream): the file that takes the
    /// lines handed over so far, which PageText then no longer holds.
    TextFileWriter* file = nullptr;
};

/// Streams the page built while it lives to `path`: FlushPage hands the
/// finished lines over as they pile up, and WritePageFooter writes the rest to
/// that path, whatever path it is given. A file that cannot be opened leaves the
/// page to be built whole, and WritePageFooter reports the failure as always.
class PageStream {
public:
    PageStream(PageBuffer& page, const QString& path);
    ~PageStream();
    PageStream(const PageStream&) = delete;
    PageStream& operator=(const PageStream&) = delete;

private:
    PageBuffer& page_;
    TextFileWriter file_;
};

/// Hands the lines built so far to a streamed page's file once they fill a
/// piece; PageText keeps its room for the next lines.
void FlushPage(PageBuffer& page);

/// How the pages of a build carry their style sheet.
struct PageStyle {
    QString name;          ///< the Style setting, e.g. "standard_babyblue"
    QString text;          ///< GetStyleText(name); "" means no style block at all
    bool embedded = true;  ///< no project open, or EmbedStyle
};

/// The style of the pages of the current build. Read once per build, not per page.
PageStyle ResolvePageStyle(const AppPaths& paths, const Settings& settings, bool projectOpen);

/// Appends the style block of a page head (embedded, linked or none) to `text`.
void AppendStyleBlock(QString& text, const PageStyle& style);

void WritePageHeader(PageBuffer& page, const PageStyle& style, const QString& title, const QString& bodyAttributes);
void AddLine(PageBuffer& page, QStringView text);
void AddTag(PageBuffer& page, QStringView tagBody);
void AddTagTo(QString& buffer, QStringView tagBody);
void AddLineTo(QString& buffer, QStringView text);
/// Closes the document and writes the page (a streamed one to its stream's
/// path); false when the file could not be written.
bool WritePageFooter(PageBuffer& page, UserInterface& ui, const QString& path);

}  // namespace tessarel
