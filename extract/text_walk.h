#pragma once

// What the character walks of the parser share.

#include <QString>
#include <QStringView>

namespace tessarel {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

inline const char16_t* Chars(const QString& text) { return QStringView(text).utf16(); }

}  // namespace tessarel
