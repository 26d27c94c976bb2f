#include "support/settings.h"

#include "support/string_functions.h"

namespace tessarel {

int SingleLineCommentBits(const CommentStyles& s) {
    return (s.chkS1 ? 1 : 0) | (s.chkS2 ? 2 : 0) | (s.chkS4 ? 4 : 0) | (s.chkS8 ? 8 : 0) | (s.chkS16 ? 16 : 0) |
           (s.chkS32 ? 32 : 0) | (s.chkS64 ? 64 : 0);
}

int MultipleLineCommentBits(const CommentStyles& s) {
    return (s.chkM1 ? 1 : 0) | (s.chkM2 ? 2 : 0) | (s.chkM4 ? 4 : 0);
}

void SetSingleLineCommentBits(CommentStyles& s, int bits) {
    s.chkS1 = (bits & 1) != 0;
    s.chkS2 = (bits & 2) != 0;
    s.chkS4 = (bits & 4) != 0;
    s.chkS8 = (bits & 8) != 0;
    s.chkS16 = (bits & 16) != 0;
    s.chkS32 = (bits & 32) != 0;
    s.chkS64 = (bits & 64) != 0;
}

void SetMultipleLineCommentBits(CommentStyles& s, int bits) {
    s.chkM1 = (bits & 1) != 0;
    s.chkM2 = (bits & 2) != 0;
    s.chkM4 = (bits & 4) != 0;
}

QString HtmlFormOf(const QString& plain) {
    QString text = plain;
    ReplaceAll(text, QStringLiteral("(c)"), QStringLiteral("&#169;"));
    ReplaceAll(text, QStringLiteral("(C)"), QStringLiteral("&#169;"));
    ReplaceAll(text, kCrLf, QStringLiteral("<br>"));
    return text;
}

QString PlainFormOf(const QString& html) {
    QString text = html;
    ReplaceAll(text, QStringLiteral("&#169;"), QStringLiteral("(c)"));
    ReplaceAll(text, QStringLiteral("<br>"), kCrLf);
    return text;
}

}  // namespace tessarel
