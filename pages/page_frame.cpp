#include "pages/page_frame.h"

#include "pages/modern_page.h"
#include "pages/style.h"
#include "support/file_read.h"
#include "support/html_text.h"
#include "support/paths.h"
#include "support/settings.h"
#include "support/string_functions.h"
#include "support/text_file.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <utility>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

// Characters handed to a streamed page's file at a time: large enough to keep
// the writes few, small enough to stay in the caches.
constexpr qsizetype kStreamPiece = qsizetype{1} << 16;

/// The generator lines stand within the first lines of a page or site map.
constexpr int kGeneratorLineReach = 4;
constexpr qint64 kPageHeadBytes = 512;

bool HasGeneratorLine(const QByteArray& head) {
    static const QByteArray kLines[] = {kPageGeneratorLine.toLatin1(), kLoaderGeneratorLine.toLatin1(),
                                        kFramesetGeneratorLine.toLatin1(), kSiteMapGeneratorLine.toLatin1()};
    const QList<QByteArray> lines = head.split('\n');
    for (qsizetype i = 0; i < std::min<qsizetype>(lines.size(), kGeneratorLineReach); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (std::find(std::begin(kLines), std::end(kLines), line) != std::end(kLines)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsTessarelPage(const QString& path) {
    QByteArray head;
    return ReadFileStart(path, kPageHeadBytes, head) && HasGeneratorLine(head);
}

PageStyle ResolvePageStyle(const AppPaths& paths, const Settings& settings, bool projectOpen) {
    PageStyle style;
    // A name that is not plain would lead the sheet out of its folder; the
    // pages then use the fallback sheet, under its own name.
    style.name = UsableStyleName(settings.Style);
    style.text = GetStyleText(paths, style.name);
    // A single page has no sheet beside it to link to, so it always carries its style.
    style.embedded = !projectOpen || settings.EmbedStyle;
    if (settings.ModernLayout) {
        // A book's pages link its sheet under one name, whatever the style; a single page carries it.
        style.text = ModernStyleText(paths, style.name);
        style.name = projectOpen ? QStringLiteral("_book") : style.name;
        style.embedded = !projectOpen;
    }
    return style;
}

void AppendStyleBlock(QString& text, const PageStyle& style) {
    if (style.text.isEmpty()) {
        return;
    }
    if (!style.embedded) {
        // The style name comes from the project file: it stays inside its attribute.
        AddLineTo(text, u"<link rel=\"stylesheet\" type=\"text/css\" href=\""_s +
                            EscapeHtmlAttribute(FileNameUrl(style.name)) + u".css\">"_s);
        return;
    }
    AddLineTo(text, QStringLiteral("<style type=\"text/css\">"));
    AddLineTo(text, QString());
    AddLineTo(text, QStringLiteral("<!--"));
    AddLineTo(text, style.text);
    AddLineTo(text, QStringLiteral("-->"));
    AddLineTo(text, QString());
    AddLineTo(text, QStringLiteral("</style>"));
    AddLineTo(text, QString());
}

void WritePageHeader(PageBuffer& page, const PageStyle& style, const QString& title, const QString& bodyAttributes) {
    // A classic page, whatever a modern page left unfinished in the buffer.
    if (page.file == nullptr) {
        page.encoding = FileEncoding::Latin1WithReferences;
    }
    page.PageText.clear();
    AddLine(page, QString());
    AddLine(page, kPageGeneratorLine);
    AddLine(page, QString());
    AddTag(page, QStringLiteral("html"));
    AddTag(page, QStringLiteral("head"));
    AddTag(page, QStringLiteral("title"));
    AddLine(page, title);
    AddTag(page, QStringLiteral("/title"));
    AddLine(page, QString());
    AppendStyleBlock(page.PageText, style);
    AddLine(page, QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"));
    AddLine(page, QStringLiteral("<meta name=\"GENERATOR\" content=\"Tessarel\">"));
    AddLine(page, QString());
    AddTag(page, QStringLiteral("/head"));
    AddTag(page, u"body "_s + bodyAttributes);
}

void AddLine(PageBuffer& page, QStringView text) {
    // A long line of a streamed page goes to its file as it is, rather than
    // through the buffer, which would grow to hold it.
    if (page.file != nullptr && text.size() >= kStreamPiece) {
        page.file->write(page.PageText);
        page.file->write(text);
        page.PageText.resize(0);
        page.PageText += kCrLf;
        return;
    }
    AddLineTo(page.PageText, text);
}

void AddTag(PageBuffer& page, QStringView tagBody) { AddTagTo(page.PageText, tagBody); }

void AddTagTo(QString& buffer, QStringView tagBody) { AppendAll(buffer, {u"<", tagBody, u">\r\n"}); }

void AddLineTo(QString& buffer, QStringView text) { AppendAll(buffer, {text, u"\r\n"}); }

PageStream::PageStream(PageBuffer& page, const QString& path) : page_(page), file_(path, page.encoding) {
    page_.file = file_.open() ? &file_ : nullptr;
}

PageStream::~PageStream() { page_.file = nullptr; }

void FlushPage(PageBuffer& page) {
    if (page.file != nullptr && page.PageText.size() >= kStreamPiece) {
        page.file->write(page.PageText);
        page.PageText.resize(0);
    }
}

bool WritePageFooter(PageBuffer& page, UserInterface& ui, const QString& path) {
    AddTag(page, u"/body");
    AddTag(page, u"/html");
    const FileEncoding encoding = std::exchange(page.encoding, FileEncoding::Latin1WithReferences);
    if (page.file == nullptr) {
        return WriteTextFile(ui, path, page.PageText, encoding);
    }
    TextFileWriter& file = *page.file;
    page.file = nullptr;
    file.write(page.PageText);
    return file.finish(ui);
}

}  // namespace tessarel
