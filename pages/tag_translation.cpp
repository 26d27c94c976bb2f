#include "pages/tag_translation.h"

#include "extract/comment_scanner.h"
#include "extract/inline_tags.h"
#include "extract/web_links.h"
#include "pages/page_frame.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

#include <array>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Scheme prefixes that "@link" hides, each with its hidden form.
struct Scheme {
    QString plain;
    QString hidden;
};

const std::array<Scheme, 2>& LinkSchemes() {
    static const std::array<Scheme, 2> schemes{{
        {u"http://"_s, u"http&#58&#47&#47"_s},
        {u"https://"_s, u"https&#58&#47&#47"_s},
    }};
    return schemes;
}

QString HideSchemes(QString text) {
    for (const Scheme& scheme : LinkSchemes()) {
        ReplaceAll(text, scheme.plain, scheme.hidden);
    }
    return TrimSpaces(text);
}

QString DropSchemes(QString text) {
    for (const Scheme& scheme : LinkSchemes()) {
        ReplaceAll(text, scheme.plain, u" "_s);
    }
    return TrimSpaces(text);
}

struct SimpleTag {
    QString code;
    QString html;
};

// In the order the codes were always replaced. Every code starts with "@" and no
// two codes can match at the same "@", so one left-to-right pass gives what
// replacing them one code after the other gives.
const std::array<SimpleTag, 16>& SimpleTags() {
    static const std::array<SimpleTag, 16> tags{{
        {u"@n"_s, u"<br>"_s},
        {u"@p"_s, u"<p>"_s},
        {u"@c"_s, u"<pre>"_s},
        {u"@/c"_s, u"</pre>"_s},
        {u"@s"_s, u"&#"_s},
        {u"@x"_s, u"<center>"_s},
        {u"@/x"_s, u"</center>"_s},
        {u"@b"_s, u"<b>"_s},
        {u"@/b"_s, u"</b>"_s},
        {u"@i"_s, u"<i>"_s},
        {u"@/i"_s, u"</i>"_s},
        {u"@u"_s, u"<u>"_s},
        {u"@/u"_s, u"</u>"_s},
        {u"@o"_s, u"<li>"_s},
        {u"@level_4"_s, u"<h4>"_s},
        {u"@/level_4"_s, u"</h4>"_s},
    }};
    return tags;
}

}  // namespace

void HighlightWords(QString& text) { HighlightWords(text, nullptr); }

void HighlightWords(QString& text, PassContext* context) {
    static const QString kMark = u"@r"_s;
    static const QString kOpen = u"<font class=HighText>"_s;
    static const QString kClose = u"</font>"_s;
    static const QString kTwoSpaces = u"  "_s;

    qsizetype done = 0;
    qsizetype mark = text.indexOf(kMark);
    if (mark < 0) {
        return;
    }
    QString local;
    QString& result = context != nullptr ? context->output(text.size() + 64) : local;
    if (context == nullptr) {
        result.reserve(text.size() + 64);
    }
    const auto copyUnmarked = [&](qsizetype from, qsizetype to) {
        // A highlighted word may itself hold "@r"; it loses it like all others.
        for (qsizetype at = text.indexOf(kMark, from); at >= 0 && at < to - 1; at = text.indexOf(kMark, from)) {
            result += QStringView(text).mid(from, at - from);
            result += kTwoSpaces;
            from = at + kMark.size();
        }
        result += QStringView(text).mid(from, to - from);
    };
    const qsizetype length = text.size();
    while (mark >= 0) {
        result += QStringView(text).mid(done, mark - done);
        result += kTwoSpaces;
        const qsizetype wordStart = mark + kMark.size();
        qsizetype end = wordStart;
        while (end < length && IsBlank(text[end])) {
            ++end;
        }
        while (end < length && !IsBlank(text[end])) {
            ++end;
        }
        result += kOpen;
        copyUnmarked(wordStart, end);
        result += kClose;
        // The next search starts behind the highlighted word, so a word is never
        // highlighted twice.
        done = end;
        mark = text.indexOf(kMark, done);
    }
    result += QStringView(text).mid(done);
    if (context != nullptr) {
        context->commit(text);
    } else {
        text = std::move(result);
    }
}

void TranslateGotoTags(QString& text) { TranslateGotoTags(text, nullptr); }

void TranslateGotoTags(QString& text, PassContext* context) {
    TranslateBracketedTags(
        text, u"@goto"_s, 5,
        [](const QString& name) { return u"<a HREF=\"#"_s + name + u"\">"_s + name + u"</a>"_s; }, context);
}

void TranslateLinkTags(QString& text) { TranslateLinkTags(text, nullptr); }

void TranslateLinkTags(QString& text, PassContext* context) {
    TranslateBracketedTags(text, u"@link"_s, 5, [](const QString& argument) {
        const qsizetype comma = argument.indexOf(QLatin1Char(','));
        QString target;
        QString shown;
        if (comma < 0) {
            target = HideSchemes(argument);
            shown = DropSchemes(argument);
        } else {
            target = HideSchemes(argument.left(comma));
            shown = HideSchemes(argument.mid(comma + 1));
        }
        return u"<a HREF=\""_s + target + u"\">"_s + shown + u"</a>"_s;
    }, context);
}

void TranslateFigureTags(QString& text) { TranslateFigureTags(text, nullptr); }

void TranslateFigureTags(QString& text, PassContext* context) {
    TranslateBracketedTags(text, u"@figure"_s, 7, [](const QString& source) {
        QString block;
        AddTagTo(block, u"P"_s);
        AddTagTo(block, u"div class=Figure"_s);
        AddTagTo(block, u"IMG SRC=\""_s + source + u"\""_s);
        AddTagTo(block, u"/div"_s);
        AddTagTo(block, u"/P"_s);
        return block;
    }, context);
}

void TranslateSimpleTags(QString& text) { TranslateSimpleTags(text, nullptr); }

void TranslateSimpleTags(QString& text, PassContext* context) {
    const qsizetype length = text.size();
    qsizetype done = 0;
    qsizetype at = text.indexOf(QLatin1Char('@'));
    if (at < 0) {
        return;
    }
    QString local;
    QString& result = context != nullptr ? context->output(length + length / 8) : local;
    if (context == nullptr) {
        result.reserve(length + length / 8);
    }
    while (at >= 0) {
        const QStringView rest = QStringView(text).mid(at);
        const SimpleTag* found = nullptr;
        for (const SimpleTag& tag : SimpleTags()) {
            if (rest.startsWith(tag.code)) {
                found = &tag;
                break;
            }
        }
        if (found == nullptr) {
            at = text.indexOf(QLatin1Char('@'), at + 1);
            continue;
        }
        result += QStringView(text).mid(done, at - done);
        result += found->html;
        done = at + found->code.size();
        at = text.indexOf(QLatin1Char('@'), done);
    }
    result += QStringView(text).mid(done);
    if (context != nullptr) {
        context->commit(text);
    } else {
        text = std::move(result);
    }
}

void RestoreAtSigns(QString& text) { ReplaceAll(text, kAtSignMarker, u"@"_s); }

std::vector<SectionRecord> TranslateSections(UserInterface& ui, const DocumentModel& doc) {
    const int count = doc.count();
    if (count <= 0) {
        return {};
    }
    static const QString kGuardSpaces(100, QLatin1Char(' '));
    std::vector<SectionRecord> sections(static_cast<size_t>(count) + 1);
    // Each text runs through the passes in two working buffers that keep their
    // room from section to section, and is then copied out once.
    PassContext context;
    QString working;
    working.reserve(4096);
    for (int i = 1; i <= count; ++i) {
        ui.yield();
        const SectionRecord& source = doc.section(i);
        SectionRecord& page = sections[static_cast<size_t>(i)];
        page.Name = TrimSpaces(source.Name);
        page.Declaration = TrimSpaces(source.Declaration);
        working.resize(0);
        working.append(source.Text.constData(), source.Text.size());
        // "@r" scans for the blank that ends its word; the guard spaces make sure there is one.
        working += kGuardSpaces;
        HighlightWords(working, &context);
        TranslateGotoTags(working, &context);
        TranslateLinkTags(working, &context);
        TranslateFigureTags(working, &context);
        LinkWebAddresses(working, &context);
        TranslateSimpleTags(page.Name);
        TranslateSimpleTags(working, &context);
        RestoreAtSigns(working);
        RestoreAtSigns(page.Name);
        page.Text = QStringView(working).toString();
    }
    return sections;
}

}  // namespace tessarel
