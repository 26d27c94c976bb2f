#include "extract/web_links.h"

#include "extract/markers.h"
#include "extract/pass_context.h"
#include "extract/text_search.h"
#include "support/html_text.h"
#include "support/string_functions.h"

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

bool EndsAddress(QChar c) { return c == u',' || c == u';' || c == u' ' || c == u'\t' || c == u'\r'; }

}  // namespace

void LinkWebAddresses(QString& text, PassContext* context) {
    // States: Searching, then one per character of "http://" (with an optional
    // "s" after "http"), then Address once the "//" is complete.
    enum State { Searching, H, HT, HTT, HTTP, HTTPS, Colon, Slash, Address };
    static const QString httpStart = u"<a href=\"http"_s + kHiddenSchemeSeparator;
    static const QString httpsStart = u"<a href=\"https"_s + kHiddenSchemeSeparator;
    const qsizetype length = text.size();
    const QChar* chars = text.constData();
    TextRewriter out(text, context);
    State state = Searching;
    bool secure = false;
    qsizetype start = 0;
    qsizetype addressStart = 0;
    const char16_t* s = QStringView(text).utf16();
    for (qsizetype i = 0; i < length; ++i) {
        // Only an "h" starts an address, and only its end moves the walk on.
        if (state == Searching) {
            i = FindAnyOf<u'h'>(s, length, i);
        } else if (state == Address) {
            i = FindAnyOf<u',', u';', u' ', u'\t', u'\r'>(s, length, i);
        }
        if (i >= length) {
            break;
        }
        const QChar c = chars[i];
        switch (state) {
        case Searching:
            if (c == u'h') {
                start = i;
                state = H;
            }
            break;
        case H:
            state = c == u't' ? HT : Searching;
            break;
        case HT:
            state = c == u't' ? HTT : Searching;
            break;
        case HTT:
            state = c == u'p' ? HTTP : Searching;
            break;
        case HTTP:
            secure = c == u's';
            state = c == u':' ? Colon : secure ? HTTPS : Searching;
            break;
        case HTTPS:
            state = c == u':' ? Colon : Searching;
            break;
        case Colon:
            state = c == u'/' ? Slash : Searching;
            break;
        case Slash:
            if (c == u'/') {
                addressStart = i + 1;
                state = Address;
            } else {
                state = Searching;
            }
            break;
        case Address:
            if (c == u';' && IsReferenceEnd(QStringView(text), i)) {
                // The end of a character reference in the address, not the address's end.
                break;
            }
            if (EndsAddress(c) && i == addressStart) {
                // A bare scheme would become an empty link and vanish from the page.
                state = Searching;
            } else if (EndsAddress(c)) {
                const QString address = TrimSpaces(text.mid(addressStart, i - addressStart));
                QString& link = out.replace(start, i);
                link += secure ? httpsStart : httpStart;
                if (!address.isEmpty() && NeedsReferenceEnd(address.front())) {
                    link += u';';
                }
                AppendQuotedHtmlAttribute(link, address);
                link += u"\">";
                link += address;
                link += u"</a>";
                state = Searching;
            }
            break;
        }
    }
    out.finish(text);
}

}  // namespace tessarel
