#include "extract/protection_passes.h"

#include "extract/markers.h"
#include "extract/pass_context.h"
#include "extract/text_search.h"
#include "support/html_text.h"
#include "support/string_functions.h"

namespace tessarel {

namespace {

/// Appends "&#" and the decimal code of every character (a surrogate pair
/// counts as one character), and the last one's ";" where `next` needs it.
void AppendCharacterReferences(QString& out, QStringView content, QChar next) {
    for (qsizetype i = 0; i < content.size(); ++i) {
        char32_t code = content[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < content.size() && content[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(content[i].unicode(), content[i + 1].unicode());
            ++i;
        }
        char16_t digits[10];
        int count = 0;
        do {
            digits[count++] = static_cast<char16_t>(u'0' + code % 10);
            code /= 10;
        } while (code != 0);
        out += u"&#";
        while (count > 0) {
            out += QChar(digits[--count]);
        }
    }
    if (!content.isEmpty() && NeedsReferenceEnd(next)) {
        out += u';';
    }
}

}  // namespace

/// Where the walk for "{{literal}}" stands.
enum class LiteralWalk { Outside, AfterBrace, InBlock, AfterClosingBrace };

void EncodeLiteralBlocks(QString& text, PassContext* context) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    TextRewriter out(text, context);
    LiteralWalk state = LiteralWalk::Outside;
    qsizetype open = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (state == LiteralWalk::Outside) {
            // Nothing happens before the next brace.
            i = FindChar(s, n, i, u'{');
            if (i >= n) {
                break;
            }
        }
        const char16_t c = s[i];
        switch (state) {
        case LiteralWalk::Outside:
            state = LiteralWalk::AfterBrace;
            break;
        case LiteralWalk::AfterBrace:
            if (c == u'{') {
                open = i - 1;
                state = LiteralWalk::InBlock;
            } else {
                state = LiteralWalk::Outside;
            }
            break;
        case LiteralWalk::InBlock:
            if (c == u'}') {
                state = LiteralWalk::AfterClosingBrace;
            } else if (c == kCr) {
                state = LiteralWalk::Outside;
            }
            break;
        case LiteralWalk::AfterClosingBrace:
            if (c == u'}') {
                AppendCharacterReferences(out.replace(open, i + 1),
                                          TrimmedSpaces(QStringView(s + open + 2, i - 1 - (open + 2))),
                                          i + 1 < n ? QChar(s[i + 1]) : QChar());
                state = LiteralWalk::Outside;
            } else if (c == kCr) {
                state = LiteralWalk::Outside;
            } else {
                state = LiteralWalk::InBlock;
            }
            break;
        }
    }
    out.finish(text);
}

namespace {

/// Whether "http" or "https" stands right before `at`.
bool FollowsScheme(QStringView text, qsizetype at) {
    const qsizetype scheme = at >= 1 && text[at - 1] == u's' ? at - 5 : at - 4;
    return scheme >= 0 && text.sliced(scheme).startsWith(u"http");
}

}  // namespace

void ProtectWebAddresses(QString& text, PassContext* context) {
    // This is replacing the "http" forms everywhere and then the "https" forms:
    // the two never overlap, and neither replacement holds a character that
    // could make a new one.
    const QStringView view(text);
    TextRewriter out(text, context);
    const qsizetype length = kSchemeSeparator.size();
    for (qsizetype at = FindText(view, kSchemeSeparator); at >= 0; at = FindText(view, kSchemeSeparator, at + length)) {
        if (FollowsScheme(view, at)) {
            QString& hidden = out.replace(at, at + length);
            hidden.append(kHiddenSchemeSeparator);
            if (at + length < view.size() && NeedsReferenceEnd(view[at + length])) {
                hidden.append(u';');
            }
        }
    }
    out.finish(text);
}

void RestoreWebAddresses(QString& text, PassContext* context) {
    // The ";" that ProtectWebAddresses wrote before a digit or a ";" goes too.
    const QStringView view(text);
    TextRewriter out(text, context);
    const qsizetype length = kHiddenSchemeSeparator.size();
    for (qsizetype at = FindText(view, kHiddenSchemeSeparator); at >= 0;
         at = FindText(view, kHiddenSchemeSeparator, at + length)) {
        if (FollowsScheme(view, at)) {
            const bool end = IsReferenceEnd(view, at + length);
            out.replace(at, at + length + (end ? 1 : 0)).append(kSchemeSeparator);
        }
    }
    out.finish(text);
}

void EscapeMarkers(QString& text, PassContext* context) {
    // One walk does what replacing the eight pairs one after another does: no
    // escape contains "@" or ":", so none can form a pair for a later one.
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    TextRewriter out(text, context);
    for (qsizetype i = FindAnyOf<u'@', u':'>(s, n - 1, 0); i + 1 < n; i = FindAnyOf<u'@', u':'>(s, n - 1, i + 1)) {
        const char16_t c = s[i];
        const char16_t next = s[i + 1];
        const char16_t* escape = nullptr;
        if (c == u':') {
            escape = next == u':' ? u"&#58&#58" : nullptr;
        } else {
            switch (next) {
            case u't':
                escape = u"&#64&#116";
                break;
            case u'c':
                escape = u"&#64&#99";
                break;
            case u'r':
                escape = u"&#64&#114";
                break;
            case u'x':
                escape = u"&#64&#120";
                break;
            case u'b':
                escape = u"&#64&#98";
                break;
            case u'i':
                escape = u"&#64&#105";
                break;
            case u'u':
                escape = u"&#64&#117";
                break;
            default:
                break;
            }
        }
        if (escape != nullptr) {
            QString& escaped = out.replace(i, i + 2).append(QStringView(escape));
            if (i + 2 < n && NeedsReferenceEnd(QChar(s[i + 2]))) {
                escaped.append(u';');
            }
            ++i;
        }
    }
    out.finish(text);
}

}  // namespace tessarel
