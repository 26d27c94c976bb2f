#include "pages/tag_translation.h"
#include "extract/document_model.h"
#include "extract/inline_tags.h"
#include "extract/pass_context.h"
#include "extract/web_links.h"
#include "pages/page_frame.h"
#include "support/html_text.h"
#include "support/string_functions.h"
#include "support/testing.h"

#include <random>

#include <gtest/gtest.h>

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::RecordingUserInterface;

QString Highlighted(QString text) {
    HighlightWords(text);
    return text;
}

TEST(HighlightWords, marksTheNextWordWithTheBlanksBeforeIt) {
    EXPECT_EQ(Highlighted(u"see @r value here"_s), u"see   <font class=HighText> value</font> here"_s);
    EXPECT_EQ(Highlighted(u"@ra and\t@r\r\nb "_s),
              u"  <font class=HighText>a</font> and\t  <font class=HighText>\r\nb</font> "_s);
    EXPECT_EQ(Highlighted(u"no mark here"_s), u"no mark here"_s);
}

TEST(HighlightWords, wordAtTheEndFindsItsBlankInTheGuardSpaces) {
    EXPECT_EQ(Highlighted(u"last @rword   "_s), u"last   <font class=HighText>word</font>   "_s);
    // Without any blank after it the highlight still closes at the end.
    EXPECT_EQ(Highlighted(u"@rword"_s), u"  <font class=HighText>word</font>"_s);
    EXPECT_EQ(Highlighted(u"x @r"_s), u"x   <font class=HighText></font>"_s);
}

TEST(HighlightWords, markInsideAHighlightedWordIsBlankedNotHighlightedAgain) {
    EXPECT_EQ(Highlighted(u"@r x@ry z"_s), u"  <font class=HighText> x  y</font> z"_s);
    EXPECT_EQ(Highlighted(u"@r@r x"_s), u"  <font class=HighText>  </font> x"_s);
}

QString Translated(void (*translate)(QString&), QString text) {
    translate(text);
    return text;
}

TEST(GotoTags, becomeLinksToTheSectionAnchor) {
    EXPECT_EQ(Translated(TranslateGotoTags, u"see @goto[Open File] and @goto[ close ]."_s),
              u"see <a HREF=\"#Open File\">Open File</a> and <a HREF=\"#close\">close</a>."_s);
}

TEST(GotoTags, emptyOrMissingArgumentStopsTheRestOfTheText) {
    EXPECT_EQ(Translated(TranslateGotoTags, u"@goto[] then @goto[b]"_s), u"@goto[] then @goto[b]"_s);
    EXPECT_EQ(Translated(TranslateGotoTags, u"@goto[a] then @goto"_s), u"<a HREF=\"#a\">a</a> then @goto"_s);
}

TEST(LinkTags, schemeIsHiddenInTheTargetAndDroppedFromTheShownText) {
    EXPECT_EQ(Translated(TranslateLinkTags, u"@link[http://host/p]"_s),
              u"<a HREF=\"http&#58&#47&#47host/p\">host/p</a>"_s);
    EXPECT_EQ(Translated(TranslateLinkTags, u"@link[https://host/p]"_s),
              u"<a HREF=\"https&#58&#47&#47host/p\">host/p</a>"_s);
    EXPECT_EQ(Translated(TranslateLinkTags, u"@link[ftp.example.org]"_s),
              u"<a HREF=\"ftp.example.org\">ftp.example.org</a>"_s);
}

TEST(LinkTags, textAfterTheFirstCommaIsShownWithItsSchemesHidden) {
    EXPECT_EQ(Translated(TranslateLinkTags, u"go @link[http://a/b, the a, b site] now"_s),
              u"go <a HREF=\"http&#58&#47&#47a/b\">the a, b site</a> now"_s);
    EXPECT_EQ(Translated(TranslateLinkTags, u"@link[https://a/, see https://b/ or http://c/]"_s),
              u"<a HREF=\"https&#58&#47&#47a/\">see https&#58&#47&#47b/ or http&#58&#47&#47c/</a>"_s);
}

TEST(FigureTags, becomeAParagraphHoldingTheImage) {
    EXPECT_EQ(Translated(TranslateFigureTags, u"see @figure[ pic.gif ] here"_s),
              u"see <P>\r\n<div class=Figure>\r\n<IMG SRC=\"pic.gif\">\r\n</div>\r\n</P>\r\n here"_s);
    EXPECT_EQ(Translated(TranslateFigureTags, u"@figure[] @figure[a.png]"_s), u"@figure[] @figure[a.png]"_s);
}

TEST(SimpleTags, everyCodeBecomesItsHtmlWithoutWordBoundaries) {
    EXPECT_EQ(Translated(TranslateSimpleTags, u"@n@p@c@/c@x@/x@b@/b@i@/i@u@/u@o@level_4@/level_4"_s),
              u"<br><p><pre></pre><center></center><b></b><i></i><u></u><li><h4></h4>"_s);
    EXPECT_EQ(Translated(TranslateSimpleTags, u"(c) @s169; @bold @level_4x me@home"_s),
              u"(c) &#169; <b>old <h4>x me@home"_s);
    EXPECT_EQ(Translated(TranslateSimpleTags, u"@@/@level_ @"_s), u"@@/@level_ @"_s);
}

/// The codes exactly as they were always replaced: one ReplaceAll after another.
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
    return text;
}

TEST(SimpleTags, onePassGivesWhatSixteenReplaceAllsGive) {
    const QString pieces[] = {u"@"_s, u"/"_s, u"n"_s,  u"p"_s, u"c"_s,  u"s"_s,       u"x"_s,
                              u"b"_s, u"i"_s, u"u"_s,  u"o"_s, u"l"_s,  u"level_4"_s, u"evel_"_s,
                              u"4"_s, u" "_s, u"&#"_s, u"<"_s, u"@/"_s, u"@l"_s};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 5000; ++round) {
        QString text;
        for (int n = length(random); n > 0; --n) {
            text += pieces[pick(random)];
        }
        QString translated = text;
        TranslateSimpleTags(translated);
        ASSERT_EQ(translated, SimpleTagsOneAfterAnother(text)) << text.toStdString();
    }
}

TEST(AtSignMarker, becomesAnAtSignThatNoTagTouches) {
    QString text = u"mail AT#$#$b and AT#$#$AT#$#$"_s;
    RestoreAtSigns(text);
    EXPECT_EQ(text, u"mail @b and @@"_s);
}

DocumentModel ModelOf(const std::vector<SectionRecord>& sections) {
    DocumentModel doc;
    doc.Sections = {SectionRecord{}};
    doc.Sections.insert(doc.Sections.end(), sections.begin(), sections.end());
    doc.SectionCount = static_cast<int>(sections.size());
    return doc;
}

TEST(TranslateSections, copiesTrimsGuardsAndTranslatesEveryTextAndName) {
    RecordingUserInterface ui;
    const DocumentModel doc = ModelOf({
        {u"12"_s, u"  @bChapter@/b  "_s, u"Intro AT#$#$b @b."_s, u"  int f()  "_s},
        {u"40"_s, u"Item"_s, u"Use @r it: @goto[Chapter], @link[https://h/x] or http://h/y now."_s, QString()},
    });
    const std::vector<SectionRecord> pages = TranslateSections(ui, doc);
    ASSERT_EQ(pages.size(), 3u);
    const QString guard(100, QLatin1Char(' '));

    EXPECT_EQ(pages[1].Position, QString());
    EXPECT_EQ(pages[1].Name, u"<b>Chapter</b>"_s);
    EXPECT_EQ(pages[1].Declaration, u"int f()"_s);
    EXPECT_EQ(pages[1].Text, u"Intro @b <b>."_s + guard);

    const QString& text = pages[2].Text;
    EXPECT_TRUE(
        text.startsWith(u"Use   <font class=HighText> it:</font> <a HREF=\"#Chapter\">Chapter</a>, "
                        "<a HREF=\"https&#58&#47&#47h/x\">h/x</a> or "_s))
        << text.toStdString();
    // The bare address is linked by the web-address linker; the "@link" target is left alone.
    EXPECT_EQ(text.count(u"<a "_s), 3);
    EXPECT_TRUE(text.contains(u"h/y"_s));
    EXPECT_FALSE(text.contains(u"http://"_s));
    // The originals are untouched.
    EXPECT_EQ(doc.section(1).Name, u"  @bChapter@/b  "_s);
}

// The page writer runs the passes over one working string and one context for
// all sections; every text must come out as it does through fresh buffers,
// also after a longer text and when a pass finds nothing to change.
TEST(TranslateSections, passesSharingBuffersGiveWhatFreshBuffersGive) {
    const QString texts[] = {
        u"@rbig @goto[a b] @link[http://x/y, y] @figure[f.png] see https://q/r @b x@/b AT#$#$ "_s.repeated(30),
        u"plain"_s,
        u""_s,
        u"@rword   "_s,
        u"only @goto[z] here"_s,
        u"http://a/b @n"_s,
        u"nothing at all"_s,
    };
    using Pass = void (*)(QString&, PassContext*);
    const Pass passes[] = {HighlightWords,      TranslateGotoTags, TranslateLinkTags,
                           TranslateFigureTags, LinkWebAddresses,  TranslateSimpleTags};
    PassContext context;
    QString working;
    for (int round = 0; round < 2; ++round) {
        for (const QString& text : texts) {
            working.resize(0);
            working.append(text.constData(), text.size());
            QString fresh = text;
            for (const Pass pass : passes) {
                pass(working, &context);
                pass(fresh, nullptr);
                ASSERT_EQ(working, fresh) << text.left(30).toStdString();
            }
        }
    }
}

// ---- The translation as separate whole-text passes --------------------------
// Each pass exactly as the tag families are defined, one after the other over
// the whole text, with plain searches. The page writer's searches, shared walks
// and skipped passes must give the same text for any input.

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
    ReplaceAll(text, u"http://"_s, by.isEmpty() ? u"http&#58&#47&#47"_s : by);
    ReplaceAll(text, u"https://"_s, by.isEmpty() ? u"https&#58&#47&#47"_s : by);
    return TrimSpaces(text);
}

QString TextByPasses(const QString& source) {
    QString text = source + QString(100, u' ');
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
                               if (!IsSafeLinkTarget(QString(target).replace(u"@s"_s, u"&#"_s))) {
                                   return shown;
                               }
                               return u"<a HREF=\""_s + QuoteHtmlAttribute(SchemesReplaced(target, QString())) +
                                      u"\">"_s + shown + u"</a>"_s;
                           }));
    TranslateBracketedTags(text, u"@figure", 7, appending([](const QString& picture) {
                               if (!IsSafeLinkTarget(QString(picture).replace(u"@s"_s, u"&#"_s))) {
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
    text = SimpleTagsOneAfterAnother(text);
    ReplaceAll(text, u"AT#$#$"_s, u"@"_s);
    return text;
}

QString NameByPasses(const QString& source) {
    QString name = SimpleTagsOneAfterAnother(TrimSpaces(source));
    ReplaceAll(name, u"AT#$#$"_s, u"@"_s);
    return name;
}

TEST(SectionTranslator, givesWhatTheSeparateWholeTextPassesGive) {
    const QString pieces[] = {
        u"@"_s,
        u"r"_s,
        u"@r"_s,
        u"@goto"_s,
        u"@link"_s,
        u"@figure"_s,
        u"["_s,
        u"]"_s,
        u" "_s,
        u"\t"_s,
        u"\r\n"_s,
        u"http://"_s,
        u"https://"_s,
        u"h"_s,
        u"ttp"_s,
        u"://"_s,
        u"x.gif"_s,
        u","_s,
        u"AT#$#$"_s,
        u"AT#$"_s,
        u"#$"_s,
        u"A"_s,
        u"@b"_s,
        u"@/"_s,
        u"level_4"_s,
        u"@l"_s,
        u"@/level_4"_s,
        u"@s"_s,
        u";"_s,
        u"\u20AC"_s,
        u"@email"_s,
        u"word"_s,
        // Quotes, and targets of other schemes, which are not linked.
        u"\""_s,
        u"x:"_s,
        u"&"_s,
    };
    std::mt19937 random(4242);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 24);
    SectionTranslator translator;
    for (int round = 0; round < 20000; ++round) {
        QString text;
        for (int n = length(random); n > 0; --n) {
            text += pieces[pick(random)];
        }
        ASSERT_EQ(translator.text(text).toString(), TextByPasses(text)) << text.toStdString();
        ASSERT_EQ(SectionTranslator::name(text), NameByPasses(text)) << text.toStdString();
    }
}

TEST(SectionTranslator, textsThatEndInsideATagOrMarker) {
    const QString texts[] = {u""_s,        u"@"_s,          u"@g"_s,    u"@goto"_s,  u"@goto["_s,   u"@goto[a"_s,
                             u"@level_"_s, u"@/level_"_s,   u"AT#$#"_s, u"x AT#$"_s, u"@/"_s,       u"http:/"_s,
                             u"http://"_s, u"@figure[a]"_s, u"@r"_s,    u"@r@r"_s,   u"a]@link[b"_s};
    SectionTranslator translator;
    for (const QString& text : texts) {
        EXPECT_EQ(translator.text(text).toString(), TextByPasses(text)) << text.toStdString();
        EXPECT_EQ(SectionTranslator::name(text), NameByPasses(text)) << text.toStdString();
    }
}

TEST(TranslateSections, noSectionsGivesNothing) {
    RecordingUserInterface ui;
    EXPECT_TRUE(TranslateSections(ui, DocumentModel{}).empty());
}

}  // namespace
}  // namespace tessarel
