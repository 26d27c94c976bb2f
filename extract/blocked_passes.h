#pragma once

#include "support/settings.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace tessarel {

class PassContext;

/// Characters of the text the blocked passes take at least at once: with the
/// pass buffers, a block stays in the processor's cache from pass to pass.
inline constexpr qsizetype kPassBlockChars = qsizetype{1} << 16;

/// The emphasis passes, the marker escapes, the comment scan and the keyword
/// lines, in that order, as if each ran over the whole text in turn. None of
/// them carries anything past a line of blanks (a line with nothing but
/// spaces and tabs, or nothing), and none changes such a line or the CR LF
/// around it. So they run together on one block of lines after another,
/// each cut at the first such line after `blockChars` characters: the text
/// crosses memory once instead of once per pass. A text with no such line
/// within 16 times `blockChars` runs whole, pass after pass. No progress.
void RunBlockedPasses(QString& text, const CommentStyles& styles, PassContext* context = nullptr,
                      qsizetype blockChars = kPassBlockChars);

/// Where RunBlockedPasses ends its blocks (the last is the text's length; each
/// block after the first starts two characters before the last one ends, at
/// the CR LF closing the line of blanks); empty when it runs the text whole.
std::vector<qsizetype> PassBlockEnds(QStringView text, qsizetype blockChars = kPassBlockChars);

/// The progress steps the passes of RunBlockedPasses take when run one by one.
int BlockedPassSteps(const CommentStyles& styles);

}  // namespace tessarel
