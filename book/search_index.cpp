#include "book/search_index.h"

#include "book/book_output.h"
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

// The search page's own part. It builds its results with textContent only:
// names and texts are the authors' and never become markup here.
const char* const kSearchBody[] = {
    "<form class=Search onsubmit=\"return false;\">",
    "<input type=\"text\" id=\"SearchBox\" class=SearchBox size=\"24\" autocomplete=\"off\" "
    "aria-label=\"Search\" placeholder=\"Search\">",
    "</form>",
    "<div id=\"SearchStatus\" class=SideText></div>",
    "<table class=LinksTable border=0 cellpadding=0 cellspacing=0 width=\"100%\" id=\"SearchResults\"></table>",
    "<noscript>",
    "This page uses JavaScript. Please enable JavaScript in your browser.",
    "</noscript>",
    "</div>",
    "<style>",
    "tr.SearchSelected td { outline: 1px dotted; }",
    "div.SearchSnippet { font-size: smaller; white-space: normal; padding-bottom: 3px; }",
    "</style>",
    "<script src=\"_search_index.js\"></script>",
    "<script>",
    "(function () {",
    "    var data = window.tessarelSearchIndex || { snippets: [\"\"], chapters: [] };",
    "    var limit = 200;",
    "    function fold(text) {",
    "        if (text.normalize) {",
    "            text = text.normalize(\"NFD\");",
    "        }",
    "        return text.replace(/[\\u0300-\\u036f]/g, \"\").toLowerCase();",
    "    }",
    "    var snippets = data.snippets;",
    "    var foldedSnippets = [];",
    "    for (var s = 0; s < snippets.length; s++) {",
    "        foldedSnippets.push(fold(snippets[s]));",
    "    }",
    "    // Half a surrogate pair, which encodeURIComponent refuses, is the",
    "    // replacement character, as the page shows it.",
    "    function wellFormed(text) {",
    "        return text.replace(/[\\ud800-\\udbff][\\udc00-\\udfff]|[\\ud800-\\udfff]/g, function (unit) {",
    "            return unit.length === 2 ? unit : \"\\ufffd\";",
    "        });",
    "    }",
    "    var entries = [];",
    "    function addChapter(chapter) {",
    "        var page = chapter[0];",
    "        entries.push({ name: chapter[1], key: fold(chapter[1]), snippet: chapter[2], href: page, chapter: true "
    "});",
    "        var items = chapter[3];",
    "        for (var i = 0; i + 1 < items.length; i += 2) {",
    "            var name = items[i];",
    "            var anchor;",
    "            if (typeof name === \"string\") {",
    "                anchor = name.replace(/ /g, \"^\");",
    "            } else {",
    "                anchor = name[1];",
    "                name = name[0];",
    "            }",
    "            entries.push({ name: name, key: fold(name), snippet: items[i + 1],",
    "                           href: page + \"#\" + encodeURIComponent(wellFormed(anchor)), chapter: false });",
    "        }",
    "    }",
    "    // A chapter the page cannot read costs its own entries, never the others'.",
    "    for (var c = 0; c < data.chapters.length; c++) {",
    "        try {",
    "            addChapter(data.chapters[c]);",
    "        } catch (error) {",
    "        }",
    "    }",
    "    var box = document.getElementById(\"SearchBox\");",
    "    var list = document.getElementById(\"SearchResults\");",
    "    var status = document.getElementById(\"SearchStatus\");",
    "    var shown = [];",
    "    var selected = -1;",
    "    function containsAll(text, terms) {",
    "        for (var t = 0; t < terms.length; t++) {",
    "            if (text.indexOf(terms[t]) < 0) {",
    "                return false;",
    "            }",
    "        }",
    "        return true;",
    "    }",
    "    // Whether every term is in the name or in the text. Many sections share",
    "    // a text, so each text is searched once per term (known: 1 yes, 2 no).",
    "    function inNameOrText(name, snippet, terms, known) {",
    "        for (var t = 0; t < terms.length; t++) {",
    "            if (name.indexOf(terms[t]) >= 0) {",
    "                continue;",
    "            }",
    "            if (known[t][snippet] === 0) {",
    "                known[t][snippet] = foldedSnippets[snippet].indexOf(terms[t]) >= 0 ? 1 : 2;",
    "            }",
    "            if (known[t][snippet] === 2) {",
    "                return false;",
    "            }",
    "        }",
    "        return true;",
    "    }",
    "    // Names that start with the query, then other names, then texts: the",
    "    // first of them (as many as are shown) and how many there are.",
    "    function find(query) {",
    "        var terms = fold(query).split(/\\s+/).filter(function (term) { return term.length > 0; });",
    "        if (terms.length === 0) {",
    "            return null;",
    "        }",
    "        var starts = [], names = [], texts = [], total = 0;",
    "        var known = terms.map(function () { return new Int8Array(snippets.length); });",
    "        for (var e = 0; e < entries.length; e++) {",
    "            var entry = entries[e];",
    "            var found = starts;",
    "            if (containsAll(entry.key, terms)) {",
    "                found = entry.key.lastIndexOf(terms[0], 0) === 0 ? starts : names;",
    "            } else if (inNameOrText(entry.key, entry.snippet, terms, known)) {",
    "                found = texts;",
    "            } else {",
    "                continue;",
    "            }",
    "            total++;",
    "            if (found.length < limit) {",
    "                found.push(entry);",
    "            }",
    "        }",
    "        return { entries: starts.concat(names, texts).slice(0, limit), total: total };",
    "    }",
    "    function select(index) {",
    "        var rows = list.getElementsByTagName(\"tr\");",
    "        if (selected >= 0 && selected < rows.length) {",
    "            rows[selected].className = \"SideLink\";",
    "        }",
    "        selected = index;",
    "        if (selected >= 0 && selected < rows.length) {",
    "            rows[selected].className = \"SideLink SearchSelected\";",
    "            if (rows[selected].scrollIntoView) {",
    "                rows[selected].scrollIntoView({ block: \"nearest\" });",
    "            }",
    "        }",
    "    }",
    "    function show(results) {",
    "        while (list.firstChild) {",
    "            list.removeChild(list.firstChild);",
    "        }",
    "        selected = -1;",
    "        shown = results ? results.entries : [];",
    "        for (var r = 0; r < shown.length; r++) {",
    "            var entry = shown[r];",
    "            var row = document.createElement(\"tr\");",
    "            row.className = \"SideLink\";",
    "            var cell = document.createElement(\"td\");",
    "            cell.className = \"SideLink\";",
    "            var link = document.createElement(\"a\");",
    "            link.className = \"SideLink\";",
    "            link.href = entry.href;",
    "            link.target = \"chapter\";",
    "            if (entry.chapter) {",
    "                var bold = document.createElement(\"b\");",
    "                bold.textContent = entry.name;",
    "                link.appendChild(bold);",
    "            } else {",
    "                link.textContent = entry.name;",
    "            }",
    "            cell.appendChild(link);",
    "            var text = snippets[entry.snippet];",
    "            if (text) {",
    "                var snippet = document.createElement(\"div\");",
    "                snippet.className = \"SearchSnippet\";",
    "                snippet.textContent = text;",
    "                cell.appendChild(snippet);",
    "            }",
    "            row.appendChild(cell);",
    "            list.appendChild(row);",
    "        }",
    "        if (!results) {",
    "            status.textContent = \"\";",
    "        } else if (results.total === 0) {",
    "            status.textContent = \"Nothing found.\";",
    "        } else if (results.total > limit) {",
    "            status.textContent = results.total + \" found, the first \" + limit + \" shown.\";",
    "        } else {",
    "            status.textContent = results.total + \" found.\";",
    "        }",
    "        if (shown.length > 0) {",
    "            select(0);",
    "        }",
    "    }",
    "    function open(index) {",
    "        if (index >= 0 && index < shown.length) {",
    "            window.open(shown[index].href, \"chapter\");",
    "        }",
    "    }",
    "    box.addEventListener(\"input\", function () { show(find(box.value)); });",
    "    box.addEventListener(\"keydown\", function (event) {",
    "        if (event.key === \"ArrowDown\" && selected + 1 < shown.length) {",
    "            select(selected + 1);",
    "            event.preventDefault();",
    "        } else if (event.key === \"ArrowUp\" && selected > 0) {",
    "            select(selected - 1);",
    "            event.preventDefault();",
    "        } else if (event.key === \"Enter\") {",
    "            open(selected);",
    "            event.preventDefault();",
    "        }",
    "    });",
    "    // The search alone, for timing it outside a browser.",
    "    window.tessarelSearch = find;",
    "    box.focus();",
    "    if (box.value) {",
    "        show(find(box.value));",
    "    }",
    "})();",
    "</script>",
};

}  // namespace

namespace {

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

void SearchIndex::addChapter(const QString& title, const QString& page, const QStringList& sectionNames,
                             const std::vector<QString>& snippets) {
    // Written straight into the list: a chapter of many sections makes no line of its own.
    if (!chapters_.isEmpty()) {
        chapters_ += u',';
        chapters_ += kCrLf;
    }
    QString& line = chapters_;
    line += u'[';
    AppendJavaScriptString(line, FileNameUrl(page));
    line += u',';
    AppendJavaScriptString(line, PlainTextOfHtml(title));
    line += u',';
    line += QString::number(snippetNumber(SnippetAt(snippets, 1)));
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
        line += QString::number(snippetNumber(SnippetAt(snippets, j)));
    }
    line += u"]]";
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
    QString& text = out.ws.page.PageText;
    for (const char* line : kSearchBody) {
        AddLineTo(text, QString::fromLatin1(line));
    }
    if (!WritePageFooter(out.ws.page, ui, out.path(kSearchPage))) {
        return false;
    }
    ui.addLogRow(QStringLiteral("> HTML Search"), QString(), RowStatus::Ok, QString(), kSearchPage);
    return true;
}

}  // namespace tessarel
