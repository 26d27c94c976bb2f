#include "extract/protection_passes.h"

#include "extract/markers.h"
#include "extract/pass_context.h"
#include "extract/text_search.h"
#include "support/string_functions.h"

namespace tessarel {

namespace {

/// Appends "&#" and the decimal code of every character (a surrogate pair
/// counts as one character).
void AppendCharacterReferences(QString& out, QStringView content) {
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
}

}  // namespace

void EncodeLiteralBlocks(QString& text, PassContext* context) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    TextRewriter out(text, context);
    int state = 0;
    qsizetype open = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (state == 0) {
            // Nothing happens before the next brace.
            i = FindChar(s, n, i, u'{');
            if (i >= n) {
                break;
            }
        }
        Tick(context);
        const char16_t c = s[i];
        switch (state) {
        case 0:
            state = 1;
            break;
        case 1:
            if (c == u'{') {
                open = i - 1;
                state = 2;
            } else {
                state = 0;
            }
            break;
        case 2:
            if (c == u'}') {
                state = 3;
            } else if (c == kCr) {
                state = 0;
            }
            break;
        case 3:
            if (c == u'}') {
                AppendCharacterReferences(out.replace(open, i + 1),
                                          TrimmedSpaces(QStringView(s + open + 2, i - 1 - (open + 2))));
                state = 0;
            } else if (c == kCr) {
                state = 0;
            } else {
                state = 2;
            }
            break;
        }
    }
    out.finish(text);
}

namespace {

/// Replaces `separator` by `replacement` wherever "http" or "https" stands
/// right before it. This is replacing the "http" forms everywhere and then
/// the "https" forms: the two never overlap, and neither replacement holds a
/// character that could make a new one.
void ReplaceAfterScheme(QString& text, QStringView separator, QStringView replacement, PassContext* context) {
    const QStringView view(text);
    const char16_t* s = view.utf16();
    TextRewriter out(text, context);
    for (qsizetype at = FindText(view, separator); at >= 0; at = FindText(view, separator, at + separator.size())) {
        const qsizetype scheme = at >= 1 && s[at - 1] == u's' ? at - 5 : at - 4;
        if (scheme >= 0 && view.sliced(scheme).startsWith(u"http")) {
            out.replace(at, at + separator.size()).append(replacement);
        }
    }
    out.finish(text);
}

}  // namespace

void ProtectWebAddresses(QString& text, PassContext* context) {
    ReplaceAfterScheme(text, kSchemeSeparator, kHiddenSchemeSeparator, context);
}

void RestoreWebAddresses(QString& text, PassContext* context) {
    ReplaceAfterScheme(text, kHiddenSchemeSeparator, kSchemeSeparator, context);
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
            out.replace(i, i + 2).append(QStringView(escape));
            ++i;
        }
    }
    out.finish(text);
}

}  // namespace tessarel
