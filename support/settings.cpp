#include "support/settings.h"

#include "support/string_functions.h"

namespace tessarel {

int SingleLineCommentBits(const CommentStyles& s) {
    return (s.doubleSlash ? 1 : 0) | (s.apostrophe ? 2 : 0) | (s.hash ? 4 : 0) | (s.semicolon ? 8 : 0) |
           (s.dash ? 16 : 0) | (s.letterC ? 32 : 0) | (s.exclamation ? 64 : 0);
}

int MultipleLineCommentBits(const CommentStyles& s) {
    return (s.slashStar ? 1 : 0) | (s.parenStar ? 2 : 0) | (s.braces ? 4 : 0);
}

void SetSingleLineCommentBits(CommentStyles& s, int bits) {
    s.doubleSlash = (bits & 1) != 0;
    s.apostrophe = (bits & 2) != 0;
    s.hash = (bits & 4) != 0;
    s.semicolon = (bits & 8) != 0;
    s.dash = (bits & 16) != 0;
    s.letterC = (bits & 32) != 0;
    s.exclamation = (bits & 64) != 0;
}

void SetMultipleLineCommentBits(CommentStyles& s, int bits) {
    s.slashStar = (bits & 1) != 0;
    s.parenStar = (bits & 2) != 0;
    s.braces = (bits & 4) != 0;
}

ChapterOverview ChapterOverviewFromStored(const QString& stored) {
    if (stored == u"0") {
        return ChapterOverview::Summary;
    }
    if (stored == u"1") {
        return ChapterOverview::Contents;
    }
    return ChapterOverview::None;
}

QString StoredChapterOverview(ChapterOverview overview) {
    switch (overview) {
    case ChapterOverview::Summary:
        return QStringLiteral("0");
    case ChapterOverview::Contents:
        return QStringLiteral("1");
    case ChapterOverview::None:
        break;
    }
    return QStringLiteral("2");
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
