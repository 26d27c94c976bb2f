#pragma once

#include <QString>

namespace tessarel {

/// Sets the two time stamps the compiler writes into a compiled help file to
/// `secondsSinceEpoch`, so a rebuild gives the same bytes. False when the file
/// is not a compiled help file this understands; it is then left as it was.
bool SetCompiledHelpStamps(const QString& compiledFile, qint64 secondsSinceEpoch);

}  // namespace tessarel
