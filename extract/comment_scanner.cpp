#include "extract/comment_scanner.h"

#include "support/string_functions.h"
#include "support/user_interface.h"

#include <QStringView>

namespace tessarel {

namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

inline bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

inline void Tick(Yielder* yielder) {
    if (yielder != nullptr) {
        yielder->tick();
    }
}

inline const char16_t* Chars(const QString& text) { return QStringView(text).utf16(); }
inline char16_t* WritableChars(QString& text) { return reinterpret_cast<char16_t*>(text.data()); }

inline bool CloseMarkerAt(const char16_t* s, qsizetype n, qsizetype i) {
    return i + 2 < n && s[i] == u'@' && s[i + 1] == u'/' && s[i + 2] == u't';
}

const QString kCloseMarker = QStringLiteral("@/t");

/// Appends "&#" and the decimal code of every character (a surrogate pair
/// counts as one character).
void AppendCharacterReferences(QString& out, QStringView content) {
    for (qsizetype i = 0; i < content.size(); ++i) {
        char32_t code = content[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < content.size() && content[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(content[i].unicode(), content[i + 1].unicode());
            ++i;
        }
        out += u"&#";
        out += QString::number(code);
    }
}

}  // namespace

void EncodeLiteralBlocks(QString& text, Yielder* yielder) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    QString out;
    qsizetype copied = 0;
    int state = 0;
    qsizetype open = 0;
    for (qsizetype i = 0; i < n; ++i) {
        Tick(yielder);
        const char16_t c = s[i];
        switch (state) {
        case 0:
            if (c == u'{') {
                state = 1;
            }
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
                if (out.isEmpty()) {
                    out.reserve(n + n / 8);
                }
                out.append(QStringView(s + copied, open - copied));
                const QString content = TrimSpaces(QStringView(s + open + 2, i - 1 - (open + 2)).toString());
                AppendCharacterReferences(out, content);
                copied = i + 1;
                state = 0;
            } else if (c == kCr) {
                state = 0;
            } else {
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

void ProtectWebAddresses(QString& text) {
    ReplaceAll(text, QStringLiteral("http://"), QStringLiteral("http&#58&#47&#47"));
    ReplaceAll(text, QStringLiteral("https://"), QStringLiteral("https&#58&#47&#47"));
}

void RestoreWebAddresses(QString& text) {
    ReplaceAll(text, QStringLiteral("http&#58&#47&#47"), QStringLiteral("http://"));
    ReplaceAll(text, QStringLiteral("https&#58&#47&#47"), QStringLiteral("https://"));
}

void EscapeMarkers(QString& text) {
    static const struct {
        const char16_t* found;
        const char16_t* replacement;
    } kEscapes[] = {
        {u"@t", u"&#64&#116"}, {u"@c", u"&#64&#99"},  {u"@r", u"&#64&#114"}, {u"@x", u"&#64&#120"},
        {u"@b", u"&#64&#98"},  {u"@i", u"&#64&#105"}, {u"@u", u"&#64&#117"}, {u"::", u"&#58&#58"},
    };
    for (const auto& escape : kEscapes) {
        ReplaceAll(text, QString::fromUtf16(escape.found), QString::fromUtf16(escape.replacement));
    }
}

void CloseMultiLineComments(QString& text, const QString& opener, const QString& closer) {
    // Two blanks whatever the opener's length: a single "{" widens the line.
    ReplaceAll(text, opener, QStringLiteral("  "));
    ReplaceAll(text, closer, kCloseMarker);
}

void CloseBraceComments(QString& text) {
    const QString openPlaceholder = QStringLiteral("[_un_+]..");
    const QString closePlaceholder = QStringLiteral("[_un_-]..");
    ReplaceAll(text, QStringLiteral("{{"), openPlaceholder);
    ReplaceAll(text, QStringLiteral("}}"), closePlaceholder);
    CloseMultiLineComments(text, QStringLiteral("{"), QStringLiteral("}"));
    ReplaceAll(text, openPlaceholder, QStringLiteral("{{"));
    ReplaceAll(text, closePlaceholder, QStringLiteral("}}"));
}

void CloseSingleLineBlocks(QString& text, QChar mark, Yielder* yielder) {
    const char16_t k = mark.unicode();
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    QString out;
    qsizetype copied = 0;
    qsizetype remembered = 0;
    int state = 0;
    for (qsizetype i = 0; i < n; ++i) {
        Tick(yielder);
        const char16_t c = s[i];
        switch (state) {
        case 0:
            if (c == kLf) {
                state = 2;
            }
            break;
        case 2:
            if (c == k) {
                state = 3;
            } else if (!IsBlank(c)) {
                state = 0;
            }
            break;
        case 3:
            if (c != k) {
                state = 4;
            }
            break;
        case 4:
            if (c == kLf) {
                remembered = i - 1;
                state = 6;
            }
            break;
        case 6:
            if (c == k) {
                state = 3;
            } else if (!IsBlank(c)) {
                state = 7;
            }
            break;
        case 7:
            // The block ended on the line before: close it before that line's
            // CR and walk on from there.
            if (out.isEmpty()) {
                out.reserve(n + n / 16 + 16);
            }
            out.append(QStringView(s + copied, remembered - copied));
            out.append(kCloseMarker);
            copied = remembered;
            i = remembered - 1;
            state = 0;
            break;
        }
    }
    if (!out.isEmpty()) {
        out.append(QStringView(s + copied, n - copied));
        text = std::move(out);
    }
}

void BlankLeadingRuns(QString& text, QChar mark, Yielder* yielder) {
    const char16_t k = mark.unicode();
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    char16_t* w = nullptr;
    for (qsizetype i = 1; i < n; ++i) {
        Tick(yielder);
        if (s[i] != kLf || s[i - 1] != kCr) {
            continue;
        }
        qsizetype j = i + 1;
        while (j < n && IsBlank(s[j])) {
            ++j;
        }
        qsizetype end = j;
        while (end < n && s[end] == k) {
            ++end;
        }
        if (end > j) {
            if (w == nullptr) {
                w = WritableChars(text);
                s = w;
            }
            std::fill(w + j, w + end, u' ');
        }
        i = end - 1;
    }
}

void BlankTrailingRuns(QString& text, QChar mark, Yielder* yielder) {
    const char16_t k = mark.unicode();
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    char16_t* w = nullptr;
    for (qsizetype i = 1; i < n; ++i) {
        Tick(yielder);
        if (s[i] != k || s[i - 1] == k) {
            continue;
        }
        qsizetype end = i;
        while (end < n && s[end] == k) {
            ++end;
        }
        if (IsBlank(s[i - 1]) && end < n && (s[end] == kCr || CloseMarkerAt(s, n, end))) {
            if (w == nullptr) {
                w = WritableChars(text);
                s = w;
            }
            std::fill(w + i, w + end, u' ');
        }
        i = end - 1;
    }
}

void CloseDoubleSlashBlocks(QString& text, Yielder* yielder) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    QString out;
    qsizetype copied = 0;
    qsizetype remembered = 0;
    int state = 0;
    for (qsizetype i = 0; i < n; ++i) {
        Tick(yielder);
        const char16_t c = s[i];
        bool close = false;
        switch (state) {
        case 0:
            if (c == u'/') {
                state = 2;
            }
            break;
        case 2:
            state = c == u'/' ? 3 : 0;
            break;
        case 3:
            if (c == kCr) {
                remembered = i;
                state = 4;
            }
            break;
        case 4:
            state = c == kLf ? 5 : 0;
            break;
        case 5:
            if (c == u'/') {
                state = 6;
            } else if (!IsBlank(c)) {
                close = true;
            }
            break;
        case 6:
            if (c == u'/') {
                state = 3;
            } else {
                close = true;
            }
            break;
        }
        if (close) {
            if (out.isEmpty()) {
                out.reserve(n + n / 16 + 16);
            }
            out.append(QStringView(s + copied, remembered - copied));
            out.append(kCloseMarker);
            copied = remembered;
            i = remembered - 1;
            state = 0;
        }
    }
    if (!out.isEmpty()) {
        out.append(QStringView(s + copied, n - copied));
        text = std::move(out);
    }
}

void BlankDoubleSlashes(QString& text, Yielder* yielder) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    char16_t* w = nullptr;
    for (qsizetype i = 0; i < n; ++i) {
        Tick(yielder);
        if (s[i] != u'/') {
            continue;
        }
        qsizetype end = i;
        while (end < n && s[end] == u'/') {
            ++end;
        }
        if (end - i >= 2) {
            if (w == nullptr) {
                w = WritableChars(text);
                s = w;
            }
            std::fill(w + i, w + end, u' ');
        }
        i = end - 1;
    }
}

void BlankTrailingStars(QString& text, Yielder* yielder) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    char16_t* w = nullptr;
    for (qsizetype i = 0; i < n; ++i) {
        Tick(yielder);
        if (s[i] != u'*') {
            continue;
        }
        qsizetype end = i;
        while (end < n && s[end] == u'*') {
            ++end;
        }
        bool closing = CloseMarkerAt(s, n, end);
        if (!closing) {
            qsizetype after = end;
            while (after < n && IsBlank(s[after])) {
                ++after;
            }
            closing = after < n && s[after] == kCr;
        }
        if (closing) {
            if (w == nullptr) {
                w = WritableChars(text);
                s = w;
            }
            std::fill(w + i, w + end, u' ');
        }
        i = end - 1;
    }
}

void BlankSeparatorLines(QString& text, Yielder* yielder) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    char16_t* w = nullptr;
    qsizetype lineStart = 0;
    while (lineStart < n) {
        Tick(yielder);
        // The line runs to the next CR LF (or the end of the text).
        qsizetype lineEnd = lineStart;
        while (lineEnd < n && !(s[lineEnd] == kCr && lineEnd + 1 < n && s[lineEnd + 1] == kLf)) {
            ++lineEnd;
        }
        qsizetype at = lineStart;
        while (at < lineEnd && s[at] != u'@') {
            ++at;
        }
        if (at < lineEnd && CloseMarkerAt(s, n, at)) {
            const QString before = TrimSpaces(QStringView(s + lineStart, at - lineStart).toString());
            if (before.size() >= 3 && before[0] == before[1] && before[1] == before[2]) {
                if (w == nullptr) {
                    w = WritableChars(text);
                    s = w;
                }
                std::fill(w + lineStart, w + at, u' ');
            }
        }
        lineStart = lineEnd + 2;
    }
}

void ScanComments(QString& text, const CommentStyles& styles, UserInterface& ui, Yielder* yielder) {
    if (styles.chkM1) {
        CloseMultiLineComments(text, QStringLiteral("/*"), QStringLiteral("*/"));
        ui.AddProgress();
        ui.AddProgress();
    }
    if (styles.chkM2) {
        CloseMultiLineComments(text, QStringLiteral("(*"), QStringLiteral("*)"));
        ui.AddProgress();
        ui.AddProgress();
    }
    if (styles.chkM4) {
        CloseBraceComments(text);
        for (int step = 0; step < 4; ++step) {
            ui.AddProgress();
        }
    }

    const auto prefixStyle = [&](QChar mark) {
        CloseSingleLineBlocks(text, mark, yielder);
        ui.AddProgress();
        BlankLeadingRuns(text, mark, yielder);
        ui.AddProgress();
        BlankTrailingRuns(text, mark, yielder);
        ui.AddProgress();
    };
    if (styles.chkS32) {
        prefixStyle(u'c');
        prefixStyle(u'C');
    }
    if (styles.chkS1) {
        CloseDoubleSlashBlocks(text, yielder);
        ui.AddProgress();
        BlankDoubleSlashes(text, yielder);
        ui.AddProgress();
    }
    if (styles.chkS2) {
        prefixStyle(u'\'');
    }
    if (styles.chkS4) {
        prefixStyle(u'#');
    }
    if (styles.chkS8) {
        prefixStyle(u';');
    }
    if (styles.chkS16) {
        prefixStyle(u'-');
    }
    if (styles.chkS64) {
        prefixStyle(u'!');
    }

    if (styles.anyMultiLine()) {
        BlankLeadingRuns(text, u'*', yielder);
        ui.AddProgress();
        BlankTrailingStars(text, yielder);
        ui.AddProgress();
    }
    BlankSeparatorLines(text, yielder);
    ui.AddProgress();
}

int StyleProgressSteps(const CommentStyles& styles) {
    int steps = 0;
    steps += styles.chkS1 ? 2 : 0;
    steps += styles.chkS2 ? 3 : 0;
    steps += styles.chkS4 ? 3 : 0;
    steps += styles.chkS8 ? 3 : 0;
    steps += styles.chkS16 ? 3 : 0;
    steps += styles.chkS32 ? 6 : 0;
    steps += styles.chkS64 ? 3 : 0;
    steps += styles.chkM1 ? 3 : 0;
    steps += styles.chkM2 ? 3 : 0;
    steps += styles.chkM4 ? 4 : 0;
    return steps;
}

}  // namespace tessarel
