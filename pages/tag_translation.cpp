#include "pages/tag_translation.h"

#include "extract/inline_tags.h"
#include "extract/pass_context.h"
#include "extract/text_search.h"
#include "extract/web_links.h"
#include "pages/page_frame.h"
#include "support/html_text.h"
#include "support/string_functions.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

/// What an author writes for an "@" that no tag may touch; it becomes "@" last.
constexpr QStringView kAtSignMarker = u"AT#$#$";

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

/// Appends `text` with every "http://" and "https://" replaced (by its hidden
/// form, ended by ";" before a digit or ";", or by a space when `drop`),
/// trimmed of spaces. Neither scheme can overlap the other or be made by a
/// replacement, so one walk gives what replacing the two one after the other
/// gives.
void AppendSchemesReplaced(QString& out, QStringView text, bool drop) {
    const qsizetype start = out.size();
    qsizetype copied = 0;
    for (qsizetype at = text.indexOf(u'h'); at >= 0; at = text.indexOf(u'h', at + 1)) {
        const QStringView rest = text.sliced(at);
        const bool secure = rest.startsWith(u"https://");
        if (!secure && !rest.startsWith(u"http://")) {
            continue;
        }
        out += text.sliced(copied, at - copied);
        out += drop ? u" " : secure ? u"https&#58&#47&#47" : u"http&#58&#47&#47";
        copied = at + (secure ? 8 : 7);
        if (!drop && copied < text.size() && NeedsReferenceEnd(text[copied])) {
            out += u';';
        }
        at = copied - 1;
    }
    out += text.sliced(copied);
    const qsizetype trimmed = TrimmedSpaces(QStringView(out).sliced(start)).size();
    qsizetype lead = 0;
    while (start + lead < out.size() && out[start + lead] == u' ') {
        ++lead;
    }
    out.remove(start, lead);
    out.truncate(start + trimmed);
}

/// The HTML of the simple tag at `at` (an "@") and the tag's length; an empty
/// view when no code starts there. No two codes can match at the same "@", so
/// one left-to-right pass gives what replacing one code after the other gives.
QStringView SimpleTagAt(QStringView text, qsizetype at, qsizetype& length) {
    const auto follows = [&](qsizetype offset, QStringView rest) {
        return at + offset + rest.size() <= text.size() && text.sliced(at + offset, rest.size()) == rest;
    };
    if (at + 1 >= text.size()) {
        return {};
    }
    length = 2;
    switch (text[at + 1].unicode()) {
    case u'n':
        return u"<br>";
    case u'p':
        return u"<p>";
    case u'c':
        return u"<pre>";
    case u's':
        return u"&#";
    case u'x':
        return u"<center>";
    case u'b':
        return u"<b>";
    case u'i':
        return u"<i>";
    case u'u':
        return u"<u>";
    case u'o':
        return u"<li>";
    case u'l':
        length = 8;
        return follows(2, u"evel_4") ? QStringView(u"<h4>") : QStringView();
    case u'/':
        break;
    default:
        return {};
    }
    if (at + 2 >= text.size()) {
        return {};
    }
    length = 3;
    switch (text[at + 2].unicode()) {
    case u'c':
        return u"</pre>";
    case u'x':
        return u"</center>";
    case u'b':
        return u"</b>";
    case u'i':
        return u"</i>";
    case u'u':
        return u"</u>";
    case u'l':
        length = 9;
        return follows(3, u"evel_4") ? QStringView(u"</h4>") : QStringView();
    default:
        return {};
    }
}

/// The simple tags become their HTML and every at-sign marker an "@", in one
/// walk: neither finds anything in what the other writes, nor can their matches
/// overlap, so this is what the two whole-text replacements give in turn.
void RewriteTagsAndAtSigns(QString& text, PassContext* context) {
    const QStringView view(text);
    const QStringView marker(kAtSignMarker);
    TextRewriter out(text, context);
    qsizetype nextTag = view.indexOf(u'@');
    qsizetype nextMarker = FindText(view, marker, 0);
    while (nextTag >= 0 || nextMarker >= 0) {
        if (nextMarker < 0 || (nextTag >= 0 && nextTag < nextMarker)) {
            qsizetype length = 0;
            const QStringView html = SimpleTagAt(view, nextTag, length);
            if (html.isEmpty()) {
                nextTag = view.indexOf(u'@', nextTag + 1);
                continue;
            }
            out.replace(nextTag, nextTag + length, html);
            nextTag = view.indexOf(u'@', nextTag + length);
        } else {
            out.replace(nextMarker, nextMarker + marker.size(), u"@");
            nextMarker = FindText(view, marker, nextMarker + marker.size());
        }
    }
    out.finish(text);
}

/// The bracketed tags and "@r" that a text holds. No pass makes a tag that was
/// not in the text already: the replacements hold no "@" and only copy parts
/// of the text, so a pass whose tag is missing can be left out.
enum TagPresence : unsigned { kHighlight = 1, kGoto = 2, kLink = 4, kFigure = 8 };

unsigned TagsPresent(QStringView text) {
    unsigned present = 0;
    for (qsizetype at = text.indexOf(u'@'); at >= 0; at = text.indexOf(u'@', at + 1)) {
        const QStringView rest = text.sliced(at + 1);
        if (rest.startsWith(u'r')) {
            present |= kHighlight;
        } else if (rest.startsWith(u"goto")) {
            present |= kGoto;
        } else if (rest.startsWith(u"link")) {
            present |= kLink;
        } else if (rest.startsWith(u"figure")) {
            present |= kFigure;
        }
    }
    return present;
}

/// Whether a link or image target is safe as the page will carry it: "@s"
/// becomes "&#" after the bracketed tags, so it may still hide a colon.
bool IsSafePageTarget(QStringView target) {
    if (!target.contains(u"@s")) {
        return IsSafeLinkTarget(target);
    }
    QString carried = target.toString();
    carried.replace(u"@s"_s, u"&#"_s);
    return IsSafeLinkTarget(carried);
}

bool HoldsSchemeSeparator(QStringView text) {
    for (qsizetype at = text.indexOf(u':'); at >= 0; at = text.indexOf(u':', at + 1)) {
        if (at + 2 < text.size() && text[at + 1] == u'/' && text[at + 2] == u'/') {
            return true;
        }
    }
    return false;
}

/// "@r" highlights the word after it; every "@r" then becomes two spaces.
void HighlightWords(QString& text, PassContext* context) {
    static constexpr QStringView kMark = u"@r";
    static constexpr QStringView kOpen = u"<font class=HighText>";
    static constexpr QStringView kClose = u"</font>";
    static constexpr QStringView kTwoSpaces = u"  ";

    const QStringView view(text);
    qsizetype mark = FindText(view, kMark, 0);
    if (mark < 0) {
        return;
    }
    TextRewriter out(text, context);
    const qsizetype length = view.size();
    while (mark >= 0) {
        const qsizetype wordStart = mark + kMark.size();
        qsizetype end = wordStart;
        while (end < length && IsBlank(view[end])) {
            ++end;
        }
        while (end < length && !IsBlank(view[end])) {
            ++end;
        }
        QString& result = out.replace(mark, end);
        result += kTwoSpaces;
        result += kOpen;
        // A highlighted word may itself hold "@r"; it loses it like all others.
        qsizetype from = wordStart;
        for (qsizetype at = FindText(view, kMark, from); at >= 0 && at < end - 1; at = FindText(view, kMark, from)) {
            result += view.sliced(from, at - from);
            result += kTwoSpaces;
            from = at + kMark.size();
        }
        result += view.sliced(from, end - from);
        result += kClose;
        // The next search starts behind the highlighted word, so a word is never
        // highlighted twice.
        mark = FindText(view, kMark, end);
    }
    out.finish(text);
}

/// "@goto[NAME]" becomes a link to the section NAME on the same page.
void TranslateGotoTags(QString& text, PassContext* context) {
    TranslateBracketedTags(
        text, u"@goto", 5,
        [](QString& out, QStringView name) {
            out += u"<a HREF=\"#";
            AppendQuotedHtmlAttribute(out, name);
            out += u"\">";
            out += name;
            out += u"</a>";
        },
        context);
}

/// "@link[URL]" and "@link[URL, TEXT]" become web links whose target hides the
/// scheme's colon and slashes.
void TranslateLinkTags(QString& text, PassContext* context) {
    TranslateBracketedTags(
        text, u"@link", 5,
        [](QString& out, QStringView argument) {
            const qsizetype comma = argument.indexOf(u',');
            const QStringView target = comma < 0 ? argument : argument.first(comma);
            // A target of another scheme (javascript:, data:, file: ...) is
            // not linked: the shown text stays, as plain text.
            const bool linked = IsSafePageTarget(target);
            if (linked) {
                QString href;
                AppendSchemesReplaced(href, target, false);
                out += u"<a HREF=\"";
                AppendQuotedHtmlAttribute(out, href);
                out += u"\">";
            }
            if (comma < 0) {
                AppendSchemesReplaced(out, argument, true);
            } else {
                AppendSchemesReplaced(out, argument.sliced(comma + 1), false);
            }
            if (linked) {
                out += u"</a>";
            }
        },
        context);
}

/// "@figure[SOURCE]" becomes a paragraph holding the image; each source is
/// added to `sources`, so the page writer can tell which images are missing.
void TranslateFigureTags(QString& text, PassContext* context, QStringList& sources) {
    TranslateBracketedTags(
        text, u"@figure", 7,
        [&sources](QString& out, QStringView source) {
            // An image source of another scheme is no image: its text stays.
            if (!IsSafePageTarget(source)) {
                out += source;
                return;
            }
            sources << source.toString();
            AddTagTo(out, u"P");
            AddTagTo(out, u"div class=Figure");
            out += u"<IMG SRC=\"";
            AppendQuotedHtmlAttribute(out, source);
            out += u"\">\r\n";
            AddTagTo(out, u"/div");
            AddTagTo(out, u"/P");
        },
        context);
}

// "@r" scans for the blank that ends its word; the guard spaces make sure there is one.
constexpr qsizetype kGuardSpaceCount = 100;

}  // namespace

QStringView SectionTranslator::text(const QString& text) {
    working_.resize(0);
    working_.reserve(text.size() + kGuardSpaceCount);
    working_.append(text.constData(), text.size());
    return translateWorking();
}

QStringView SectionTranslator::take(QString& text) {
    if (text.size() + kGuardSpaceCount > working_.capacity()) {
        // Too long for the room kept: its own buffer serves instead of a copy.
        working_ = std::move(text);
    } else {
        working_.resize(0);
        working_.append(text.constData(), text.size());
    }
    text = QString();
    return translateWorking();
}

QStringView SectionTranslator::translateWorking() {
    static const QString kGuardSpaces(kGuardSpaceCount, QLatin1Char(' '));
    working_ += kGuardSpaces;
    const unsigned present = TagsPresent(working_);
    if (present & kHighlight) {
        HighlightWords(working_, &context_);
    }
    if (present & kGoto) {
        TranslateGotoTags(working_, &context_);
    }
    if (present & kLink) {
        TranslateLinkTags(working_, &context_);
    }
    if (present & kFigure) {
        TranslateFigureTags(working_, &context_, figures_);
    }
    // The linker can only act on a "://"; most texts have none left by now.
    if (HoldsSchemeSeparator(working_)) {
        LinkWebAddresses(working_, &context_);
    }
    RewriteTagsAndAtSigns(working_, &context_);
    return working_;
}

QString SectionTranslator::name(const QString& name) {
    QString translated = TrimSpaces(name);
    RewriteTagsAndAtSigns(translated, nullptr);
    return translated;
}

namespace {

/// The file an image source names, as the browser would read it: character
/// references and percent escapes decoded, query and fragment cut off. Empty
/// for a web address.
QString FigureFile(const QString& source) {
    QString path = source;
    path.replace(u"@s"_s, u"&#"_s);
    QString decoded = DecodeHtmlReferences(path);
    // The query and fragment name no part of the file.
    const auto cut = std::find_if(decoded.cbegin(), decoded.cend(), [](QChar c) { return c == u'?' || c == u'#'; });
    decoded.truncate(cut - decoded.cbegin());
    // A scheme of two or more letters is a web address; one letter is a drive.
    static const QRegularExpression kScheme(u"^[A-Za-z][A-Za-z0-9+.-]+:"_s);
    if (decoded.startsWith(u"//"_s) || kScheme.match(decoded).hasMatch()) {
        return {};
    }
    return QUrl::fromPercentEncoding(decoded.toUtf8());
}

}  // namespace

QStringList MissingFigureFiles(const QStringList& sources, const QString& pageFolder) {
    QStringList missing;
    const QDir folder(pageFolder);
    for (const QString& source : sources) {
        QString file = FigureFile(source);
        if (file.startsWith(u':')) {
            file.prepend(u"./"_s);  // a file of the folder, not one of Qt's resources
        }
        if (!file.isEmpty() && !missing.contains(source) && !QFileInfo::exists(folder.filePath(file))) {
            missing << source;
        }
    }
    return missing;
}

}  // namespace tessarel
