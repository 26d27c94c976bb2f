#include "book/search_index.h"

#include "book/book_output.h"
#include "book/book_resources.h"
#include "book/contents_pages.h"
#include "book/workspace.h"
#include "pages/page_frame.h"
#include "support/environment.h"
#include "support/html_text.h"
#include "support/string_functions.h"
#include "support/text_file.h"
#include "support/user_interface.h"

#include <algorithm>
#include <array>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kIndexScript = QStringLiteral("_search_index.js");
const QString kSearchPage = QStringLiteral("_search.htm");

/// The most words a snippet holds (as the page writer keeps them).
constexpr int kLongestSnippet = 12;

/// The first `words` words of a text whose words are parted by single blanks.
QStringView FirstWords(QStringView text, int words) {
    qsizetype end = 0;
    for (int n = 0; n < words; ++n) {
        const qsizetype blank = text.indexOf(u' ', end);
        if (blank < 0) {
            return text;
        }
        end = blank + 1;
    }
    return text.first(end > 0 ? end - 1 : 0);
}

/// Outside ASCII the file would depend on its character set; "<" could end
/// the script element, and U+2028 a line of older engines.
bool NeedsUnicodeEscape(char16_t c) { return c < 0x20 || c > 0x7E || c == u'<' || c == u'>' || c == u'&'; }

/// The length of a character in a JavaScriptString literal.
qsizetype EscapedLength(char16_t c) {
    if (c == u'"' || c == u'\\') {
        return 2;
    }
    return NeedsUnicodeEscape(c) ? 6 : 1;
}

void AppendHex4(QString& out, char16_t c) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += u"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) {
        out += QLatin1Char(kHex[(c >> shift) & 0xF]);
    }
}

/// Appends JavaScriptString's form of `text` to `out`.
void AppendJavaScriptString(QString& out, QStringView text) {
    out += u'"';
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'"' || c == u'\\') {
            out += u'\\';
            out += QChar(c);
        } else if (!QChar::isSurrogate(c)) {
            if (NeedsUnicodeEscape(c)) {
                AppendHex4(out, c);
            } else {
                out += QChar(c);
            }
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            AppendHex4(out, c);
            AppendHex4(out, text[++i].unicode());
        } else {
            // Half a pair is the replacement character, as the pages write it.
            AppendHex4(out, 0xFFFD);
        }
    }
    out += u'"';
}

}  // namespace

QString JavaScriptString(QStringView text) {
    QString out;
    out.reserve(text.size() + 2);
    AppendJavaScriptString(out, text);
    return out;
}

QString SectionAnchorText(const QString& sectionName) { return DecodeHtmlReferences(SectionAnchor(sectionName)); }

SearchIndex::SearchIndex() {
    snippetNumbers_.insert(QString(), 0);
    distinctSnippets_.emplace_back();
}

int SearchIndex::snippetNumber(const QString& plain) {
    // Texts that repeat (generated or copied comments) are stored once.
    const auto found = snippetNumbers_.constFind(plain);
    if (found != snippetNumbers_.constEnd()) {
        return found.value();
    }
    const int number = static_cast<int>(snippetNumbers_.size());
    snippetNumbers_.insert(plain, number);
    distinctSnippets_.push_back(plain);
    return number;
}

namespace {

const QString& SnippetAt(const std::vector<QString>& snippets, int section) {
    static const QString kNone;
    return static_cast<size_t>(section) < snippets.size() ? snippets[static_cast<size_t>(section)] : kNone;
}

/// Whether `anchor` is `name` with every blank as "^", as the page derives it.
bool IsDerivedAnchor(QStringView anchor, QStringView name) {
    if (anchor.size() != name.size()) {
        return false;
    }
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (anchor[i] != (name[i] == u' ' ? QChar(u'^') : name[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

SearchChapter MakeSearchChapter(const QString& title, const QString& page, const QStringList& sectionNames) {
    SearchChapter made;
    made.page = page;
    QString line;
    line += u'[';
    AppendJavaScriptString(line, FileNameUrl(page));
    line += u',';
    AppendJavaScriptString(line, PlainTextOfHtml(title));
    line += u',';
    line += QChar(0);
    made.snippetSections.push_back(1);
    line += u",[";
    bool first = true;
    for (qsizetype k = 0; k < sectionNames.size(); ++k) {
        const int j = static_cast<int>(k) + 2;
        const QString& raw = sectionNames.at(k);
        const QString name = PlainTextOfHtml(raw);
        if (name.isEmpty()) {
            continue;  // the page gives it no anchor
        }
        if (!first) {
            line += u',';
        }
        first = false;
        const QString anchor = SectionAnchorText(raw);
        // The page derives the anchor from the name unless they differ.
        if (IsDerivedAnchor(anchor, name)) {
            AppendJavaScriptString(line, name);
        } else {
            line += u'[';
            AppendJavaScriptString(line, name);
            line += u',';
            AppendJavaScriptString(line, anchor);
            line += u']';
        }
        line += u',';
        line += QChar(0);
        made.snippetSections.push_back(j);
    }
    line += u"]]";
    // Kept in the record for every chapter: one byte a character, no room beyond.
    made.line = line.toLatin1();
    made.snippetSections.shrink_to_fit();
    return made;
}

void SearchIndex::addChapter(const QString& title, const QString& page, const QStringList& sectionNames,
                             const std::vector<QString>& snippets) {
    addChapter(MakeSearchChapter(title, page, sectionNames), snippets);
}

void SearchIndex::addChapter(const SearchChapter& chapter, const std::vector<QString>& snippets) {
    // Written straight into the list: a chapter of many sections makes no line of its own.
    if (!chapters_.isEmpty()) {
        chapters_ += u',';
        chapters_ += kCrLf;
    }
    const QByteArrayView line = chapter.line;
    qsizetype from = 0;
    for (const qint32 section : chapter.snippetSections) {
        const qsizetype at = line.indexOf('\0', from);
        if (at < 0) {
            break;  // a damaged line: the script stays well formed as far as it goes
        }
        chapters_ += QLatin1StringView(line.sliced(from, at - from));
        chapters_ += QString::number(snippetNumber(SnippetAt(snippets, section)));
        from = at + 1;
    }
    chapters_ += QLatin1StringView(line.sliced(from));
}

QString SearchIndex::script(qsizetype mostBytes) const {
    const QString head = kSearchIndexFirstLine + kCrLf + u"\"snippets\": ["_s;
    const QString middle = u"],"_s + kCrLf + u"\"chapters\": ["_s + kCrLf;
    const QString tail = kCrLf + u"]};"_s;
    // The snippets' words are cut evenly until the whole fits; the names stay.
    // One walk finds the table's size for every number of words.
    const qsizetype fixed = head.size() + middle.size() + chapters_.size() + tail.size();
    std::array<qsizetype, kLongestSnippet + 1> tableSize{};
    for (const QString& snippet : distinctSnippets_) {
        qsizetype length = 0;
        int words = 0;
        for (const QChar ch : snippet) {
            if (ch == u' ') {
                // This blank ends the first `words` words.
                ++words;
                if (words <= kLongestSnippet) {
                    tableSize[static_cast<size_t>(words)] += length;
                }
            }
            length += EscapedLength(ch.unicode());
        }
        // Each count of words past the text's own takes the whole text.
        const int own = snippet.isEmpty() ? 0 : words + 1;
        for (int k = std::min(own, kLongestSnippet + 1); k <= kLongestSnippet; ++k) {
            tableSize[static_cast<size_t>(k)] += length;
        }
        for (qsizetype& size : tableSize) {
            size += 3;  // the quotes and the comma
        }
    }
    // One comma fewer than snippets (the table always holds "").
    for (qsizetype& size : tableSize) {
        size -= 1;
    }
    int words = kLongestSnippet;
    while (words > 0 && fixed + tableSize[static_cast<size_t>(words)] > mostBytes) {
        --words;
    }
    QString table;
    table.reserve(tableSize[static_cast<size_t>(words)]);
    for (const QString& snippet : distinctSnippets_) {
        if (!table.isEmpty()) {
            table += u',';
        }
        table += JavaScriptString(FirstWords(snippet, words));
    }
    return head + table + middle + chapters_ + tail;
}

bool WriteSearchPages(const BookOutput& out, const SearchIndex& index) {
    UserInterface& ui = out.ws.env.ui;
    ui.setProgressCaption(kSearchPage);
    if (!out.keeps(kIndexScript) && !WriteTextFile(ui, out.path(kIndexScript), index.script())) {
        return false;
    }
    if (out.keeps(kSearchPage)) {
        return true;
    }
    WriteSidePageHead(out);
    // The page's own part and its script, which builds the results with
    // textContent only: names and texts are the authors' and never become markup.
    QString& text = out.ws.page.PageText;
    AddResourceLinesTo(text, u"search_page.htm"_s);
    AddLineTo(text, u"<script>");
    AddResourceLinesTo(text, u"search_page.js"_s);
    AddLineTo(text, u"</script>");
    if (!WritePageFooter(out.ws.page, ui, out.path(kSearchPage))) {
        return false;
    }
    ui.addLogRow(QStringLiteral("> HTML Search"), QString(), RowStatus::Ok, QString(), kSearchPage);
    return true;
}

}  // namespace tessarel
