#include "support/settings.h"

#include "support/setting_table.h"
#include "support/string_functions.h"

namespace tessarel {

int SingleLineCommentBits(const CommentStyles& s) { return CommentBits(s, CommentLines::Single); }

int MultipleLineCommentBits(const CommentStyles& s) { return CommentBits(s, CommentLines::Multiple); }

void SetSingleLineCommentBits(CommentStyles& s, int bits) { SetCommentBits(s, CommentLines::Single, bits); }

void SetMultipleLineCommentBits(CommentStyles& s, int bits) { SetCommentBits(s, CommentLines::Multiple, bits); }

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
