#include "support/sort.h"

namespace tessarel {

int CompareSortKeys(const QString& a, const QString& b) {
    const qsizetype shorter = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < shorter; ++i) {
        const char16_t left = a.at(i).toUpper().unicode();
        const char16_t right = b.at(i).toUpper().unicode();
        if (left != right) {
            return left < right ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

QString UpperSortKey(const QString& key) {
    QString upper(key.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(upper.data());
    const char16_t* in = reinterpret_cast<const char16_t*>(key.utf16());
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char16_t unit = in[i];
        // ASCII needs no table; every other unit is cased as CompareSortKeys does.
        if (unit < 0x80) {
            out[i] = unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - (u'a' - u'A')) : unit;
        } else {
            out[i] = QChar(unit).toUpper().unicode();
        }
    }
    return upper;
}

}  // namespace tessarel
