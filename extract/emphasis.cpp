#include "extract/emphasis.h"

#include "support/string_functions.h"
#include "support/user_interface.h"

#include <functional>

namespace tessarel {

namespace {

const QString kOpenerPlaceholder = QStringLiteral("<[[[!^^++]]]>");
const QString kCloserPlaceholder = QStringLiteral("<[[[!^^--]]]>");

inline bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

inline bool EndsEmphasis(char16_t c) {
    switch (c) {
    case u'\r':
    case u' ':
    case u'\t':
    case u':':
    case u';':
    case u'.':
    case u')':
    case u',':
        return true;
    default:
        return false;
    }
}

/// Runs the pass with the comment delimiters that contain the mark hidden, so
/// that their mark character is not taken for emphasis.
void WithDelimitersHidden(QString& text, const QString& opener, const QString& closer,
                          const std::function<void()>& pass) {
    ReplaceAll(text, opener, kOpenerPlaceholder);
    ReplaceAll(text, closer, kCloserPlaceholder);
    pass();
    ReplaceAll(text, kOpenerPlaceholder, opener);
    ReplaceAll(text, kCloserPlaceholder, closer);
}

}  // namespace

void MarkEmphasis(QString& text, QChar mark, const QString& openTag, const QString& closeTag, Yielder* yielder) {
    const char16_t m = mark.unicode();
    const qsizetype n = text.size();
    const char16_t* s = QStringView(text).utf16();
    QString out;
    qsizetype copied = 0;
    qsizetype open = 0;
    qsizetype close = 0;
    int state = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (yielder != nullptr) {
            yielder->tick();
        }
        const char16_t c = s[i];
        switch (state) {
        case 0:
            if (IsBlank(c) || c == u'\n') {
                state = 1;
            }
            break;
        case 1:
            if (c == m) {
                open = i;
                state = 2;
            } else {
                state = 0;
            }
            break;
        case 2:
            state = (c != m && !IsBlank(c) && c != u'\r' && c != u'\n') ? 3 : 0;
            break;
        case 3:
            if (c == u'\r') {
                state = 0;
            } else if (c == m) {
                close = i;
                state = 4;
            }
            break;
        case 4:
            if (EndsEmphasis(c)) {
                if (out.isEmpty()) {
                    out.reserve(n + n / 16 + 16);
                }
                out.append(QStringView(s + copied, open - copied));
                out.append(openTag);
                out.append(TrimSpaces(QStringView(s + open + 1, close - open - 1).toString()));
                out.append(closeTag);
                copied = close + 1;
                state = 0;
                // The walk goes on with the character after the closing tag.
                --i;
            } else {
                open = close;
                state = 2;
            }
            break;
        }
    }
    if (copied > 0) {
        out.append(QStringView(s + copied, n - copied));
        text = std::move(out);
    }
}

void FormatBold(QString& text, bool hideParenthesisComments, Yielder* yielder) {
    const auto pass = [&] { MarkEmphasis(text, u'*', QStringLiteral("<b>"), QStringLiteral("</b>"), yielder); };
    if (hideParenthesisComments) {
        WithDelimitersHidden(text, QStringLiteral("(*"), QStringLiteral("*)"), pass);
    } else {
        pass();
    }
}

void FormatItalic(QString& text, bool hideSlashComments, Yielder* yielder) {
    const auto pass = [&] { MarkEmphasis(text, u'/', QStringLiteral("<i>"), QStringLiteral("</i>"), yielder); };
    if (hideSlashComments) {
        WithDelimitersHidden(text, QStringLiteral("/*"), QStringLiteral("*/"), pass);
    } else {
        pass();
    }
}

void FormatUnderline(QString& text, Yielder* yielder) {
    MarkEmphasis(text, u'_', QStringLiteral("<u>"), QStringLiteral("</u>"), yielder);
}

void FormatEmphasis(QString& text, const CommentStyles& styles, UserInterface& ui, Yielder* yielder) {
    FormatBold(text, styles.chkM2, yielder);
    ui.AddProgress();
    if (styles.chkM2) {
        ui.AddProgress();
    }
    FormatItalic(text, styles.chkM1, yielder);
    ui.AddProgress();
    if (styles.chkM1) {
        ui.AddProgress();
    }
    FormatUnderline(text, yielder);
    ui.AddProgress();
}

}  // namespace tessarel
