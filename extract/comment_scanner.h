#pragma once

#include "support/settings.h"

#include <QString>

namespace tessarel {

class UserInterface;
class Yielder;

// The comment scanner: whole-text passes that protect what must not be read as
// comment marks, close every comment block with "@/t" and blank the comment
// characters. A line start is the position after a CR LF pair; a blank is a
// space or a tab. Every pass is linear; the yielder, when given, is ticked as
// the pass walks.

/// "{{text}}" on one line becomes "&#N" per character of the trimmed text.
void EncodeLiteralBlocks(QString& text, Yielder* yielder = nullptr);
/// "http://" and "https://" lose their colon and slashes ("&#58&#47&#47").
void ProtectWebAddresses(QString& text);
/// The reverse of ProtectWebAddresses.
void RestoreWebAddresses(QString& text);
/// Escapes "@t", "@c", "@r", "@x", "@b", "@i", "@u" and "::" so that source
/// text can form neither span markers nor inline tags.
void EscapeMarkers(QString& text);

/// One multi-line style: every opener becomes two spaces, every closer "@/t".
void CloseMultiLineComments(QString& text, const QString& opener, const QString& closer);
/// Brace comments: as CloseMultiLineComments with "{" and "}", but "{{" and
/// "}}" survive.
void CloseBraceComments(QString& text);

/// Prefix-character styles, pass 1: "@/t" before the CR of the last line of
/// every block of lines whose first non-blank character is `mark`.
void CloseSingleLineBlocks(QString& text, QChar mark, Yielder* yielder = nullptr);
/// At every line start, after blanks, a run of `mark` becomes spaces.
void BlankLeadingRuns(QString& text, QChar mark, Yielder* yielder = nullptr);
/// A run of `mark` after a blank and directly before a CR or "@/t" becomes spaces.
void BlankTrailingRuns(QString& text, QChar mark, Yielder* yielder = nullptr);

/// Double-slash style, pass 1: "@/t" before the CR of the last line of every
/// block of "//" comments (a block may start after code).
void CloseDoubleSlashBlocks(QString& text, Yielder* yielder = nullptr);
/// Every run of two or more "/" becomes spaces.
void BlankDoubleSlashes(QString& text, Yielder* yielder = nullptr);

/// A run of "*" before optional blanks and a CR, or directly before "@/t",
/// becomes spaces (closing star rows).
void BlankTrailingStars(QString& text, Yielder* yielder = nullptr);
/// A line ending a block whose text before "@/t" starts with three equal
/// characters (a separator row) is blanked up to the "@/t".
void BlankSeparatorLines(QString& text, Yielder* yielder = nullptr);

/// Multi-line styles, single-line styles, star decoration and separator lines,
/// for the styles that are on; one progress step after each pass.
void ScanComments(QString& text, const CommentStyles& styles, UserInterface& ui, Yielder* yielder = nullptr);

/// Progress steps ScanComments and the emphasis passes take for the styles
/// that are on, beyond the fixed passes.
int StyleProgressSteps(const CommentStyles& styles);

}  // namespace tessarel
