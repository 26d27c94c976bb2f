#include "book/modern_book.h"

#include "book/book_output.h"
#include "book/search_index.h"
#include "book/workspace.h"
#include "pages/modern_page.h"
#include "pages/page_frame.h"
#include "project/project_model.h"
#include "support/environment.h"
#include "support/html_text.h"
#include "support/string_functions.h"
#include "support/text_file.h"
#include "support/user_interface.h"

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

/// The text a chapter is listed under (HTML), bold as the settings ask.
QString EntryHtml(const BookOutput& out, int i, bool bold) {
    const Settings& settings = out.project.settings;
    const Chapter& chapter = out.project.Chapters[static_cast<size_t>(i)];
    const ChapterFinding found =
        static_cast<size_t>(i) < out.found.size() ? out.found[static_cast<size_t>(i)] : ChapterFinding{};
    const QString entry = ChapterEntryText(chapter, found, settings);
    return bold && settings.BoldTitles ? u"<b>"_s + entry + u"</b>"_s : entry;
}

class ModernBookWriter {
public:
    ModernBookWriter(const BookOutput& out, const std::vector<ModernChapter>& chapters, const SearchIndex* search)
        : out_(out),
          ui_(out.ws.env.ui),
          settings_(out.project.settings),
          chapters_(chapters),
          search_(search),
          title_(ModernBookTitle(out.project)) {}

    bool writeContents();
    bool writeDetailedContents();
    bool writeIndex();
    bool writeSearch();
    bool writeEntry(const QString& homePage);

private:
    ModernPlace place(const QString& kind, const QString& page, const QString& title) const;
    /// `main` appends the page's own content to its buffer.
    using Main = void (ModernBookWriter::*)(PageBuffer& buffer) const;
    bool page(const ModernPlace& place, Main main, const QString& row = QString());
    void contents(PageBuffer& buffer) const;
    void detailedContents(PageBuffer& buffer) const;
    void index(PageBuffer& buffer) const;
    void search(PageBuffer& buffer) const;
    bool file(const QString& name, const QString& text, FileEncoding encoding = FileEncoding::Utf8);

    const BookOutput& out_;
    UserInterface& ui_;
    const Settings& settings_;
    const std::vector<ModernChapter>& chapters_;
    const SearchIndex* search_;
    const QString title_;
};

ModernPlace ModernBookWriter::place(const QString& kind, const QString& page, const QString& title) const {
    ModernPlace place;
    place.kind = kind;
    place.page = page;
    place.title = title;
    place.bookTitle = title_;
    place.search = settings_.IncludeSearch;
    return place;
}

/// One page of the book around its main content, streamed to its file as it
/// is made: the lists of a large book are never held whole.
bool ModernBookWriter::page(const ModernPlace& place, Main main, const QString& row) {
    if (out_.keeps(place.page)) {
        return true;
    }
    PageBuffer& buffer = out_.ws.page;
    buffer.encoding = FileEncoding::Utf8;
    const PageStream stream(buffer, out_.path(place.page));
    WriteModernPageTop(buffer, place);
    (this->*main)(buffer);
    WriteModernPageEnd(buffer, place);
    if (!settings_.Copyright.isEmpty()) {
        AddLine(buffer, u"<div class=Copy>"_s + settings_.Copyright + u"</div>"_s);
    }
    CloseModernFooter(buffer);
    if (!WritePageFooter(buffer, ui_, out_.path(place.page))) {
        return false;
    }
    if (!row.isEmpty()) {
        ui_.addLogRow(row, QString(), RowStatus::Ok, QString(), place.page);
    }
    return true;
}

void ModernBookWriter::contents(PageBuffer& buffer) const {
    QString& text = buffer.PageText;
    AddLineTo(text, u"<h1>Contents</h1>"_s);
    if (!TrimSpaces(settings_.IndexText).isEmpty()) {
        AddLineTo(text, u"<div class=SideText>"_s + settings_.IndexText + u"</div>"_s);
    }
    AddLineTo(text, u"<ul class=\"BookContents\">"_s);
    for (int i = 0; i < out_.chaptersBuilt; ++i) {
        if (!out_.hasPage(i)) {
            continue;
        }
        const bool documented =
            static_cast<size_t>(i) < out_.found.size() && out_.found[static_cast<size_t>(i)].documented;
        if (!documented && settings_.IncludeOnlyDocumentedFiles) {
            continue;
        }
        const QString page = BookPageName(out_.project.Chapters[static_cast<size_t>(i)].Name);
        AddLineTo(text, u"<li><a href=\""_s + PageHref(page) + u"\">"_s + (documented ? u""_s : u"[x] "_s) +
                            EntryHtml(out_, i, true) + u"</a></li>"_s);
        FlushPage(buffer);
    }
    AddLineTo(text, u"</ul>"_s);
}

void ModernBookWriter::detailedContents(PageBuffer& buffer) const {
    QString& text = buffer.PageText;
    AddLineTo(text, u"<h1>Detailed Contents</h1>"_s);
    AddLineTo(text, u"<ul class=\"BookContents\">"_s);
    for (const ModernChapter& chapter : chapters_) {
        const QString href = PageHref(chapter.page);
        text += u"<li><a href=\""_s + href + u"\">"_s + EntryHtml(out_, chapter.chapter, true) + u"</a>"_s;
        if (!chapter.sections.isEmpty()) {
            text += u"<ul>"_s;
            for (const QString& name : chapter.sections) {
                text += u"<li><a href=\""_s + AnchorHref(chapter.page, SectionAnchor(name)) + u"\">"_s + name +
                        u"</a></li>"_s;
            }
            text += u"</ul>"_s;
        }
        AddLineTo(text, u"</li>"_s);
        FlushPage(buffer);
    }
    AddLineTo(text, u"</ul>"_s);
}

void ModernBookWriter::index(PageBuffer& buffer) const {
    QString& text = buffer.PageText;
    AddLineTo(text, u"<h1>Index</h1>"_s);
    AddLineTo(text, u"<ul class=\"BookIndex\">"_s);
    const bool bold = settings_.BoldTitles;
    for (const IndexEntry& entry : out_.indexEntries()) {
        text += u"<li><a href=\""_s;
        AppendTopicHref(text, entry.EntryPage);
        text += u"\">"_s;
        text += bold && entry.IsChapter ? u"<b>"_s + entry.EntryText + u"</b>"_s : entry.EntryText;
        text += u"</a></li>\r\n"_s;
        FlushPage(buffer);
    }
    AddLineTo(text, u"</ul>"_s);
}

void ModernBookWriter::search(PageBuffer& buffer) const {
    buffer.PageText += ModernResourceText(u"search_main.htm"_s) + kCrLf;
}

bool ModernBookWriter::file(const QString& name, const QString& text, FileEncoding encoding) {
    return out_.keeps(name) || WriteTextFile(ui_, out_.path(name), text, encoding);
}

bool ModernBookWriter::writeContents() {
    ui_.setProgressCaption(u"_book.htm"_s);
    return page(place(u"contents"_s, u"_book.htm"_s, u"Contents"_s), &ModernBookWriter::contents, u"> HTML TOC"_s);
}

bool ModernBookWriter::writeDetailedContents() {
    return page(place(u"dindex"_s, u"_dindex.htm"_s, u"Detailed Contents"_s), &ModernBookWriter::detailedContents);
}

bool ModernBookWriter::writeIndex() {
    return page(place(u"index"_s, u"_sorted_index.htm"_s, u"Index"_s), &ModernBookWriter::index, u"> HTML Index"_s);
}

bool ModernBookWriter::writeSearch() {
    ui_.setProgressCaption(u"_search.htm"_s);
    return file(u"_search_index.js"_s, search_->script(), FileEncoding::Latin1WithReferences) &&
           page(place(u"search"_s, u"_search.htm"_s, u"Search"_s), &ModernBookWriter::search, u"> HTML Search"_s);
}

bool ModernBookWriter::writeEntry(const QString& homePage) {
    // The entry page: the contents, or a way to the home chapter that works without scripts.
    const bool toHome = !settings_.HomeChapter.isEmpty() && !homePage.isEmpty();
    if (toHome ? !file(u"index.htm"_s, ModernRedirectPage(title_, homePage))
               : !page(place(u"contents"_s, u"index.htm"_s, title_), &ModernBookWriter::contents)) {
        return false;
    }
    return file(kModernData, ModernBookData(title_, homePage, chapters_)) && file(kModernSheet, out_.style.text) &&
           file(kModernScript, ModernScriptText());
}

}  // namespace

QString ModernBookData(const QString& title, const QString& home, const std::vector<ModernChapter>& chapters) {
    QString text = QString::fromLatin1(kModernDataOpening) + u"\"title\":"_s + JavaScriptString(title) +
                   u",\"home\":"_s + JavaScriptString(FileNameUrl(home)) + u",\"chapters\":["_s;
    bool first = true;
    for (const ModernChapter& chapter : chapters) {
        text += first ? u"\r\n["_s : u",\r\n["_s;
        first = false;
        text += JavaScriptString(FileNameUrl(chapter.page)) + u","_s +
                JavaScriptString(PlainTextOfHtml(chapter.title)) + u",["_s;
        for (qsizetype j = 0; j < chapter.sections.size(); ++j) {
            const QString& name = chapter.sections[j];
            text += (j == 0 ? u""_s : u","_s) + JavaScriptString(PlainTextOfHtml(name)) + u","_s +
                    JavaScriptString(SectionAnchorText(name));
        }
        text += u"]]"_s;
    }
    return text + u"]};"_s;
}

bool IsModernScript(const QString& path) {
    const QByteArray written = EncodeText(ModernScriptText() + kCrLf, FileEncoding::Utf8);
    QByteArray found;
    return ReadFileBytes(path, found) && found == written;
}

QString ModernHomePage(const Settings& settings, const std::vector<ModernChapter>& chapters) {
    if (!settings.HomeChapter.isEmpty()) {
        return BookPageName(settings.HomeChapter);
    }
    return chapters.empty() ? QString() : chapters.front().page;
}

std::vector<TailWriter> ModernTailWriters(const std::vector<ModernChapter>& chapters, const SearchIndex* search,
                                          const QString& homePage, std::vector<TailWriter> helpIndex) {
    // In the frames' order: contents and index, the help index, then search and the entry page.
    const auto writer = [&chapters, search](bool (ModernBookWriter::*write)()) {
        return TailWriter{[&chapters, search, write](const BookOutput& out) {
            ModernBookWriter book(out, chapters, search);
            return (book.*write)();
        }};
    };
    std::vector<TailWriter> writers{writer(&ModernBookWriter::writeContents),
                                    writer(&ModernBookWriter::writeDetailedContents),
                                    writer(&ModernBookWriter::writeIndex)};
    for (TailWriter& help : helpIndex) {
        writers.push_back(std::move(help));
    }
    if (search != nullptr) {
        writers.push_back(writer(&ModernBookWriter::writeSearch));
    }
    writers.push_back({[&chapters, &homePage](const BookOutput& out) {
        return ModernBookWriter(out, chapters, nullptr).writeEntry(homePage);
    }});
    return writers;
}

}  // namespace tessarel
