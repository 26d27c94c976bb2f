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

std::vector<std::pair<qsizetype, bool>> OpenersThenClosers(QStringView text, QStringView opener, QStringView closer) {
    std::vector<qsizetype> openers;
    for (qsizetype at = FindText(text, opener); at >= 0; at = FindText(text, opener, at + opener.size())) {
        openers.push_back(at);
    }
    std::vector<std::pair<qsizetype, bool>> all;
    size_t next = 0;
    for (qsizetype at = FindText(text, closer); at >= 0; at = FindText(text, closer, at + 1)) {
        while (next < openers.size() && openers[next] + opener.size() <= at) {
            all.emplace_back(openers[next++], false);
        }
        if (next < openers.size() && openers[next] < at + closer.size()) {
            continue;  // gone with the opener
        }
        all.emplace_back(at, true);
        // A later closer starts after this one: the replacements never overlap.
        at += closer.size() - 1;
    }
    for (; next < openers.size(); ++next) {
        all.emplace_back(openers[next], false);
    }
    return all;
}

}  // namespace tessarel
