#pragma once

#include "support/settings.h"

#include <QString>

namespace tessarel {

class UserInterface;
class Yielder;

/// Turns text between two `mark` characters into openTag + text + closeTag.
/// The opening mark follows a blank or a line feed, the marked text starts
/// with a visible character and stays on one line, and the closing mark is
/// followed by a CR, a blank or one of ":;.),".
void MarkEmphasis(QString& text, QChar mark, const QString& openTag, const QString& closeTag,
                  Yielder* yielder = nullptr);

/// "*bold*", with "(*" and "*)" hidden during the pass when they delimit comments.
void FormatBold(QString& text, bool hideParenthesisComments, Yielder* yielder = nullptr);
/// "/italic/", with "/*" and "*/" hidden during the pass when they delimit comments.
void FormatItalic(QString& text, bool hideSlashComments, Yielder* yielder = nullptr);
/// "_underline_".
void FormatUnderline(QString& text, Yielder* yielder = nullptr);

/// Bold, italic and underline in that order, one progress step after each
/// pass and after each hiding of comment delimiters.
void FormatEmphasis(QString& text, const CommentStyles& styles, UserInterface& ui, Yielder* yielder = nullptr);

}  // namespace tessarel
