#include "pages/tag_translation.h"
#include "extract/document_model.h"
#include "extract/inline_tags.h"
#include "extract/pass_context.h"
#include "extract/web_links.h"
#include "pages/page_frame.h"
#include "support/html_text.h"
#include "support/string_functions.h"

#include <QRegularExpression>

#include <random>

#include <gtest/gtest.h>

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kGuard(100, u' ');

const QString kFigure = u"<P>\r\n<div class=Figure>\r\n<IMG SRC=\"%1\">\r\n</div>\r\n</P>\r\n"_s;

// Texts as the page shows them, without the guard spaces every text ends in.
// "@r" and the simple tags, which the comparison below writes out by hand, are
// left to it; these pin the families it borrows from the product.
TEST(SectionTranslator, translatesEveryTagFamily) {
    const std::pair<QString, QString> cases[] = {
        {u"see @goto[Open File] and @goto[ close ]."_s,
         u"see <a HREF=\"#Open File\">Open File</a> and <a HREF=\"#close\">close</a>."_s},
        // An empty or unclosed tag ends the translation of its family.
        {u"@goto[] then @goto[b]"_s, u"@goto[] then @goto[b]"_s},
        {u"@goto[a] then @goto"_s, u"<a HREF=\"#a\">a</a> then @goto"_s},
        {u"@link[http://host/p]"_s, u"<a HREF=\"http&#58&#47&#47host/p\">host/p</a>"_s},
        {u"@link[ftp.example.org]"_s, u"<a HREF=\"ftp.example.org\">ftp.example.org</a>"_s},
        {u"go @link[http://a/b, the a, b site] now"_s, u"go <a HREF=\"http&#58&#47&#47a/b\">the a, b site</a> now"_s},
        {u"@link[https://a/, see https://b/]"_s, u"<a HREF=\"https&#58&#47&#47a/\">see https&#58&#47&#47b/</a>"_s},
        {u"see @figure[ pic.gif ] here"_s, u"see "_s + kFigure.arg(u"pic.gif"_s) + u" here"_s},
        // Quotes in arguments stay inside their attribute.
        {uR"x(@goto[x" onmouseover="alert(1)])x"_s,
         uR"x(<a HREF="#x&quot; onmouseover=&quot;alert(1)">x" onmouseover="alert(1)</a>)x"_s},
        {uR"x(@link[http://h/p" onclick="alert(1), "shown"])x"_s,
         uR"x(<a HREF="http&#58&#47&#47h/p&quot; onclick=&quot;alert(1)">"shown"</a>)x"_s},
        {uR"x(@figure[a.png" onerror="alert(1)])x"_s, kFigure.arg(uR"x(a.png&quot; onerror=&quot;alert(1))x"_s)},
        // Targets of other schemes stay plain text; "@s" may hide a colon.
        {u"a @link[javascript:alert(1)] b @link[ JavaScript&#58;alert(1), click me]"_s,
         u"a javascript:alert(1) b click me"_s},
        {u"@link[data:text/plain;x, data] @link[vbscript:x] @link[file:///etc/passwd, f]"_s, u"data vbscript:x f"_s},
        {u"@link[javascript@s58;alert(1), x] @figure[javascript@s58;y] @figure[javascript:z]"_s,
         u"x javascript&#58;y javascript:z"_s},
        {u"@link[#top, top] @link[mailto:a, mail] @link[../up.htm, up]"_s,
         u"<a HREF=\"#top\">top</a> <a HREF=\"mailto:a\">mail</a> <a HREF=\"../up.htm\">up</a>"_s},
        // Ordinary relative files, whatever their names hold: "&", an "@" code
        // the scanner escaped, a leading ":".
        {u"@link[a&b.htm, a and b] @link[:x.htm]"_s,
         u"<a HREF=\"a&b.htm\">a and b</a> <a HREF=\":x.htm\">:x.htm</a>"_s},
        {u"@figure[R&D.png]@figure[x&#64&#98.png]@figure[:.png]"_s,
         kFigure.arg(u"R&D.png"_s) + kFigure.arg(u"x&#64&#98.png"_s) + kFigure.arg(u":.png"_s)},
        // A hidden scheme's reference ends before a digit, never before a letter.
        {u"@link[http://127.0.0.1/, see https://9.example/] @link[http://h/]"_s,
         u"<a HREF=\"http&#58&#47&#47;127.0.0.1/\">see https&#58&#47&#47;9.example/</a> "
         u"<a HREF=\"http&#58&#47&#47h/\">h/</a>"_s},
    };
    SectionTranslator translator;
    for (const auto& [text, page] : cases) {
        EXPECT_EQ(translator.text(text).toString(), page + kGuard) << text.toStdString();
        QString taken = text;
        EXPECT_EQ(translator.take(taken).toString(), page + kGuard) << text.toStdString();
        EXPECT_TRUE(taken.isEmpty());
    }
    EXPECT_EQ(SectionTranslator::name(u"  @bChapter@/b AT#$#$b  "_s), u"<b>Chapter</b> @b"_s);
}

// ---- The translation as separate whole-text passes --------------------------
// Each pass exactly as the tag families are defined, one after the other over
// the whole text, with plain searches. The translator's fused walks, skipped
// passes and shared buffers must give the same text for any input.

QString SimpleTagsOneAfterAnother(QString text) {
    const char16_t* const pairs[][2] = {
        {u"@n", u"<br>"},  {u"@p", u"<p>"},      {u"@c", u"<pre>"},      {u"@/c", u"</pre>"},
        {u"@s", u"&#"},    {u"@x", u"<center>"}, {u"@/x", u"</center>"}, {u"@b", u"<b>"},
        {u"@/b", u"</b>"}, {u"@i", u"<i>"},      {u"@/i", u"</i>"},      {u"@u", u"<u>"},
        {u"@/u", u"</u>"}, {u"@o", u"<li>"},     {u"@level_4", u"<h4>"}, {u"@/level_4", u"</h4>"},
    };
    for (const auto& pair : pairs) {
        ReplaceAll(text, QString::fromUtf16(pair[0]), QString::fromUtf16(pair[1]));
    }
    ReplaceAll(text, u"AT#$#$"_s, u"@"_s);
    return text;
}

bool IsBlankForReference(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

void HighlightWordsByPasses(QString& text) {
    qsizetype from = 0;
    for (qsizetype mark = text.indexOf(u"@r"_s, from); mark >= 0; mark = text.indexOf(u"@r"_s, from)) {
        const qsizetype start = mark + 2;
        qsizetype end = start;
        while (end < text.size() && IsBlankForReference(text[end])) {
            ++end;
        }
        while (end < text.size() && !IsBlankForReference(text[end])) {
            ++end;
        }
        text.insert(end, u"</font>"_s);
        text.insert(start, u"<font class=HighText>"_s);
        from = end + 21 + 7;
    }
    ReplaceAll(text, u"@r"_s, u"  "_s);
}

QString SchemesReplaced(QString text, const QString& by) {
    if (by.isEmpty()) {
        // Before a digit or ";" the hidden slashes' reference is ended.
        static const QRegularExpression kBeforeDigit(u"(https?)://(?=[0-9;])"_s);
        text.replace(kBeforeDigit, u"\\1&#58&#47&#47;"_s);
    }
    ReplaceAll(text, u"http://"_s, by.isEmpty() ? u"http&#58&#47&#47"_s : by);
    ReplaceAll(text, u"https://"_s, by.isEmpty() ? u"https&#58&#47&#47"_s : by);
    return TrimSpaces(text);
}

bool IsSafeOnThePage(const QString& target) { return IsSafeLinkTarget(QString(target).replace(u"@s"_s, u"&#"_s)); }

QString TextByPasses(const QString& source) {
    QString text = source + kGuard;
    HighlightWordsByPasses(text);
    // Each replacement is made whole, then appended.
    const auto appending = [](auto replacement) {
        return [replacement](QString& out, QStringView argument) { out += replacement(argument.toString()); };
    };
    TranslateBracketedTags(text, u"@goto", 5, appending([](const QString& name) {
                               return u"<a HREF=\"#"_s + QuoteHtmlAttribute(name) + u"\">"_s + name + u"</a>"_s;
                           }));
    TranslateBracketedTags(text, u"@link", 5, appending([](const QString& argument) {
                               const qsizetype comma = argument.indexOf(u',');
                               const QString target = comma < 0 ? argument : argument.left(comma);
                               const QString shown = comma < 0 ? SchemesReplaced(argument, u" "_s)
                                                               : SchemesReplaced(argument.mid(comma + 1), QString());
                               if (!IsSafeOnThePage(target)) {
                                   return shown;
                               }
                               return u"<a HREF=\""_s + QuoteHtmlAttribute(SchemesReplaced(target, QString())) +
                                      u"\">"_s + shown + u"</a>"_s;
                           }));
    TranslateBracketedTags(text, u"@figure", 7, appending([](const QString& picture) {
                               if (!IsSafeOnThePage(picture)) {
                                   return picture;
                               }
                               QString block;
                               AddTagTo(block, u"P"_s);
                               AddTagTo(block, u"div class=Figure"_s);
                               AddTagTo(block, u"IMG SRC=\""_s + QuoteHtmlAttribute(picture) + u"\""_s);
                               AddTagTo(block, u"/div"_s);
                               AddTagTo(block, u"/P"_s);
                               return block;
                           }));
    LinkWebAddresses(text);
    return SimpleTagsOneAfterAnother(text);
}

TEST(SectionTranslator, givesWhatTheSeparateWholeTextPassesGive) {
    const QString pieces[] = {
        u"@"_s,     u"r"_s,  u"@r"_s,     u"@goto"_s, u"@link"_s,   u"@figure"_s,   u"["_s,       u"]"_s,
        u" "_s,     u"\t"_s, u"\r\n"_s,   u"h"_s,     u"ttp"_s,     u"://"_s,       u"http://"_s, u"https://"_s,
        u"x.gif"_s, u","_s,  u"AT#$#$"_s, u"AT#$"_s,  u"#$"_s,      u"A"_s,         u"@b"_s,      u"@/"_s,
        u"@l"_s,    u"@s"_s, u";"_s,      u"/"_s,     u"level_4"_s, u"@/level_4"_s, u"evel_"_s,   u"4"_s,
        u"n"_s,     u"p"_s,  u"c"_s,      u"x"_s,     u"\u20AC"_s,  u"@email"_s,    u"word"_s,    u"\""_s,
        u"x:"_s,    u"&"_s,  u"&#"_s,     u"<"_s,
    };
    // Texts that end inside a tag or a marker come first.
    std::vector<QString> texts{u""_s,        u"@"_s,          u"@g"_s,    u"@goto"_s,  u"@goto["_s,   u"@goto[a"_s,
                               u"@level_"_s, u"@/level_"_s,   u"AT#$#"_s, u"x AT#$"_s, u"@/"_s,       u"http:/"_s,
                               u"http://"_s, u"@figure[a]"_s, u"@r"_s,    u"@r@r"_s,   u"a]@link[b"_s};
    std::mt19937 random(4242);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 24);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        for (int n = length(random); n > 0; --n) {
            text += pieces[pick(random)];
        }
        texts.push_back(text);
    }
    // One translator for all: its buffers keep their room from text to text.
    SectionTranslator translator;
    for (const QString& text : texts) {
        ASSERT_EQ(translator.text(text).toString(), TextByPasses(text)) << text.toStdString();
        ASSERT_EQ(SectionTranslator::name(text), SimpleTagsOneAfterAnother(TrimSpaces(text))) << text.toStdString();
    }
}

}  // namespace
}  // namespace tessarel
