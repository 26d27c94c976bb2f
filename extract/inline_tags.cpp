#include "extract/inline_tags.h"

#include "extract/block_formatters.h"
#include "extract/comment_scanner.h"
#include "support/string_functions.h"

#include <algorithm>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

// The first `wanted` at or after `from`, remembering the last answer: the
// searches of one translation only move forward, so the text is read once.
class ForwardSearch {
public:
    ForwardSearch(const QString& text, QChar wanted) : text_(text), wanted_(wanted) {}
    qsizetype from(qsizetype position) {
        if (found_ == kUnknown || (found_ >= 0 && found_ < position)) {
            const qsizetype n = text_.size();
            const qsizetype at = position < n ? FindChar(QStringView(text_).utf16(), n, position, wanted_.unicode()) : n;
            found_ = at < n ? at : -1;
        }
        return found_;
    }

private:
    static constexpr qsizetype kUnknown = -2;
    const QString& text_;
    QChar wanted_;
    qsizetype found_ = kUnknown;
};

}  // namespace

void TranslateBracketedTags(QString& text, const QString& tag, qsizetype resumeLength,
                            const std::function<QString(const QString& argument)>& makeReplacement,
                            PassContext* context) {
    if (tag.isEmpty()) {
        return;
    }
    const qsizetype step = std::max<qsizetype>(resumeLength, 1);
    TextRewriter out(text, context);
    ForwardSearch openBracket(text, u'[');
    ForwardSearch closeBracket(text, u']');
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = FindText(text, tag, from);
        if (at < 0) {
            break;
        }
        const qsizetype open = openBracket.from(at + 3);
        const qsizetype spanEnd = closeBracket.from(at);
        if (open < 0 || spanEnd < 0) {
            break;
        }
        if (open > spanEnd) {
            // The bracket belongs to something later; taking it would copy one
            // argument into every such tag before it.
            from = at + step;
            continue;
        }
        const QString argument = TrimSpaces(text.mid(open + 1, spanEnd - open - 1));
        if (argument.isEmpty()) {
            break;
        }
        const QString replacement = makeReplacement(argument);
        out.replace(at, spanEnd + 1, replacement);
        // Go on after the inserted text, so a tag inside an argument is never
        // translated a second time.
        from = spanEnd + 1 + std::max<qsizetype>(0, step - replacement.size());
    }
    out.finish(text);
}

void TranslateEmailTags(QString& text, PassContext* context) {
    TranslateBracketedTags(text, u"@email"_s, 5, [](const QString& argument) {
        // "&#64" keeps the later "@" tag scanners off the address.
        auto hideAt = [](QString part) {
            ReplaceAll(part, u"@"_s, u"&#64"_s);
            return TrimSpaces(part);
        };
        const qsizetype comma = argument.indexOf(u',');
        const QString address = hideAt(comma < 0 ? argument : argument.left(comma));
        const QString shown = comma < 0 ? address : hideAt(argument.mid(comma + 1));
        return u"<a HREF=\"mailto&#58;"_s + address + u"\">"_s + shown + u"</a>"_s;
    }, context);
}

}  // namespace tessarel
