#pragma once

#include <QString>

namespace tessarel {

class PassContext;

// The block formatters of one section's text. With a context (which may be
// null), a pass writes its result into the context's spare buffer.

/// Runs the block formatters in their fixed order: first-line heading,
/// highlighted text, bullet lists, heading after a list, heading after an
/// empty line, numbered lines, definition tables, paragraphs. Formatting many
/// sections through one working string and one context takes no fresh
/// allocation per pass.
void FormatSectionText(QString& text, PassContext* context = nullptr);

/// A first line that holds a colon becomes a heading up to the colon.
void FormatFirstLineHeading(QString& text);
/// "++text++" becomes highlighted text.
void FormatHighlightedText(QString& text, PassContext* context = nullptr);
/// A line after an empty line that holds a colon becomes a heading up to the colon.
void FormatHeadingsAfterEmptyLines(QString& text, PassContext* context = nullptr);
/// "@p" after every empty line.
void FormatParagraphs(QString& text, PassContext* context = nullptr);

/// "<h4>" + the text from `start` up to the colon at `colon` (0-based), trimmed,
/// + "</h4>": what a heading line up to its colon becomes.
QString HeadingFromLine(const QString& text, qsizetype start, qsizetype colon);

}  // namespace tessarel
