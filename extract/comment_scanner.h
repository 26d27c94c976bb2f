#pragma once

#include "support/settings.h"

#include <QString>

namespace tessarel {

class PassContext;
class UserInterface;

// The comment scanner: whole-text passes that close every comment block with
// "@/t" and blank the comment characters. A line start is the position after
// a CR LF pair; a blank is a space or a tab. Every pass is linear.

/// One multi-line style: every opener becomes two spaces, every closer "@/t".
void CloseMultiLineComments(QString& text, const QString& opener, const QString& closer,
                            PassContext* context = nullptr);
/// Brace comments: as CloseMultiLineComments with "{" and "}", but "{{" and
/// "}}" survive.
void CloseBraceComments(QString& text, PassContext* context = nullptr);

/// A prefix-character style: "@/t" before the CR of the last line of every
/// block of lines whose first non-blank character is `mark`; then, at every
/// line start after blanks, a run of `mark` becomes spaces, and so does a run
/// after a blank directly before a CR or "@/t".
void CloseAndBlankSingleLineBlocks(QString& text, QChar mark, PassContext* context = nullptr);
/// The double-slash style: "@/t" before the CR of the last line of every block
/// of "//" comments (a block may start after code); then every run of two or
/// more "/" becomes spaces.
void CloseAndBlankDoubleSlashBlocks(QString& text, PassContext* context = nullptr);

/// At every line start, after blanks, a run of "*" becomes spaces, and so does
/// a run before optional blanks and a CR, or directly before "@/t" (star rows).
void BlankStarDecoration(QString& text, PassContext* context = nullptr);
/// A line ending a block whose text before "@/t" starts with three equal
/// characters (a separator row) is blanked up to the "@/t".
void BlankSeparatorLines(QString& text, PassContext* context = nullptr);

/// The passes of the styles that are on, then star decoration (with any
/// multi-line style) and separator lines; each pass advances the progress by
/// its steps.
void ScanComments(QString& text, const CommentStyles& styles, UserInterface& ui, PassContext* context = nullptr);

/// The same passes without progress. None of them carries anything past a
/// line of blanks: they may run on pieces of a text cut at such lines.
void ScanComments(QString& text, const CommentStyles& styles, PassContext* context);
/// The progress steps ScanComments takes.
int ScanProgressSteps(const CommentStyles& styles);

/// The progress steps the passes of the styles that are on take in
/// ScanComments (star decoration and separator lines not counted).
int StyleProgressSteps(const CommentStyles& styles);

}  // namespace tessarel
