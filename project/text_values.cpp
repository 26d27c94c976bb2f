#include "project/text_values.h"

#include "support/string_functions.h"

#include <cmath>

namespace tessarel {

namespace {

std::optional<double> NumberOf(const QString& text) {
    const QString trimmed = TrimSpaces(text);
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        return std::nullopt;
    }
    return number;
}

std::optional<qint64> WholeNumberOf(const QString& text, qint64 minimum, qint64 maximum) {
    const std::optional<double> number = NumberOf(text);
    if (!number) {
        return std::nullopt;
    }
    // The default rounding mode rounds half to even, as the stored values were
    // always converted.
    const double rounded = std::nearbyint(*number);
    if (rounded < static_cast<double>(minimum) || rounded > static_cast<double>(maximum)) {
        return std::nullopt;
    }
    return static_cast<qint64>(rounded);
}

}  // namespace

std::optional<int> Int16Of(const QString& text) {
    const std::optional<qint64> number = WholeNumberOf(text, -32768, 32767);
    if (!number) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

std::optional<qint32> Int32Of(const QString& text) {
    const std::optional<qint64> number = WholeNumberOf(text, INT32_MIN, INT32_MAX);
    if (!number) {
        return std::nullopt;
    }
    return static_cast<qint32>(*number);
}

std::optional<bool> TruthValueOf(const QString& text) {
    const QString trimmed = TrimSpaces(text);
    if (trimmed.compare(u"True", Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (trimmed.compare(u"False", Qt::CaseInsensitive) == 0) {
        return false;
    }
    const std::optional<double> number = NumberOf(trimmed);
    if (!number) {
        return std::nullopt;
    }
    return *number != 0.0;
}

}  // namespace tessarel
