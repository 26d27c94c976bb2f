#include "support/html_text.h"

#include "support/testing.h"

#include <gtest/gtest.h>

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(HtmlText, plainTextIsEscapedForElementOrAttributeAndOrdinaryTextIsKept) {
    const QString hostile = uR"x(<img src=x onerror="alert(1)"> & 'q')x"_s;
    EXPECT_EQ(EscapeHtml(hostile), uR"x(&lt;img src=x onerror="alert(1)"&gt; &amp; 'q')x"_s);
    EXPECT_EQ(EscapeHtmlAttribute(hostile), uR"x(&lt;img src=x onerror=&quot;alert(1)&quot;&gt; &amp; 'q')x"_s);
    // The author's HTML keeps its markup and entities; only the quote would end the attribute.
    EXPECT_EQ(QuoteHtmlAttribute(uR"x(x" onmouseover="a&#58;b <b>)x"_s),
              uR"x(x&quot; onmouseover=&quot;a&#58;b <b>)x"_s);
    QString appended = u"NAME=\""_s;
    AppendQuotedHtmlAttribute(appended, u"\"\"a\"");
    EXPECT_EQ(appended, u"NAME=\"&quot;&quot;a&quot;"_s);
    QString escaped = u"href=\""_s;
    AppendEscapedHtmlAttribute(escaped, hostile);
    EXPECT_EQ(escaped, u"href=\""_s + EscapeHtmlAttribute(hostile));

    // Nothing to escape: the very same text, not a copy.
    const QString ordinary = u"main.c.htm Open File"_s;
    for (const QString& kept :
         {EscapeHtml(ordinary), EscapeHtmlAttribute(ordinary), QuoteHtmlAttribute(ordinary), FileNameUrl(ordinary)}) {
        EXPECT_EQ(kept.constData(), ordinary.constData());
    }
    EXPECT_EQ(EscapeHtml(QString()), QString());
}

TEST(HtmlText, plainTextOfHtmlDropsTagsDecodesReferencesAndStopsAfterTheWords) {
    // Tags part words; blanks, tabs and line breaks collapse; nothing at either end.
    EXPECT_EQ(PlainTextOfHtml(u"  <h4>Heading</h4>one<br>two\r\n\t<b>three</b>  "_s), u"Heading one two three"_s);
    // Numbers with and without ";", hexadecimal, named ones; an unknown one stays.
    EXPECT_EQ(PlainTextOfHtml(u"a&#58&#47;&#x2F;b &lt;tag&gt; &quot;q&quot; &amp;amp; &eacute; &bogus; &"_s),
              u"a://b <tag> \"q\" &amp; \u00e9 &bogus; &"_s);
    // A "<" that starts no tag is text; a reference beyond Unicode is the replacement character.
    EXPECT_EQ(PlainTextOfHtml(u"1 < 2 <3 &#1114112; &#0;"_s), u"1 < 2 <3 \ufffd \ufffd"_s);
    EXPECT_EQ(PlainTextOfHtml(u"&#128512;"_s), u"\U0001F600"_s);
    // An unclosed tag ends the text; a non-breaking space parts words too.
    EXPECT_EQ(PlainTextOfHtml(u"before <a href=\"x"_s), u"before"_s);
    EXPECT_EQ(PlainTextOfHtml(u"a&nbsp;b&nbsp; &nbsp;c"_s), u"a b c"_s);

    EXPECT_EQ(PlainTextOfHtml(u"one two <i>three</i> four five"_s, 3), u"one two three"_s);
    EXPECT_EQ(PlainTextOfHtml(u"one two"_s, 3), u"one two"_s);
    EXPECT_EQ(PlainTextOfHtml(u"<p> </p>"_s, 3), QString());
    // A long text costs only its start: the walk ends at the word limit.
    const QString longText = u"word "_s.repeated(200000);
    EXPECT_EQ(PlainTextOfHtml(longText, 12), u"word "_s.repeated(12).chopped(1));

    EXPECT_EQ(DecodeHtmlReferences(u"<b>a&amp;b</b>\tc&#32;d"_s), u"<b>a&b</b>\tc d"_s);
    // As a browser reads them: every digit belongs to the number.
    EXPECT_EQ(DecodeHtmlReferences(u"&#0000000065;&#47127&#47;1&#x00000041"_s), u"A\uB817/1A"_s);
}

TEST(HtmlText, sourceCodeIsEscapedButWhatTheScannerWroteStays) {
    EXPECT_EQ(EscapeSourceCode(u"std::vector<int> f(int& a, int b = <img onerror=alert(1)>)"),
              u"std::vector&lt;int&gt; f(int&amp; a, int b = &lt;img onerror=alert(1)&gt;)"_s);
    // "::", "://", "@" codes and literal blocks come as references; emphasis as tags.
    EXPECT_EQ(EscapeSourceCode(u"Grid&#58&#58at(&#64&#116, &#60;, <b>x</b> <i>y</i> <u>z</u>)"),
              u"Grid&#58&#58at(&#64&#116, &#60;, <b>x</b> <i>y</i> <u>z</u>)"_s);
    // Anything else that looks like them is the source's own.
    EXPECT_EQ(EscapeSourceCode(u"&#x41 &# &amp; <br> <b <bb> </b"),
              u"&amp;#x41 &amp;# &amp;amp; &lt;br&gt; &lt;b &lt;bb&gt; &lt;/b"_s);
    EXPECT_EQ(EscapeSourceCode(u"&"), u"&amp;"_s);
    EXPECT_EQ(EscapeSourceCode(u"int f(int a)"), u"int f(int a)"_s);
}

TEST(HtmlText, fileNamesBecomeRelativeUrlsThatLeadToTheFile) {
    EXPECT_EQ(FileNameUrl(u"a#b?c%d.c.htm"_s), u"a%23b%3Fc%25d.c.htm"_s);
    EXPECT_EQ(FileNameUrl(u"javascript:alert(1).c.htm"_s), u"javascript%3Aalert(1).c.htm"_s);
    EXPECT_EQ(FileNameUrl(u"..\\..\\y.c.htm"_s), u"..%5C..%5Cy.c.htm"_s);
    EXPECT_EQ(FileNameUrl(u"a\tb\nc\x7f.htm"_s), u"a%09b%0Ac%7F.htm"_s);
    // Spaces, quotes and markup are left to the attribute escaping.
    EXPECT_EQ(FileNameUrl(u"My \"<File>\" & co.htm"_s), u"My \"<File>\" & co.htm"_s);
}

// Judged as a browser reads the attribute: references decoded, then the URL
// standard's scheme (a letter, then letters, digits, "+", "-", "."; then ":").
TEST(HtmlText, onlyWebMailRelativeAndAnchorTargetsAreSafe) {
    for (const QString& safe : {u"http://host/p"_s,
                                u"HTTPS://host"_s,
                                u"ftp://files/x"_s,
                                u"mailto:a@b.c"_s,
                                u"guide.htm"_s,
                                u"../up/a b.htm"_s,
                                u"#Open File"_s,
                                u"//host/path"_s,
                                u"page.htm?a=1&b=2&c=x:y"_s,
                                u"./Q&A.htm"_s,
                                u"dir/javascript:x"_s,
                                u""_s,
                                u"x\" onmouseover=\"alert(1)"_s,
                                u"  http://padded"_s,
                                u"Q&A.htm"_s,
                                u"R&D.png"_s,
                                u"a&b.htm"_s,
                                u"x&#64&#98.png"_s,
                                u"x&#64&#98;1.png"_s,
                                u":.png"_s,
                                u":x.htm"_s,
                                u"1http:x"_s,
                                u"http&#58&#47&#47;127.0.0.1/"_s,
                                u"R&amp;D:x.png"_s,
                                u"&amp;#106;avascript:x"_s}) {
        EXPECT_TRUE(IsSafeLinkTarget(safe)) << safe.toStdString();
    }
    for (const QString& unsafe :
         {u"javascript:alert(1)"_s, u" JaVaScRiPt:alert(1)"_s, u"java\tscript:alert(1)"_s, u"java\r\nscript:x"_s,
          u"\x01\x1fjavascript:x"_s, u"vbscript:msgbox"_s, u"data:text/html,<script>alert(1)</script>"_s,
          u"file:///etc/passwd"_s, u"javascript&#58;alert(1)"_s, u"&#106;avascript:alert(1)"_s, u"javascript&colon;x"_s,
          u"C:\\docs\\x.htm"_s, u"x:y"_s, u"httpx://host"_s, u"java&#9;script:x"_s, u"&#32;javascript:x"_s,
          // A browser reads every digit of a number; a name this decoder does not
          // know may be a colon or a tab.
          u"&#00000000106;avascript:x"_s, u"&#x000000006A;avascript:x"_s, u"java&Tab;script:x"_s,
          u"&NewLine;javascript:x"_s, u"javascript&amp;colon;x"_s}) {
        EXPECT_FALSE(IsSafeLinkTarget(unsafe)) << unsafe.toStdString();
    }
}

TEST(HtmlText, aReferenceEndsBeforeADigitOrASemicolonOnly) {
    for (const QChar next : {u'0', u'9', u';'}) {
        EXPECT_TRUE(NeedsReferenceEnd(next));
    }
    for (const QChar next : {QChar(u'a'), QChar(u' '), QChar(u'&'), QChar(u'/'), QChar()}) {
        EXPECT_FALSE(NeedsReferenceEnd(next));
    }
    // The ";" of "&#N" before a digit or ";" is the reference's; any other is the text's.
    const QString text = u"a&#47;1 &#64;; &#98;x ;1 &#;1 &amp;1 #4;1"_s;
    QList<qsizetype> ends;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (IsReferenceEnd(text, at)) {
            ends << at;
        }
    }
    EXPECT_EQ(ends, (QList<qsizetype>{5, 12}));
}

}  // namespace
}  // namespace tessarel
