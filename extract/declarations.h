#pragma once

#include <QString>

namespace tessarel {

struct DocumentModel;

/// Cleans every Name (a name ending its comment block empties the Text) and
/// looks up each section's declaration in the source text.
void FindDeclarations(DocumentModel& doc);

/// A declaration as cut from the source: line-continuation "_" words and the
/// first "@t" removed.
QString CleanDeclaration(QString cut);

}  // namespace tessarel
