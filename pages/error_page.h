#pragma once

#include <QString>

namespace tessarel {

struct PageBuffer;
struct PageStyle;
class UserInterface;

/// Writes a page titled "Error" whose body is `message` (HTML). With a
/// destination folder the page goes there under FileNameOf(path), replacing any
/// file of that name; without one, to `path` itself.
bool WriteErrorPage(UserInterface& ui, PageBuffer& page, const PageStyle& style, const QString& destinationFolder,
                    const QString& message, const QString& path);

}  // namespace tessarel
