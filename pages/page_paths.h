#pragma once

#include <QString>

namespace tessarel {

/// True for a name ending in ".html" or ".htm" (case-sensitive): a source that
/// is a page already and is shown or copied, not parsed.
bool IsHtmlFileName(const QString& fileName);

/// The page name of a source file: unchanged when it is an HTML file name, else
/// with ".htm" appended.
QString PageFileName(const QString& fileName);

/// destination folder + separator + FileNameOf(fileName), doubled separators
/// collapsed; "" when the name has no file part (never a path outside the folder).
QString MakeChapterOutputPath(const QString& destinationFolder, const QString& fileName);

/// True when both paths name one existing file (through links or other folder names).
bool IsSameFile(const QString& a, const QString& b);

}  // namespace tessarel
