#include "app/stored_lengths.h"

#include <cmath>

namespace tessarel {

namespace {
constexpr double kStoredUnitsPerInch = 1440.0;
}

int PixelsFromStoredLength(double stored, double dpi) {
    return static_cast<int>(std::lround(stored * dpi / kStoredUnitsPerInch));
}

double StoredLengthFromPixels(int pixels, double dpi) { return pixels * kStoredUnitsPerInch / dpi; }

}  // namespace tessarel
