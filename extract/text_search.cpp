#include "extract/text_search.h"

#include <algorithm>

namespace tessarel {

qsizetype FindText(QStringView text, QStringView needle, qsizetype from) {
    const qsizetype m = needle.size();
    const qsizetype n = text.size();
    const char16_t* s = text.utf16();
    if (from < 0 || m == 0) {
        return text.indexOf(needle, from);
    }
    if (from >= n) {
        return -1;
    }
    if (m == 1) {
        const qsizetype at = FindChar(s, n, from, needle.front().unicode());
        return at < n ? at : -1;
    }
    const auto rarity = [](char16_t c) {
        switch (c) {
        case u'@':
        case u'{':
        case u'}':
        case u'*':
        case u':':
        case u'[':
        case u']':
        case u'<':
        case u'>':
        case u'#':
        case u'!':
        case u';':
        case u'&':
        case u'^':
        case u'_':
        case u'\'':
        case u'\\':
            return 3;
        case u' ':
        case u'\t':
        case u'\r':
        case u'\n':
            return 0;
        case u'(':
        case u')':
        case u'/':
        case u',':
        case u'.':
            return 1;
        default:
            return 2;
        }
    };
    qsizetype anchor = 0;
    for (qsizetype k = 1; k < m; ++k) {
        if (rarity(needle[k].unicode()) > rarity(needle[anchor].unicode())) {
            anchor = k;
        }
    }
    const char16_t c = needle[anchor].unicode();
    const char16_t* wanted = needle.utf16();
    for (qsizetype p = FindChar(s, n, from + anchor, c); p < n; p = FindChar(s, n, p + 1, c)) {
        const qsizetype start = p - anchor;
        if (start + m > n) {
            break;
        }
        if (std::equal(wanted, wanted + m, s + start)) {
            return start;
        }
    }
    return -1;
}

namespace {

/// Whether the delimiters are two characters each, the opener's second the
/// closer's first, and neither pair of equal characters ("/*" and "*/"): then
/// no two openers overlap, nor two closers, and one walk to that middle
/// character finds both.
bool SharesMiddleCharacter(QStringView opener, QStringView closer) {
    return opener.size() == 2 && closer.size() == 2 && opener[1] == closer[0] && opener[0] != opener[1] &&
           closer[0] != closer[1];
}

}  // namespace

std::vector<std::pair<qsizetype, bool>> OpenersThenClosers(QStringView text, QStringView opener, QStringView closer) {
    std::vector<qsizetype> openers;
    std::vector<qsizetype> closers;
    if (SharesMiddleCharacter(opener, closer)) {
        const char16_t* s = text.utf16();
        const qsizetype n = text.size();
        const char16_t before = opener[0].unicode();
        const char16_t middle = opener[1].unicode();
        const char16_t after = closer[1].unicode();
        for (qsizetype p = FindChar(s, n, 0, middle); p < n; p = FindChar(s, n, p + 1, middle)) {
            if (p > 0 && s[p - 1] == before) {
                openers.push_back(p - 1);
            }
            if (p + 1 < n && s[p + 1] == after) {
                closers.push_back(p);
            }
        }
    } else {
        for (qsizetype at = FindText(text, opener); at >= 0; at = FindText(text, opener, at + opener.size())) {
            openers.push_back(at);
        }
        for (qsizetype at = FindText(text, closer); at >= 0; at = FindText(text, closer, at + 1)) {
            closers.push_back(at);
        }
    }
    std::vector<std::pair<qsizetype, bool>> all;
    size_t next = 0;
    qsizetype free = 0;  // where a closer may start: after the last one taken
    for (const qsizetype at : closers) {
        if (at < free) {
            continue;
        }
        while (next < openers.size() && openers[next] + opener.size() <= at) {
            all.emplace_back(openers[next++], false);
        }
        if (next < openers.size() && openers[next] < at + closer.size()) {
            continue;  // gone with the opener
        }
        all.emplace_back(at, true);
        // A later closer starts after this one: the replacements never overlap.
        free = at + closer.size();
    }
    for (; next < openers.size(); ++next) {
        all.emplace_back(openers[next], false);
    }
    return all;
}

}  // namespace tessarel
