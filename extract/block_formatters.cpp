#include "extract/block_formatters.h"

#include "extract/lists.h"
#include "extract/markers.h"
#include "extract/pass_context.h"
#include "extract/text_search.h"
#include "support/string_functions.h"

#include <utility>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool IsBlankOrBreak(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// A highlight closes only before one of these; ")" is deliberately not among them.
bool EndsHighlight(QChar c) {
    return c == u':' || c == u'\r' || c == u'\t' || c == u' ' || c == u';' || c == u'.' || c == u',';
}

}  // namespace

QString HeadingFromLine(const QString& text, qsizetype start, qsizetype colon) {
    return u"<h4>"_s + TrimSpaces(text.mid(start, colon - start)) + u"</h4>"_s;
}

void FormatFirstLineHeading(QString& text) {
    const qsizetype length = text.size();
    const QChar* chars = text.constData();
    qsizetype i = 0;
    while (i < length && IsBlankOrBreak(chars[i])) {
        ++i;
    }
    const qsizetype start = i;
    // The first visible character only starts the line; the colon is looked for after it.
    for (++i; i < length; ++i) {
        if (chars[i] == u'\r') {
            return;
        }
        if (chars[i] == u':') {
            text.replace(start, i - start + 1, HeadingFromLine(text, start, i));
            return;
        }
    }
}

/// Where the walk for "++highlighted++" text stands: outside, after one or two
/// opening signs, within the text, after one or two closing signs.
enum class HighlightWalk { Outside, OneOpening, TwoOpening, Inside, OneClosing, TwoClosing };

void FormatHighlightedText(QString& text, PassContext* context) {
    const qsizetype length = text.size();
    const QChar* chars = text.constData();
    const char16_t* s = QStringView(text).utf16();
    TextRewriter out(text, context);
    HighlightWalk state = HighlightWalk::Outside;
    qsizetype open = 0;
    qsizetype close = 0;
    for (qsizetype i = 0; i < length; ++i) {
        // Waiting states: only the characters searched for move the walk.
        if (state == HighlightWalk::Outside) {
            i = FindAnyOf<u'+'>(s, length, i);
        } else if (state == HighlightWalk::Inside || state == HighlightWalk::OneClosing) {
            i = FindAnyOf<u'+', u'\r'>(s, length, i);
        }
        if (i >= length) {
            break;
        }
        const QChar c = chars[i];
        switch (state) {
        case HighlightWalk::Outside:
            if (c == u'+') {
                open = i;
                state = HighlightWalk::OneOpening;
            }
            break;
        case HighlightWalk::OneOpening:
            state = c == u'+' ? HighlightWalk::TwoOpening : HighlightWalk::Outside;
            break;
        case HighlightWalk::TwoOpening:
            // Three plus signs open nothing, and the marked text starts visibly.
            state = (c == u'+' || IsBlankOrBreak(c)) ? HighlightWalk::Outside : HighlightWalk::Inside;
            break;
        case HighlightWalk::Inside:
            if (c == u'\r') {
                state = HighlightWalk::Outside;
            } else if (c == u'+') {
                close = i;
                state = HighlightWalk::OneClosing;
            }
            break;
        case HighlightWalk::OneClosing:
            if (c == u'\r') {
                state = HighlightWalk::Outside;
            } else if (c == u'+') {
                state = HighlightWalk::TwoClosing;
            }
            break;
        case HighlightWalk::TwoClosing:
            if (!EndsHighlight(c)) {
                open = close;
                state = HighlightWalk::TwoOpening;
                break;
            }
            // Text may stand between the two closing signs, and an opening taken
            // from such a closing is a single sign as well. Replacing through a
            // single sign would drop the character after it, so only true pairs
            // make a highlight.
            if (chars[open + 1] == u'+' && chars[close + 1] == u'+') {
                out.replace(open, close + 2,
                            QString(u"<font class=HighText>"_s + TrimSpaces(text.mid(open + 2, close - open - 2)) +
                                    u"</font>"_s));
                i = close + 1;  // the walk goes on right after the closing pair
            }
            state = HighlightWalk::Outside;
            break;
        }
    }
    out.finish(text);
}

namespace {

/// Follows the CR LF lines of a text one character at a time and tells when
/// a line of blanks only has ended. A line starts after a CR LF; a CR that
/// follows a CR may still be the first half of one.
class EmptyLineFinder {
public:
    /// Takes the next character; true when it is the LF after an empty line's CR.
    bool endsEmptyLine(QChar c) {
        switch (state_) {
        case InLine:
            if (c == u'\r') {
                state_ = AfterCr;
            }
            return false;
        case AfterCr:
            state_ = c == u'\n' ? LineStart : c == u'\r' ? AfterCr : InLine;
            return false;
        case LineStart:
            if (c == u'\r') {
                state_ = EmptyLineCr;
            } else if (!IsBlank(c)) {
                state_ = InLine;
            }
            return false;
        case EmptyLineCr:
            if (c == u'\n') {
                state_ = InLine;
                return true;
            }
            state_ = c == u'\r' ? AfterCr : InLine;
            return false;
        }
        return false;
    }
    /// Within a line only a CR changes anything: a walk may skip to the next.
    bool inLine() const { return state_ == InLine; }
    /// Goes on as if a CR, or a character within a line, had just been taken.
    void takenCr() { state_ = AfterCr; }
    void takenInLine() { state_ = InLine; }

private:
    enum State { InLine, AfterCr, LineStart, EmptyLineCr };
    State state_ = InLine;
};

}  // namespace

void FormatHeadingsAfterEmptyLines(QString& text, PassContext* context) {
    enum State { Lines, AfterEmptyLine, Candidate };
    const qsizetype length = text.size();
    const QChar* chars = text.constData();
    TextRewriter out(text, context);
    EmptyLineFinder lines;
    State state = Lines;
    qsizetype start = 0;
    const char16_t* s = QStringView(text).utf16();
    for (qsizetype i = 0; i < length; ++i) {
        if (state == Lines && lines.inLine()) {
            i = FindAnyOf<u'\r'>(s, length, i);
        } else if (state == Candidate) {
            i = FindAnyOf<u'\r', u':'>(s, length, i);
        }
        if (i >= length) {
            break;
        }
        const QChar c = chars[i];
        switch (state) {
        case Lines:
            if (lines.endsEmptyLine(c)) {
                state = AfterEmptyLine;
            }
            break;
        case AfterEmptyLine:
            if (!IsBlankOrBreak(c)) {
                start = i;
                state = Candidate;
            }
            break;
        case Candidate:
            if (c == u'\r') {
                // Its line break may begin the next empty line.
                lines.takenCr();
                state = Lines;
            } else if (c == u':') {
                out.replace(start, i + 1, HeadingFromLine(text, start, i));
                lines.takenInLine();
                state = Lines;
            }
            break;
        }
    }
    out.finish(text);
}

void FormatParagraphs(QString& text, PassContext* context) {
    const qsizetype length = text.size();
    const QChar* chars = text.constData();
    TextRewriter out(text, context);
    EmptyLineFinder lines;
    const char16_t* s = QStringView(text).utf16();
    for (qsizetype i = 0; i < length; ++i) {
        if (lines.inLine()) {
            i = FindAnyOf<u'\r'>(s, length, i);
            if (i >= length) {
                break;
            }
        }
        if (lines.endsEmptyLine(chars[i])) {
            // The mark makes the next line non-empty, so it starts no paragraph itself.
            out.insert(i + 1, kParagraphMarker);
        }
    }
    out.finish(text);
}

void FormatSectionText(QString& text, PassContext* context) {
    FormatFirstLineHeading(text);
    FormatHighlightedText(text, context);
    FormatBulletLists(text, context);
    FormatHeadingsAfterLists(text, context);
    FormatHeadingsAfterEmptyLines(text, context);
    FormatNumberedLines(text, context);
    FormatDefinitionTables(text, context);
    FormatParagraphs(text, context);
}

}  // namespace tessarel
