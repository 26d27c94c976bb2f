#include "extract/lists.h"

#include "extract/block_formatters.h"
#include "extract/pass_context.h"
#include "extract/text_search.h"
#include "support/string_functions.h"

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool IsLineBreak(QChar c) { return c == u'\r' || c == u'\n'; }
bool IsBlankOrBreak(QChar c) { return IsBlank(c) || IsLineBreak(c); }
/// Spaces and tabs off both ends: a tab-aligned table's cells start at their text.
QStringView TrimmedBlanks(QStringView text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && IsBlank(text[from])) {
        ++from;
    }
    while (to > from && IsBlank(text[to - 1])) {
        --to;
    }
    return text.sliced(from, to - from);
}

bool IsBullet(QChar c) { return c == u'o' || c == u'-' || c == u'+'; }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

void FormatBulletLists(QString& text, PassContext* context) {
    enum State { LineStart, AfterBullet, InLine };
    const qsizetype length = text.size();
    const QChar* chars = text.constData();
    TextRewriter out(text, context);
    State state = LineStart;
    bool listOpen = false;
    qsizetype bullet = 0;
    const char16_t* s = QStringView(text).utf16();
    for (qsizetype i = 0; i < length; ++i) {
        if (state == InLine) {
            i = FindAnyOf<u'\n'>(s, length, i);
            if (i >= length) {
                break;
            }
        }
        const QChar c = chars[i];
        switch (state) {
        case LineStart:
            if (IsBlank(c) || c == u'\n') {
                break;
            }
            if (IsBullet(c)) {
                bullet = i;
                state = AfterBullet;
            } else {
                if (c == u'\r' && listOpen) {
                    // An empty line ends the list: "</ul>" goes just before its CR.
                    out.insert(i, u"</ul>");
                    listOpen = false;
                }
                state = InLine;
            }
            break;
        case AfterBullet:
            if (IsBlank(c)) {
                out.replace(bullet, i + 1, listOpen ? u"<li>" : u"<ul>\r\n<li>");
                listOpen = true;
                state = InLine;
            } else {
                state = c == u'\n' ? LineStart : InLine;
            }
            break;
        case InLine:
            if (c == u'\n') {
                state = LineStart;
            }
            break;
        }
    }
    if (listOpen) {
        out.insert(length, u"</ul>");
    }
    out.finish(text);
}

void FormatHeadingsAfterLists(QString& text, PassContext* context) {
    enum State { Searching, AfterListEnd, AfterCr, SkippingEmptyLines, Candidate };
    static const QString listEnd = u"/ul>"_s;
    const qsizetype length = text.size();
    const QChar* chars = text.constData();
    TextRewriter out(text, context);
    State state = Searching;
    qsizetype start = 0;
    const char16_t* s = QStringView(text).utf16();
    for (qsizetype i = 0; i < length; ++i) {
        if (state == Searching) {
            i = FindAnyOf<u'/'>(s, length, i);
        } else if (state == Candidate) {
            i = FindAnyOf<u'\r', u':'>(s, length, i);
        }
        if (i >= length) {
            break;
        }
        const QChar c = chars[i];
        switch (state) {
        case Searching:
            if (c == u'/' && QStringView(text).mid(i).startsWith(listEnd)) {
                i += listEnd.size() - 1;
                state = AfterListEnd;
            }
            break;
        case AfterListEnd:
            if (c == u'\r') {
                state = AfterCr;
            } else if (!IsBlank(c)) {
                state = Searching;
            }
            break;
        case AfterCr:
            state = c == u'\n' ? SkippingEmptyLines : Searching;
            break;
        case SkippingEmptyLines:
            if (!IsBlankOrBreak(c)) {
                start = i;
                state = Candidate;
            }
            break;
        case Candidate:
            if (c == u'\r') {
                state = Searching;
            } else if (c == u':') {
                out.replace(start, i + 1, HeadingFromLine(text, start, i));
                state = Searching;
            }
            break;
        }
    }
    out.finish(text);
}

// A numbered line follows a CR LF (or starts the text): blanks, digits, ".",
// a blank and the rest of the line, which must end in CR LF. Its "." becomes
// " - ". Every line after a CR LF is tried once.
void FormatNumberedLines(QString& text, PassContext* context) {
    const qsizetype length = text.size();
    const QChar* chars = text.constData();
    TextRewriter out(text, context);
    qsizetype lineStart = 0;
    while (lineStart < length) {
        qsizetype i = lineStart;
        while (i < length && IsBlank(chars[i])) {
            ++i;
        }
        const qsizetype digits = i;
        while (i < length && IsDigit(chars[i])) {
            ++i;
        }
        if (i > digits && i + 1 < length && chars[i] == u'.' && IsBlank(chars[i + 1])) {
            const qsizetype dot = i;
            i += 2;
            while (i < length && !IsLineBreak(chars[i])) {
                ++i;
            }
            if (i + 1 < length && chars[i] == u'\r' && chars[i + 1] == u'\n') {
                out.replace(dot, dot + 1, u" - ");
                lineStart = i + 2;
                continue;
            }
        }
        const qsizetype lineBreak = FindText(text, u"\r\n", lineStart);
        if (lineBreak < 0) {
            break;
        }
        lineStart = lineBreak + 2;
    }
    out.finish(text);
}

namespace {

const QString kFirstRowStart = u"\r\n<table class=DefTable>\r\n<tr class=Def>\r\n<td class=Def>\r\n"_s;
const QString kRowStart = u"\r\n<tr class=Def>\r\n<td class=Def>\r\n"_s;
const QString kRowMiddle = u"\r\n</td>\r\n<td class=DefSep>-</td>\r\n<td class=DefText>\r\n"_s;
const QString kLastRowEnd = u"\r\n</td>\r\n</tr>\r\n</table>\r\n"_s;
const QString kRowEnd = u"\r\n</td>\r\n</tr>\r\n"_s;

// One definition waiting for the line that tells whether it is the last of its table.
struct PendingRow {
    qsizetype termStart = 0;
    qsizetype dash = 0;
    qsizetype lastLineEnd = 0;  // exclusive
};

}  // namespace

void FormatDefinitionTables(QString& text, PassContext* context) {
    enum State { LineStart, Term, BlanksAfterTerm, Dash, Definition, LineBreak };
    const qsizetype length = text.size();
    const QChar* chars = text.constData();
    TextRewriter out(text, context);
    State state = LineStart;
    bool pending = false;
    bool tableOpen = false;
    PendingRow row;
    qsizetype termStart = 0;
    qsizetype dash = 0;

    QString html;
    html.reserve(256);
    auto writeRow = [&](bool last) {
        const QStringView view(text);
        html.resize(0);
        html += tableOpen ? kRowStart : kFirstRowStart;
        html += TrimmedBlanks(view.sliced(row.termStart, row.dash - row.termStart));
        html += kRowMiddle;
        html += TrimmedBlanks(view.sliced(row.dash + 1, row.lastLineEnd - row.dash - 1));
        html += last ? kLastRowEnd : kRowEnd;
        out.replace(row.termStart, row.lastLineEnd, html);
        tableOpen = !last;
        pending = false;
    };
    // A line that is not empty ends here: it is the pending row's definition
    // line or a continuation of its text.
    auto endLine = [&](qsizetype end) {
        if (pending) {
            row.lastLineEnd = end;
        }
    };

    const char16_t* s = QStringView(text).utf16();
    for (qsizetype i = 0; i < length; ++i) {
        // Within a term only a line break or a dash after a blank matters,
        // within a definition only line breaks, after a CR only the LF.
        if (state == Term) {
            const qsizetype from = i;
            i = FindAnyOf<u'-', u'\r', u'\n'>(s, length, i);
            if (i < length && chars[i] == u'-' && i > from && IsBlank(chars[i - 1])) {
                state = BlanksAfterTerm;
            }
        } else if (state == Definition) {
            i = FindAnyOf<u'\r', u'\n'>(s, length, i);
        } else if (state == LineBreak) {
            i = FindAnyOf<u'\n'>(s, length, i);
        }
        if (i >= length) {
            break;
        }
        const QChar c = chars[i];
        switch (state) {
        case LineStart:
            if (c == u'\r') {
                if (pending) {
                    writeRow(true);
                }
                state = LineBreak;
            } else if (!IsBlank(c) && c != u'\n') {
                termStart = i;
                state = Term;
            }
            break;
        case Term:
        case BlanksAfterTerm:
        case Dash:
        case Definition:
            if (IsLineBreak(c)) {
                endLine(i);
                state = c == u'\n' ? LineStart : LineBreak;
            } else if (state == Term) {
                if (IsBlank(c)) {
                    state = BlanksAfterTerm;
                }
            } else if (state == BlanksAfterTerm) {
                if (c == u'-') {
                    dash = i;
                    state = Dash;
                } else if (!IsBlank(c)) {
                    state = Term;
                }
            } else if (state == Dash) {
                if (IsBlank(c)) {
                    // Term, blanks, "-" and a blank: a new definition line.
                    if (pending) {
                        writeRow(false);
                    }
                    row = PendingRow{termStart, dash, length};
                    pending = true;
                    state = Definition;
                } else {
                    state = Term;
                }
            }
            break;
        case LineBreak:
            if (c == u'\n') {
                state = LineStart;
            }
            break;
        }
    }
    // Section texts end with an empty line; any other text still gets its table closed.
    if (pending) {
        if (state == Term || state == BlanksAfterTerm || state == Dash || state == Definition) {
            endLine(length);
        }
        writeRow(true);
    }
    out.finish(text);
}

}  // namespace tessarel
