#include "support/setting_table.h"

namespace tessarel {

QString FileGroupName(FileGroup group) {
    switch (group) {
    case FileGroup::Interface:
        return QStringLiteral("Interface");
    case FileGroup::Settings:
        return QStringLiteral("Settings");
    case FileGroup::Comments:
        return QStringLiteral("Comments");
    case FileGroup::Book:
        return QStringLiteral("Book");
    case FileGroup::Loose:
        break;
    }
    return QString();
}

int CommentBits(const CommentStyles& styles, CommentLines lines) {
    int bits = 0;
    for (const CommentStyleKey& key : CommentStyleKeys(lines)) {
        bits |= styles.*key.flag ? key.weight : 0;
    }
    return bits;
}

void SetCommentBits(CommentStyles& styles, CommentLines lines, int bits) {
    for (const CommentStyleKey& key : CommentStyleKeys(lines)) {
        styles.*key.flag = (bits & key.weight) != 0;
    }
}

void CopySetting(const SettingRow& row, const Settings& from, Settings& to) {
    std::visit(Overloaded{
                   [&](CommentLines lines) { SetCommentBits(to.comments, lines, CommentBits(from.comments, lines)); },
                   [&](auto field) { to.*field = from.*field; },
               },
               row.field);
}

bool SameSetting(const SettingRow& row, const Settings& a, const Settings& b) {
    return std::visit(
        Overloaded{
            [&](CommentLines lines) { return CommentBits(a.comments, lines) == CommentBits(b.comments, lines); },
            [&](auto field) { return a.*field == b.*field; },
        },
        row.field);
}

}  // namespace tessarel
