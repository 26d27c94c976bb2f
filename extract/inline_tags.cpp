#include "extract/inline_tags.h"

#include "extract/markers.h"
#include "support/html_text.h"

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

void TranslateEmailTags(QString& text, PassContext* context) {
    TranslateBracketedTags(
        text, kEmailTag, 5,
        [](QString& out, QStringView argument) {
            // "&#64" keeps the later "@" tag scanners off the address.
            auto hideAt = [](QStringView part) {
                QString hidden;
                hidden.reserve(part.size() + 8);
                for (qsizetype i = 0; i < part.size(); ++i) {
                    if (part[i] != u'@') {
                        hidden += part[i];
                        continue;
                    }
                    hidden += kHiddenAtSign;
                    if (i + 1 < part.size() && NeedsReferenceEnd(part[i + 1])) {
                        hidden += u';';
                    }
                }
                return TrimSpaces(hidden);
            };
            const qsizetype comma = argument.indexOf(u',');
            const QString address = hideAt(comma < 0 ? argument : argument.first(comma));
            const QString shown = comma < 0 ? address : hideAt(argument.sliced(comma + 1));
            out += u"<a HREF=\"mailto&#58;";
            AppendQuotedHtmlAttribute(out, address);
            out += u"\">";
            out += shown;
            out += u"</a>";
        },
        context);
}

}  // namespace tessarel
