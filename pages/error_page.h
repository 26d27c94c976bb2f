#pragma once

#include <QString>

namespace tessarel {

struct ModernPlace;

struct PageBuffer;
struct PageStyle;
struct ReadResult;
class UserInterface;

/// Writes a page titled "Error" whose body is `message` (HTML) to `path`,
/// replacing any file there once the new one is whole; with `modern`, a
/// modern page in that place.
bool WriteErrorPage(UserInterface& ui, PageBuffer& page, const PageStyle& style, const QString& message,
                    const QString& path, const ModernPlace* modern = nullptr);

/// The body of the page of a source without sections; only the part of the
/// name after its last separator is shown.
QString NoSectionsErrorBody(const QString& sourceFileName);
/// The body of the page of a book's chapter whose source is missing.
QString FileNotFoundErrorBody(const QString& chapterName);
/// The body of the page of a book's chapter whose source was not read.
QString FileNotReadErrorBody(const QString& chapterName, const ReadResult& read);

}  // namespace tessarel
