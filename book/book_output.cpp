#include "book/book_output.h"

#include "book/workspace.h"
#include "pages/page_frame.h"
#include "pages/page_paths.h"
#include "project/project_model.h"
#include "support/html_text.h"
#include "support/paths.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

#include <algorithm>

namespace tessarel {

namespace {
const QString kHelpFolderName = QStringLiteral("HTML Help");

bool IsSeparator(QChar c) { return c == QLatin1Char('/') || c == PathSeparator(); }

/// The part of a name after its last folder separator.
QString FileNameOnly(const QString& name) {
    qsizetype start = name.size();
    while (start > 0 && !IsSeparator(name.at(start - 1))) {
        --start;
    }
    return name.mid(start);
}

}  // namespace

QString BookOutput::styleSheet() const {
    // A modern book's sheet is one of its own files, whatever the style.
    if (project.settings.ModernLayout) {
        return QString();
    }
    return project.settings.EmbedStyle || style.text.isEmpty() ? QString() : style.name + QStringLiteral(".css");
}

const std::vector<IndexEntry>& BookOutput::indexEntries() const { return index ? *index : ws.IndexEntries; }

QString BookOutput::helpFolder() const { return folder + kHelpFolderName + PathSeparator(); }

QString BookOutput::helpPath(const QString& fileName) const { return helpFolder() + fileName; }

QString ModernBookTitle(const ProjectModel& project) {
    const QString title = PlainTextOfHtml(project.settings.IndexTitle);
    return TrimSpaces(title).isEmpty() ? BaseNameOf(project.ProjectFileName) : title;
}

QString BookPageName(const QString& chapterName) { return PageFileName(FileNameOnly(chapterName)); }

QString SectionAnchor(const QString& sectionName) {
    QString anchor = sectionName;
    anchor.replace(QLatin1Char(' '), QLatin1Char('^'));
    return anchor;
}

QString ChapterEntryText(const Chapter& chapter, const ChapterFinding& found, const Settings& settings) {
    // The title is HTML already (a section name, or the escaped file name).
    return settings.UseChapterTitleInIndex ? found.title : EscapeHtml(chapter.Name);
}

QString PageHref(const QString& page) { return EscapeHtmlAttribute(FileNameUrl(page)); }

QString AnchorHref(const QString& page, const QString& anchor) {
    return PageHref(page) + QLatin1Char('#') + QuoteHtmlAttribute(anchor);
}

QString TopicHref(const QString& topic) {
    // FileNameUrl leaves no "#" in the page: the first one starts the anchor.
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    if (hash < 0) {
        return EscapeHtmlAttribute(topic);
    }
    return EscapeHtmlAttribute(topic.left(hash)) + QLatin1Char('#') + QuoteHtmlAttribute(topic.mid(hash + 1));
}

bool TopicIsItsHref(const QString& topic) {
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    const QStringView page = hash < 0 ? QStringView(topic) : QStringView(topic).first(hash);
    const bool plainPage = std::none_of(page.begin(), page.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return u == u'&' || u == u'<' || u == u'>' || u == u'"';
    });
    return plainPage && (hash < 0 || !QStringView(topic).sliced(hash + 1).contains(u'"'));
}

void AppendTopicHref(QString& out, const QString& topic) {
    // The usual topic has nothing to escape: it goes in one piece.
    if (TopicIsItsHref(topic)) {
        out += topic;
        return;
    }
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    if (hash < 0) {
        AppendEscapedHtmlAttribute(out, topic);
        return;
    }
    AppendEscapedHtmlAttribute(out, QStringView(topic).first(hash));
    out += QLatin1Char('#');
    AppendQuotedHtmlAttribute(out, QStringView(topic).sliced(hash + 1));
}

}  // namespace tessarel
