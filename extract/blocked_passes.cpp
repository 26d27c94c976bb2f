#include "extract/blocked_passes.h"

#include "extract/comment_scanner.h"
#include "extract/emphasis.h"
#include "extract/keyword_parser.h"
#include "extract/pass_context.h"
#include "extract/protection_passes.h"
#include "extract/text_search.h"

#include <algorithm>
#include <vector>

namespace tessarel {

namespace {

void RunPasses(QString& text, const CommentStyles& styles, PassContext* context) {
    FormatEmphasis(text, styles, context);
    // The escapes must come before the scanner inserts its own markers.
    EscapeMarkers(text, context);
    ScanComments(text, styles, context);
    ConvertKeywordLines(text, context);
}

/// Where each block ends, the text cut at the first line of blanks from
/// `from` on: a block ends after that line's CR LF, and the next starts at
/// that CR LF, so that both see the line ends around the cut. Empty when a
/// block would be longer than `longest`.
std::vector<qsizetype> BlockEnds(const char16_t* s, qsizetype n, qsizetype blockChars, qsizetype longest) {
    std::vector<qsizetype> ends;
    qsizetype start = 0;
    while (n - start > blockChars) {
        qsizetype end = -1;
        for (qsizetype cr = FindChar(s, n, start + blockChars, kCr); cr + 1 < n; cr = FindChar(s, n, cr + 1, kCr)) {
            if (cr - start > longest) {
                return {};
            }
            if (s[cr + 1] != kLf) {
                continue;
            }
            qsizetype at = cr + 2;
            while (at < n && IsBlank(s[at])) {
                ++at;
            }
            if (at + 1 < n && s[at] == kCr && s[at + 1] == kLf) {
                end = at + 2;
                break;
            }
        }
        if (end < 0) {
            break;
        }
        ends.push_back(end);
        start = end - 2;
    }
    if (n - start > longest) {
        return {};
    }
    ends.push_back(n);
    return ends;
}

}  // namespace

std::vector<qsizetype> PassBlockEnds(QStringView text, qsizetype blockChars) {
    blockChars = std::max<qsizetype>(blockChars, 1);
    std::vector<qsizetype> ends = BlockEnds(text.utf16(), text.size(), blockChars, 16 * blockChars);
    if (ends.size() < 2) {
        ends.clear();
    }
    return ends;
}

void RunBlockedPasses(QString& text, const CommentStyles& styles, PassContext* context, qsizetype blockChars) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    const std::vector<qsizetype> ends = PassBlockEnds(text, blockChars);
    if (ends.empty()) {
        RunPasses(text, styles, context);
        return;
    }
    PassContext local;
    PassContext& whole = context != nullptr ? *context : local;
    QString& out = whole.output(n + n / 8 + 64);
    PassContext blockContext;
    QString block;
    qsizetype start = 0;
    for (const qsizetype end : ends) {
        // The first pass that changes the block reads it where it is; one that
        // writes in place takes a copy first, so the text is only read.
        block = QString::fromRawData(reinterpret_cast<const QChar*>(s + start), end - start);
        RunPasses(block, styles, &blockContext);
        // The CR LF a block starts with is the last block's.
        out.append(QStringView(block).sliced(start == 0 ? 0 : 2));
        start = end - 2;
    }
    whole.commit(text);
}

int BlockedPassSteps(const CommentStyles& styles) { return EmphasisSteps(styles) + 1 + ScanProgressSteps(styles) + 1; }

}  // namespace tessarel
