#pragma once

#include <QString>

namespace tessarel {

class UserInterface;

/// Runs the block formatters on one section's text, in their fixed order:
/// first-line heading, highlighted text, bullet lists, heading after a list,
/// heading after an empty line, numbered lines, definition tables, paragraphs.
void FormatSectionText(QString& text);

// The formatters one by one, for the tests and for whoever needs only one.
void FormatFirstLineHeading(QString& text);
void FormatHighlightedText(QString& text);
void FormatBulletLists(QString& text);
void FormatHeadingsAfterLists(QString& text);
void FormatHeadingsAfterEmptyLines(QString& text);
void FormatNumberedLines(QString& text);
void FormatDefinitionTables(QString& text);
void FormatParagraphs(QString& text);

}  // namespace tessarel
