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

}  // namespace tessarel
