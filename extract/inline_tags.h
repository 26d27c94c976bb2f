#pragma once

#include "extract/pass_context.h"
#include "extract/text_search.h"
#include "support/string_functions.h"

#include <QString>
#include <QStringView>

#include <algorithm>

namespace tessarel {

/// The first `wanted` at or after a position that only grows: however many
/// questions are asked, the text is read once.
class ForwardCharSearch {
public:
    ForwardCharSearch(QStringView text, char16_t wanted) : text_(text), wanted_(wanted) {}
    qsizetype from(qsizetype position) {
        if (found_ == kUnknown || (found_ >= 0 && found_ < position)) {
            const qsizetype n = text_.size();
            const qsizetype at = position < n ? FindChar(text_.utf16(), n, position, wanted_) : n;
            found_ = at < n ? at : -1;
        }
        return found_;
    }

private:
    static constexpr qsizetype kUnknown = -2;
    QStringView text_;
    char16_t wanted_;
    qsizetype found_ = kUnknown;
};

/// The scheme shared by "@goto", "@link", "@email" and "@figure": each tag with a
/// non-empty [argument] is replaced, from its "@" to the first "]", by what
/// `append(QString& out, QStringView argument)` appends for the trimmed
/// argument; the search resumes after the replaced span (or `resumeLength`
/// characters after the tag's "@" when its "[" belongs to a later tag).
/// An empty argument stops the translation of that tag for the rest of the text.
template <typename Append>
void TranslateBracketedTags(QString& text, QStringView tag, qsizetype resumeLength, const Append& append,
                            PassContext* context = nullptr) {
    if (tag.isEmpty()) {
        return;
    }
    const qsizetype step = std::max<qsizetype>(resumeLength, 1);
    const QStringView view(text);
    TextRewriter out(text, context);
    ForwardCharSearch openBracket(view, u'[');
    ForwardCharSearch closeBracket(view, u']');
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = FindText(view, tag, from);
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
        const QStringView argument = TrimmedSpaces(view.sliced(open + 1, spanEnd - open - 1));
        if (argument.isEmpty()) {
            break;
        }
        append(out.replace(at, spanEnd + 1), argument);
        // Go on after the inserted text, so a tag inside an argument is never
        // translated a second time, and a short replacement (a link refused as
        // plain text) never hides the tag right after it.
        from = spanEnd + 1;
    }
    out.finish(text);
}

/// "@email[ADDRESS]" and "@email[ADDRESS, TEXT]" become mailto links. Run by
/// the parser over the whole source text, before the comment scan.
void TranslateEmailTags(QString& text, PassContext* context = nullptr);

}  // namespace tessarel
