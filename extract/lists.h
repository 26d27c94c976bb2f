#pragma once

#include <QString>

namespace tessarel {

class PassContext;

// Bullet lists, the heading after a list, numbered lines and definition
// tables of one section's text. With a context (which may be null), a pass
// writes its result into the context's spare buffer.

/// Lines starting with "o", "-" or "+" and a blank become list items; an
/// empty line or the end closes the list.
void FormatBulletLists(QString& text, PassContext* context = nullptr);
/// The first line after a list (and empty lines) that holds a colon becomes a
/// heading up to the colon.
void FormatHeadingsAfterLists(QString& text, PassContext* context = nullptr);
/// Every numbered line ("12. text") becomes "12 -  text".
void FormatNumberedLines(QString& text, PassContext* context = nullptr);
/// Lines "term - definition" become rows of a definition table.
void FormatDefinitionTables(QString& text, PassContext* context = nullptr);

}  // namespace tessarel
