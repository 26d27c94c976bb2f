#pragma once

#include <QString>

#include <optional>

namespace tessarel {

// Values of the program's own XML files are text; these turn them back into
// numbers and flags the way the files were always read, but report a value that
// does not convert instead of failing somewhere later.

// Numbers: blanks around them allowed, a decimal fraction rounded half to
// even; nothing when the text is not a finite number or lies outside the range.

/// A 16-bit signed number, as counts and style numbers are stored.
std::optional<int> Int16Of(const QString& text);
/// A 32-bit signed number, as window bounds are stored.
std::optional<qint32> Int32Of(const QString& text);
/// "True" and "False" in any letter case, or a number where 0 is false.
std::optional<bool> TruthValueOf(const QString& text);

}  // namespace tessarel
