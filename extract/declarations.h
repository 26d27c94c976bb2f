#pragma once

#include <QString>

namespace tessarel {

struct DocumentModel;

/// Cleans every Name (a name ending its comment block empties the Text) and
/// looks up each section's declaration in the source text.
void FindDeclarations(DocumentModel& doc);
/// The two steps of FindDeclarations. The second reads only the names, the
/// positions and the source text and writes only the Declarations, so it may
/// run beside work on the sections' texts.
void TidySectionNames(DocumentModel& doc);
void FindDeclarationsOfNames(DocumentModel& doc);

/// A declaration as cut from the source: line-continuation "_" words and the
/// first "@t" removed.
QString CleanDeclaration(QString cut);

}  // namespace tessarel
