#pragma once

#include <QString>
#include <QStringView>

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

/// "<h4>" + the text from `start` up to the colon at `colon` (0-based), trimmed,
/// + "</h4>": what a heading line up to its colon becomes.
QString HeadingFromLine(const QString& text, qsizetype start, qsizetype colon);

/// Builds the result of a pass that replaces ranges of a text from left to
/// right. Untouched stretches are copied once, so the pass stays linear however
/// many replacements it makes. Indexes are 0-based; ranges must not go back
/// behind the end of an earlier one.
class RangeRewriter {
public:
    explicit RangeRewriter(const QString& source) : source_(source) {}
    /// Replaces source[from, to) by `replacement`.
    void replace(qsizetype from, qsizetype to, QStringView replacement);
    void insert(qsizetype at, QStringView insertion) { replace(at, at, insertion); }
    /// The rewritten text; the source itself when nothing was replaced.
    QString finish();

private:
    const QString& source_;
    QString result_;
    qsizetype copied_ = 0;
    bool changed_ = false;
};

}  // namespace tessarel
