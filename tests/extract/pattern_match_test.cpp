#include "extract/pattern_match.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;

namespace {

using PM = PatternMatch;

TEST(PatternMatch, EmptySubjectGivesStatusOneAndNoElementActs) {
    PatternMatch m;
    m.LoadSubject(QString());
    EXPECT_EQ(m.Status(), PM::EmptySubject);
    EXPECT_FALSE(m.Active());
    const qsizetype cursor = m.Cursor();
    m.Literal(u"a"_s, PM::First);
    m.Digit(PM::First);
    m.Blank(PM::Next);
    m.RunOfBlanks();
    m.RunToLineEnd();
    EXPECT_EQ(m.Status(), PM::EmptySubject);
    EXPECT_EQ(m.Cursor(), cursor);
    EXPECT_FALSE(m.Active());
}

TEST(PatternMatch, LoadSubjectStartsAtTheFirstCharacter) {
    PatternMatch m;
    m.LoadSubject(u"ab"_s);
    EXPECT_EQ(m.Status(), PM::Matched);
    EXPECT_EQ(m.Cursor(), 1);
    EXPECT_EQ(m.Length(), 2);
    EXPECT_TRUE(m.Active());
}

TEST(PatternMatch, FirstLiteralSearchesIgnoringCase) {
    PatternMatch m;
    m.LoadSubject(u"xxABcab"_s);
    EXPECT_EQ(m.Literal(u"ab"_s, PM::First), 3);
    EXPECT_EQ(m.Status(), PM::Matched);
    // The search includes the cursor's own character.
    EXPECT_EQ(m.Literal(u"Ab"_s, PM::First), 3);
    EXPECT_EQ(m.Literal(u"C"_s, PM::First), 5);
    EXPECT_EQ(m.Literal(u"ab"_s, PM::First), 6);
}

TEST(PatternMatch, FailedSearchGivesStatusThreeAndStopsThePattern) {
    PatternMatch m;
    m.LoadSubject(u"abc"_s);
    m.Literal(u"z"_s, PM::First);
    EXPECT_EQ(m.Status(), PM::PastEnd);
    EXPECT_FALSE(m.Active());
    EXPECT_EQ(m.Cursor(), 1);
    // Later elements of the same pattern do nothing.
    m.Literal(u"b"_s, PM::Next);
    EXPECT_EQ(m.Status(), PM::PastEnd);
    EXPECT_EQ(m.Cursor(), 1);
}

TEST(PatternMatch, NextAndLastLiteralsCompareExactly) {
    PatternMatch m;
    m.LoadSubject(u"aBc"_s);
    m.Literal(u"a"_s, PM::First);
    EXPECT_EQ(m.Literal(u"B"_s, PM::Next), 2);
    EXPECT_EQ(m.Status(), PM::Matched);
    // Last steps past the matched character and completes the pattern.
    EXPECT_EQ(m.Literal(u"c"_s, PM::Last), 4);
    EXPECT_EQ(m.Status(), PM::Complete);
    EXPECT_FALSE(m.Active());

    m.LoadSubject(u"aBc"_s);
    m.Literal(u"a"_s, PM::First);
    EXPECT_EQ(m.Literal(u"b"_s, PM::Next), 2);
    EXPECT_EQ(m.Status(), PM::NoMatch);
    EXPECT_FALSE(m.Active());
}

TEST(PatternMatch, FirstElementMismatchMovesTheCursorOnNextDoesNot) {
    PatternMatch m;
    m.LoadSubject(u"a1b"_s);
    EXPECT_EQ(m.Digit(PM::First), 2);
    EXPECT_EQ(m.Status(), PM::NoMatch);
    EXPECT_FALSE(m.Active());
    // A retry from there matches, and a following mismatch stays on its character.
    EXPECT_EQ(m.Digit(PM::First), 2);
    EXPECT_EQ(m.Status(), PM::Matched);
    EXPECT_EQ(m.Digit(PM::Next), 3);
    EXPECT_EQ(m.Status(), PM::NoMatch);
}

TEST(PatternMatch, SingleCharacterClasses) {
    PatternMatch m;
    m.LoadSubject(u"\tz9 _"_s);
    m.Blank(PM::First);
    EXPECT_EQ(m.Status(), PM::Matched);
    m.LetterOrDigit(PM::Next);
    m.LetterOrDigit(PM::Next);
    m.Blank(PM::Next);
    EXPECT_EQ(m.Status(), PM::Matched);
    EXPECT_EQ(m.LetterOrDigit(PM::Last), 5);
    EXPECT_EQ(m.Status(), PM::NoMatch);

    // Last moves on before testing, and only the literal steps past its character.
    m.LoadSubject(u"a7"_s);
    EXPECT_EQ(m.Digit(PM::Last), 2);
    EXPECT_EQ(m.Status(), PM::Complete);
    m.LoadSubject(u"7"_s);
    EXPECT_EQ(m.Digit(PM::Last), 2);
    EXPECT_EQ(m.Status(), PM::PastEnd);
}

TEST(PatternMatch, NextPastTheEndGivesStatusThree) {
    PatternMatch m;
    m.LoadSubject(u"a"_s);
    EXPECT_EQ(m.Literal(u"x"_s, PM::Next), 2);
    EXPECT_EQ(m.Status(), PM::PastEnd);
    EXPECT_FALSE(m.Active());
}

TEST(PatternMatch, RunsStopOnTheirLastCharacter) {
    PatternMatch m;
    m.LoadSubject(u"a  \t1234x"_s);
    EXPECT_EQ(m.RunOfBlanks(), 4);
    EXPECT_EQ(m.Status(), PM::Matched);
    EXPECT_EQ(m.RunOfDigits(), 8);
    // An empty run leaves the cursor where it was.
    EXPECT_EQ(m.RunOfBlanks(), 8);
    EXPECT_EQ(m.Status(), PM::Matched);
    // The run takes the "x" and then meets the end.
    EXPECT_EQ(m.RunOfLettersOrDigits(), 9);
    EXPECT_EQ(m.Status(), PM::RunAtEnd);
}

TEST(PatternMatch, RunReachingTheEndGivesStatusFive) {
    PatternMatch m;
    m.LoadSubject(u"-ab9"_s);
    EXPECT_EQ(m.RunOfLettersOrDigits(), 4);
    EXPECT_EQ(m.Status(), PM::RunAtEnd);
    EXPECT_FALSE(m.Active());

    // Already on the last character: the run ends inside the subject's end.
    m.LoadSubject(u"x"_s);
    EXPECT_EQ(m.RunOfBlanks(), 1);
    EXPECT_EQ(m.Status(), PM::RunAtEnd);

    m.LoadSubject(u"a\r\nline end"_s);
    m.Literal(u"\n"_s, PM::First);
    EXPECT_EQ(m.RunToLineEnd(), 11);
    EXPECT_EQ(m.Status(), PM::RunAtEnd);

    m.LoadSubject(u"ab\ncd"_s);
    EXPECT_EQ(m.RunToLineEnd(), 2);
    EXPECT_EQ(m.Status(), PM::Matched);
}

TEST(PatternMatch, ExtractAndReplaceEditTheSubject) {
    PatternMatch m;
    m.LoadSubject(u"12. word"_s);
    EXPECT_EQ(m.Extract(1, 2), u"12"_s);
    EXPECT_EQ(m.Extract(3, 2), QString());
    m.Replace(1, 4, m.Extract(1, 2) + u" - "_s);
    EXPECT_EQ(m.Subject(), u"12 -  word"_s);
    EXPECT_EQ(m.Length(), 10);
}

// The option scan of the command line is written with these elements; this is
// its shape: whitespace, more whitespace, "-", a letter or digit, more, whitespace.
TEST(PatternMatch, OptionPatternFindsNamesAfterWhitespaceOnly) {
    PatternMatch m;
    m.LoadSubject(u"file.c -x-y -ab  "_s);
    QStringList names;
    while (m.Status() != PM::PastEnd && m.Status() != PM::RunAtEnd && m.Cursor() <= m.Length()) {
        m.Blank(PM::First);
        m.RunOfBlanks();
        m.Literal(u"-"_s, PM::Next);
        const qsizetype start = m.LetterOrDigit(PM::Next);
        const qsizetype end = m.RunOfLettersOrDigits();
        m.Blank(PM::Last);
        if (m.Status() == PM::Complete) {
            names << m.Extract(start, end);
        }
    }
    EXPECT_EQ(names, QStringList{u"ab"_s});
}

}  // namespace
