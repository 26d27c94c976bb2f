#pragma once

#include <QString>

namespace tessarel {

/// Where the texts of book/resources are compiled in: the longer parts of the
/// book's pages, kept as the files they are (HTML, script) rather than in code.
inline const QString kBookResources = QStringLiteral(":/tessarel/book/");

/// Appends every line of the resource `name` to `buffer` as AddLineTo does,
/// so the page ends its lines in CR LF whatever the file's line ends.
void AddResourceLinesTo(QString& buffer, const QString& name);

}  // namespace tessarel
