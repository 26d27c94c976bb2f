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

/// Builds the result of a pass that replaces ranges of a text from left to
/// right. Untouched stretches are copied once, so the pass stays linear however
/// many replacements it makes. Indexes are 0-based; ranges must not go back
/// behind the end of an earlier one. With a context, the result is built in
/// its spare buffer.
class RangeRewriter {
public:
    explicit RangeRewriter(const QString& source, PassContext* context = nullptr)
        : source_(source), context_(context) {}
    /// Replaces source[from, to) by `replacement`.
    void replace(qsizetype from, qsizetype to, QStringView replacement);
    void insert(qsizetype at, QStringView insertion) { replace(at, at, insertion); }
    /// Makes the rewritten text `text`, which must be the source; nothing
    /// happens when nothing was replaced.
    void finish(QString& text);

private:
    const QString& source_;
    PassContext* context_;
    QString own_;
    QString* result_ = nullptr;
    qsizetype copied_ = 0;
};

}  // namespace tessarel
