#include "extract/inline_tags.h"

#include <gtest/gtest.h>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;

namespace {

QString Emails(QString text) {
    TranslateEmailTags(text);
    return text;
}

// A goto-like translation: the argument appears twice in the replacement.
QString Gotos(QString text) {
    TranslateBracketedTags(text, u"@goto", 5, [](QString& out, QStringView name) {
        out += u"<a HREF=\"#"_s + name.toString() + u"\">"_s + name.toString() + u"</a>"_s;
    });
    return text;
}

TEST(EmailTags, AddressWithAndWithoutText) {
    EXPECT_EQ(Emails(u"mail @email[ joe@site.org ] now"_s),
              u"mail <a HREF=\"mailto&#58;joe&#64site.org\">joe&#64site.org</a> now"_s);
    EXPECT_EQ(Emails(u"@email[joe@site.org , Joe @ home, too]@email[c@d]"_s),
              u"<a HREF=\"mailto&#58;joe&#64site.org\">Joe &#64 home, too</a>"
              "<a HREF=\"mailto&#58;c&#64d\">c&#64d</a>"_s);
}

TEST(EmailTags, EmptyOrMissingArgumentStopsTheRest) {
    for (const QString& text : {u"@email[] x @email[a@b]"_s, u"@email[  ] @email[a@b]"_s, u"@email x"_s,
                                u"@email[a@b"_s, u"@emai[a@b]"_s, u"@email["_s + QString(1'000'000, u'a')}) {
        EXPECT_EQ(Emails(text), text);
    }
}

TEST(BracketedTags, BracketIsLookedForAfterTheTagAndTheSpanEndsAtItsClose) {
    EXPECT_EQ(Gotos(u"@goto  [Open] x"_s), u"<a HREF=\"#Open\">Open</a> x"_s);
    EXPECT_EQ(Gotos(u"@goto later [Open] x"_s), u"<a HREF=\"#Open\">Open</a> x"_s);
    EXPECT_EQ(Gotos(u"a @goto[Open]@goto[Close]."_s), u"a <a HREF=\"#Open\">Open</a><a HREF=\"#Close\">Close</a>."_s);
}

TEST(BracketedTags, BracketBehindAnEarlierCloseIsNotTaken) {
    EXPECT_EQ(Gotos(u"@goto] x @goto[Open]"_s), u"@goto] x <a HREF=\"#Open\">Open</a>"_s);
    // Otherwise one far argument would be copied into every tag before it.
    const QString text = u"@goto]"_s.repeated(20'000) + u"["_s + QString(20'000, u'y') + u"]"_s;
    EXPECT_LT(Gotos(text).size(), 3 * text.size());
}

TEST(BracketedTags, TagsInsideAnArgumentAreNotTranslatedAgain) {
    EXPECT_EQ(Gotos(u"@goto[@goto[x]]"_s), u"<a HREF=\"#@goto[x\">@goto[x</a>]"_s);
    // Otherwise each level would double the text.
    const QString nested = u"@goto["_s.repeated(40) + u"x"_s + u"]"_s.repeated(40);
    EXPECT_LT(Gotos(nested).size(), 10 * nested.size());
}

TEST(BracketedTags, SearchResumesRightAfterEvenAShortReplacement) {
    // A link refused as plain text can be shorter than its tag; the tag after
    // it must still be translated.
    auto shortForm = [](QString text) {
        TranslateBracketedTags(text, u"@xy", 5, [](QString& out, QStringView) { out += u'#'; });
        return text;
    };
    EXPECT_EQ(shortForm(u"@xy[a]b@xy[c]"_s), u"#b#"_s);
    EXPECT_EQ(shortForm(u"@xy[a]@xy[c]@xy[d]"_s), u"###"_s);
    EXPECT_EQ(shortForm(u"@xy[a]bcde@xy[c]"_s), u"#bcde#"_s);
}

}  // namespace
