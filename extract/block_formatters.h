#pragma once

#include <QString>
#include <QStringView>

namespace tessarel {

class PassContext;
class UserInterface;

/// Runs the block formatters on one section's text, in their fixed order:
/// first-line heading, highlighted text, bullet lists, heading after a list,
/// heading after an empty line, numbered lines, definition tables, paragraphs.
void FormatSectionText(QString& text);
/// The same, the passes trading `text`'s buffer with the context's spare one:
/// formatting many sections through one working string and one context takes
/// no fresh allocation per pass.
void FormatSectionText(QString& text, PassContext& context);

// The formatters one by one, for the tests and for whoever needs only one.
void FormatFirstLineHeading(QString& text);
void FormatHighlightedText(QString& text);
void FormatBulletLists(QString& text);
void FormatHeadingsAfterLists(QString& text);
void FormatHeadingsAfterEmptyLines(QString& text);
void FormatNumberedLines(QString& text);
void FormatDefinitionTables(QString& text);
void FormatParagraphs(QString& text);
// With a context (which may be null), the result goes through its spare buffer.
void FormatHighlightedText(QString& text, PassContext* context);
void FormatBulletLists(QString& text, PassContext* context);
void FormatHeadingsAfterLists(QString& text, PassContext* context);
void FormatHeadingsAfterEmptyLines(QString& text, PassContext* context);
void FormatNumberedLines(QString& text, PassContext* context);
void FormatDefinitionTables(QString& text, PassContext* context);
void FormatParagraphs(QString& text, PassContext* context);

/// "<h4>" + the text from `start` up to the colon at `colon` (0-based), trimmed,
/// + "</h4>": what a heading line up to its colon becomes.
QString HeadingFromLine(const QString& text, qsizetype start, qsizetype colon);

}  // namespace tessarel
