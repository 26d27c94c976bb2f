#include "support/html_text.h"

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

bool NeedsPercent(char16_t c) {
    return c < 0x20 || c == 0x7F || c == u'%' || c == u'#' || c == u'?' || c == u':' || c == u'\\';
}

}  // namespace

QString EscapeHtml(const QString& text) { return Escaped(text, false); }

QString EscapeHtmlAttribute(const QString& text) { return Escaped(text, true); }

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
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = code[i].unicode();
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
        } else if (c == u'>') {
            out.append(u"&gt;");
        } else {
            out.append(QChar(c));
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
    // Browsers drop tabs and line breaks anywhere in a URL, and blanks and
    // control characters before it, before they look for a scheme.
    QString seen;
    seen.reserve(target.size());
    for (const QChar c : target) {
        const char16_t u = c.unicode();
        if (u == u'\t' || u == u'\n' || u == u'\r' || (seen.isEmpty() && u <= 0x20)) {
            continue;
        }
        seen.append(c);
    }
    qsizetype headEnd = 0;
    while (headEnd < seen.size() && seen[headEnd] != u'/' && seen[headEnd] != u'?' && seen[headEnd] != u'#') {
        ++headEnd;
    }
    const QStringView head = QStringView(seen).first(headEnd);
    if (!head.contains(u':') && !head.contains(u'&')) {
        return true;
    }
    static constexpr std::array<QStringView, 4> kSchemes{u"http:", u"https:", u"ftp:", u"mailto:"};
    for (const QStringView scheme : kSchemes) {
        if (seen.startsWith(scheme, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

}  // namespace tessarel
