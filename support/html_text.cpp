#include "support/html_text.h"

#include <algorithm>
#include <array>

namespace tessarel {

namespace {

/// The entity of a character that EscapeHtml or EscapeHtmlAttribute replaces; null for others.
const char16_t* EntityOf(char16_t c, bool quote) {
    switch (c) {
    case u'&':
        return u"&amp;";
    case u'<':
        return u"&lt;";
    case u'>':
        return u"&gt;";
    case u'"':
        return quote ? u"&quot;" : nullptr;
    default:
        return nullptr;
    }
}

QString Escaped(const QString& text, bool quote) {
    const qsizetype size = text.size();
    qsizetype first = 0;
    while (first < size && EntityOf(text[first].unicode(), quote) == nullptr) {
        ++first;
    }
    if (first == size) {
        return text;
    }
    QString out;
    out.reserve(size + size / 8 + 8);
    out.append(QStringView(text).first(first));
    for (qsizetype i = first; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (const char16_t* entity = EntityOf(c, quote)) {
            out.append(QStringView(entity));
        } else {
            out.append(QChar(c));
        }
    }
    return out;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

/// The length of the emphasis tag starting at `at`, or 0.
qsizetype EmphasisTagAt(QStringView code, qsizetype at) {
    static constexpr std::array<QStringView, 6> kTags{u"<b>", u"</b>", u"<i>", u"</i>", u"<u>", u"</u>"};
    const QStringView rest = code.sliced(at);
    for (const QStringView tag : kTags) {
        if (rest.startsWith(tag)) {
            return tag.size();
        }
    }
    return 0;
}

/// The named references a page may hold, with what they stand for.
struct NamedReference {
    QStringView name;
    char16_t value;
};
constexpr NamedReference kNamedReferences[] = {
    {u"amp", u'&'},     {u"lt", u'<'},       {u"gt", u'>'},       {u"quot", u'"'},     {u"apos", u'\''},
    {u"nbsp", 0x00A0},  {u"copy", 0x00A9},   {u"reg", 0x00AE},    {u"trade", 0x2122},  {u"laquo", 0x00AB},
    {u"raquo", 0x00BB}, {u"ndash", 0x2013},  {u"mdash", 0x2014},  {u"hellip", 0x2026}, {u"auml", 0x00E4},
    {u"ouml", 0x00F6},  {u"uuml", 0x00FC},   {u"Auml", 0x00C4},   {u"Ouml", 0x00D6},   {u"Uuml", 0x00DC},
    {u"szlig", 0x00DF}, {u"eacute", 0x00E9}, {u"egrave", 0x00E8}, {u"agrave", 0x00E0}, {u"ccedil", 0x00E7},
};

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

char32_t DigitValue(char16_t c) {
    if (IsDigit(c)) {
        return c - u'0';
    }
    return (c | 0x20) - u'a' + 10;
}

bool IsHexDigit(char16_t c) { return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

/// Decodes the reference at `at` ("&..."): appends what it stands for and
/// returns its length, or 0 when it is no reference (the "&" is then text).
/// The ";" may be missing after a number, as the scanner writes "&#N".
qsizetype DecodeReferenceAt(QStringView html, qsizetype at, QString& out) {
    const qsizetype size = html.size();
    qsizetype i = at + 1;
    if (i < size && html[i] == u'#') {
        ++i;
        const bool hex = i < size && (html[i] == u'x' || html[i] == u'X');
        i += hex ? 1 : 0;
        // Every digit belongs to the number, as a browser reads it; a number
        // past Unicode stays past it.
        char32_t value = 0;
        const qsizetype digits = i;
        while (i < size && (hex ? IsHexDigit(html[i].unicode()) : IsDigit(html[i].unicode()))) {
            value = std::min<char32_t>(value * (hex ? 16 : 10) + DigitValue(html[i].unicode()), 0x110000);
            ++i;
        }
        if (i == digits) {
            return 0;
        }
        if (i < size && html[i] == u';') {
            ++i;
        }
        if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            value = 0xFFFD;
        }
        out.append(QStringView(QChar::fromUcs4(value)));
        return i - at;
    }
    while (i < size && i - at <= 8 && IsAsciiLetter(html[i].unicode())) {
        ++i;
    }
    if (i >= size || html[i] != u';') {
        return 0;
    }
    const QStringView name = html.sliced(at + 1, i - at - 1);
    for (const NamedReference& reference : kNamedReferences) {
        if (reference.name == name) {
            out.append(QChar(reference.value));
            return i + 1 - at;
        }
    }
    return 0;
}

/// The length of the tag starting at `at` ("<" and a letter, "/", "!" or "?"
/// up to the next ">"), or 0 when the "<" is text.
qsizetype TagAt(QStringView html, qsizetype at) {
    if (at + 1 >= html.size()) {
        return 0;
    }
    const char16_t next = html[at + 1].unicode();
    if (!IsAsciiLetter(next) && next != u'/' && next != u'!' && next != u'?') {
        return 0;
    }
    const qsizetype end = html.indexOf(u'>', at + 1);
    return end < 0 ? html.size() - at : end + 1 - at;
}

/// A character of a URL scheme after its first letter.
bool IsSchemeCharacter(char16_t c) { return IsAsciiLetter(c) || IsDigit(c) || c == u'+' || c == u'-' || c == u'.'; }

/// The length of a named reference at `at` ("&", letters and digits, ";"), or 0.
qsizetype NamedReferenceLength(QStringView text, qsizetype at) {
    if (text[at] != u'&') {
        return 0;
    }
    qsizetype i = at + 1;
    while (i < text.size() && (IsAsciiLetter(text[i].unicode()) || IsDigit(text[i].unicode()))) {
        ++i;
    }
    return i > at + 1 && i < text.size() && text[i] == u';' ? i + 1 - at : 0;
}

bool NeedsPercent(char16_t c) {
    return c < 0x20 || c == 0x7F || c == u'%' || c == u'#' || c == u'?' || c == u':' || c == u'\\';
}

}  // namespace

QString EscapeHtml(const QString& text) { return Escaped(text, false); }

QString EscapeHtmlAttribute(const QString& text) { return Escaped(text, true); }

void AppendEscapedHtmlAttribute(QString& out, QStringView text) {
    qsizetype copied = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (const char16_t* entity = EntityOf(text[i].unicode(), true)) {
            out.append(text.sliced(copied, i - copied));
            out.append(QStringView(entity));
            copied = i + 1;
        }
    }
    out.append(text.sliced(copied));
}

QString QuoteHtmlAttribute(const QString& html) {
    if (!html.contains(QLatin1Char('"'))) {
        return html;
    }
    QString out;
    AppendQuotedHtmlAttribute(out, html);
    return out;
}

void AppendQuotedHtmlAttribute(QString& out, QStringView html) {
    qsizetype copied = 0;
    for (qsizetype at = html.indexOf(u'"'); at >= 0; at = html.indexOf(u'"', copied)) {
        out.append(html.sliced(copied, at - copied));
        out.append(u"&quot;");
        copied = at + 1;
    }
    out.append(html.sliced(copied));
}

QString EscapeSourceCode(QStringView code) {
    QString out;
    out.reserve(code.size() + 16);
    const qsizetype size = code.size();
    const char16_t* chars = code.utf16();
    for (qsizetype i = 0; i < size; ++i) {
        // Runs without a character to escape go over whole.
        qsizetype end = i;
        while (end < size && chars[end] != u'&' && chars[end] != u'<' && chars[end] != u'>') {
            ++end;
        }
        if (end > i) {
            out.append(code.sliced(i, end - i));
            i = end;
            if (i == size) {
                break;
            }
        }
        const char16_t c = chars[i];
        if (c == u'&') {
            const bool reference = i + 2 < size && code[i + 1] == u'#' && IsDigit(code[i + 2].unicode());
            out.append(reference ? QStringView(u"&") : QStringView(u"&amp;"));
        } else if (c == u'<') {
            const qsizetype tag = EmphasisTagAt(code, i);
            if (tag > 0) {
                out.append(code.sliced(i, tag));
                i += tag - 1;
            } else {
                out.append(u"&lt;");
            }
        } else {
            out.append(u"&gt;");
        }
    }
    return out;
}

QString FileNameUrl(const QString& name) {
    bool any = false;
    for (const QChar c : name) {
        any = any || NeedsPercent(c.unicode());
    }
    if (!any) {
        return name;
    }
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    QString out;
    out.reserve(name.size() + 16);
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (NeedsPercent(u)) {
            out.append(QLatin1Char('%'));
            out.append(QChar(kHex[u >> 4]));
            out.append(QChar(kHex[u & 0xF]));
        } else {
            out.append(c);
        }
    }
    return out;
}

bool IsSafeLinkTarget(QStringView target) {
    // A browser decodes the attribute first; its URL parser then drops tabs and
    // line breaks anywhere, and blanks and control characters before the URL.
    const QString decoded = DecodeHtmlReferences(target);
    QString seen;
    seen.reserve(decoded.size());
    for (const QChar c : decoded) {
        const char16_t u = c.unicode();
        if (u == u'\t' || u == u'\n' || u == u'\r' || (seen.isEmpty() && u <= 0x20)) {
            continue;
        }
        seen.append(c);
    }
    // The scheme's characters, and any reference left undecoded among them:
    // one this decoder does not know may stand for a colon or a tab.
    qsizetype end = 0;
    while (end < seen.size()) {
        if (IsSchemeCharacter(seen[end].unicode())) {
            ++end;
        } else if (NamedReferenceLength(seen, end) > 0) {
            return false;
        } else {
            break;
        }
    }
    if (end == 0 || end == seen.size() || seen[end] != u':' || !IsAsciiLetter(seen[0].unicode())) {
        return true;  // no scheme: a relative or anchor target
    }
    static constexpr std::array<QStringView, 4> kSchemes{u"http", u"https", u"ftp", u"mailto"};
    const QStringView scheme = QStringView(seen).first(end);
    return std::any_of(kSchemes.begin(), kSchemes.end(),
                       [scheme](QStringView safe) { return scheme.compare(safe, Qt::CaseInsensitive) == 0; });
}

bool IsReferenceEnd(QStringView text, qsizetype at) {
    if (at < 0 || at + 1 >= text.size() || text[at] != u';' || !NeedsReferenceEnd(text[at + 1])) {
        return false;
    }
    qsizetype start = at;
    while (start > 0 && IsDigit(text[start - 1].unicode())) {
        --start;
    }
    return start < at && start >= 2 && text[start - 1] == u'#' && text[start - 2] == u'&';
}

QString PlainTextOfHtml(QStringView html, int maxWords) {
    QString out;
    out.reserve(std::min<qsizetype>(html.size(), maxWords > 0 ? qsizetype{maxWords} * 12 : html.size()));
    int words = 0;
    bool blank = true;  // a blank is pending (or the text has not started)
    const qsizetype size = html.size();
    for (qsizetype i = 0; i < size;) {
        const char16_t c = html[i].unicode();
        if (c == u'<') {
            if (const qsizetype tag = TagAt(html, i)) {
                // A tag such as "<br>" or "<p>" parts words as a blank would.
                blank = true;
                i += tag;
                continue;
            }
        }
        QString piece;
        qsizetype length = 1;
        if (c == u'&') {
            length = DecodeReferenceAt(html, i, piece);
        }
        if (length == 0 || piece.isEmpty()) {
            piece = QChar(c);
            length = 1;
        }
        i += length;
        for (const QChar ch : std::as_const(piece)) {
            if (ch.isSpace()) {
                blank = true;
                continue;
            }
            if (blank) {
                if (maxWords > 0 && words == maxWords) {
                    return out;
                }
                if (!out.isEmpty()) {
                    out.append(u' ');
                }
                ++words;
                blank = false;
            }
            out.append(ch);
        }
    }
    return out;
}

QString DecodeHtmlReferences(QStringView html) {
    QString out;
    out.reserve(html.size());
    for (qsizetype i = 0; i < html.size();) {
        const qsizetype length = html[i] == u'&' ? DecodeReferenceAt(html, i, out) : 0;
        if (length == 0) {
            out.append(html[i]);
            ++i;
        } else {
            i += length;
        }
    }
    return out;
}

}  // namespace tessarel
