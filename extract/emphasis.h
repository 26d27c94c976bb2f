#pragma once

#include "support/settings.h"

#include <QString>

namespace tessarel {

class UserInterface;
class PassContext;

// Emphasis: text between two marks becomes openTag + text + closeTag. The
// opening mark follows a blank or a line feed, the marked text starts with a
// visible character and stays on one line, and the closing mark is followed
// by a CR, a blank or one of ":;.),".

/// "*bold*", with "(*" and "*)" hidden during the pass when they delimit comments.
void FormatBold(QString& text, bool hideParenthesisComments, PassContext* context = nullptr);
/// "/italic/", with "/*" and "*/" hidden during the pass when they delimit comments.
void FormatItalic(QString& text, bool hideSlashComments, PassContext* context = nullptr);
/// "_underline_".
void FormatUnderline(QString& text, PassContext* context = nullptr);

/// Bold, italic and underline in that order, one progress step after each
/// pass and after each hiding of comment delimiters.
void FormatEmphasis(QString& text, const CommentStyles& styles, UserInterface& ui, PassContext* context = nullptr);
/// The same passes without progress. Nothing they do reaches across a CR:
/// they may run on pieces of a text cut at line ends.
void FormatEmphasis(QString& text, const CommentStyles& styles, PassContext* context);
/// The progress steps FormatEmphasis takes.
int EmphasisSteps(const CommentStyles& styles);
/// The progress steps FormatEmphasis takes beyond one per pass.
int EmphasisHidingSteps(const CommentStyles& styles);

}  // namespace tessarel
