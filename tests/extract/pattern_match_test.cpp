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
    const qsizetype cursor = m.Cursor();
    m.Literal(u"a"_s, PM::First);
    m.Digit(PM::First);
    m.Blank(PM::Next);
    m.RunOfBlanks();
    EXPECT_EQ(m.Status(), PM::EmptySubject);
    EXPECT_EQ(m.Cursor(), cursor);
    EXPECT_FALSE(m.Active());

    m.LoadSubject(u"ab"_s);
    EXPECT_EQ(m.Status(), PM::Matched);
    EXPECT_EQ(m.Cursor(), 1);
    EXPECT_TRUE(m.Active());
}

TEST(PatternMatch, FirstLiteralSearchesFromTheCursorIgnoringCase) {
    PatternMatch m;
    m.LoadSubject(u"xxABcab"_s);
    EXPECT_EQ(m.Literal(u"ab"_s, PM::First), 3);
    EXPECT_EQ(m.Literal(u"Ab"_s, PM::First), 3);  // the cursor's own character counts
    EXPECT_EQ(m.Literal(u"C"_s, PM::First), 5);
    EXPECT_EQ(m.Literal(u"ab"_s, PM::First), 6);
    EXPECT_EQ(m.Status(), PM::Matched);

    // Not found: status 3, and the rest of the pattern does nothing.
    m.Literal(u"z"_s, PM::First);
    EXPECT_EQ(m.Status(), PM::PastEnd);
    EXPECT_FALSE(m.Active());
    m.Literal(u"b"_s, PM::Next);
    EXPECT_EQ(m.Status(), PM::PastEnd);
    EXPECT_EQ(m.Cursor(), 6);
}

TEST(PatternMatch, NextAndLastCompareExactly) {
    PatternMatch m;
    m.LoadSubject(u"aBc"_s);
    m.Literal(u"a"_s, PM::First);
    EXPECT_EQ(m.Literal(u"B"_s, PM::Next), 2);
    EXPECT_EQ(m.Literal(u"c"_s, PM::Last), 4);  // the literal steps past its character
    EXPECT_EQ(m.Status(), PM::Complete);
    EXPECT_FALSE(m.Active());

    m.LoadSubject(u"aBc"_s);
    EXPECT_EQ(m.Literal(u"b"_s, PM::Next), 2);
    EXPECT_EQ(m.Status(), PM::NoMatch);

    m.LoadSubject(u"a7"_s);
    EXPECT_EQ(m.Digit(PM::Last), 2);  // other elements stay on it
    EXPECT_EQ(m.Status(), PM::Complete);
    EXPECT_EQ(m.Digit(PM::Next), 2);  // inactive now
    EXPECT_EQ(m.Literal(u"7"_s, PM::First), 2);
    EXPECT_EQ(m.Literal(u"x"_s, PM::Next), 3);  // past the end
    EXPECT_EQ(m.Status(), PM::PastEnd);
    EXPECT_FALSE(m.Active());
}

TEST(PatternMatch, FirstElementMismatchMovesTheCursorNextDoesNot) {
    PatternMatch m;
    m.LoadSubject(u"a1b"_s);
    EXPECT_EQ(m.Digit(PM::First), 2);
    EXPECT_EQ(m.Status(), PM::NoMatch);
    EXPECT_FALSE(m.Active());
    EXPECT_EQ(m.Digit(PM::First), 2);
    EXPECT_EQ(m.Digit(PM::Next), 3);
    EXPECT_EQ(m.Status(), PM::NoMatch);

    m.LoadSubject(u"\tz9 _"_s);
    m.Blank(PM::First);
    m.LetterOrDigit(PM::Next);
    m.LetterOrDigit(PM::Next);
    m.Blank(PM::Next);
    EXPECT_EQ(m.Status(), PM::Matched);
    EXPECT_EQ(m.LetterOrDigit(PM::Last), 5);
    EXPECT_EQ(m.Status(), PM::NoMatch);
}

TEST(PatternMatch, RunsStopOnTheirLastCharacterOrAtTheEnd) {
    PatternMatch m;
    m.LoadSubject(u"a  \t1234x"_s);
    EXPECT_EQ(m.RunOfBlanks(), 4);
    EXPECT_EQ(m.RunOfDigits(), 8);
    EXPECT_EQ(m.RunOfBlanks(), 8);  // an empty run leaves the cursor
    EXPECT_EQ(m.Status(), PM::Matched);
    EXPECT_EQ(m.RunOfLettersOrDigits(), 9);
    EXPECT_EQ(m.Status(), PM::RunAtEnd);
    EXPECT_FALSE(m.Active());

    m.LoadSubject(u"x"_s);
    EXPECT_EQ(m.RunOfBlanks(), 1);
    EXPECT_EQ(m.Status(), PM::RunAtEnd);

    m.LoadSubject(u"ab\ncd\r\nline end"_s);
    EXPECT_EQ(m.RunToLineEnd(), 2);
    m.Literal(u"\n"_s, PM::First);
    EXPECT_EQ(m.RunToLineEnd(), 5);
    m.Literal(u"\n"_s, PM::First);
    EXPECT_EQ(m.RunToLineEnd(), 15);
    EXPECT_EQ(m.Status(), PM::RunAtEnd);
}

TEST(PatternMatch, BackExtractAndReplace) {
    PatternMatch m;
    m.LoadSubject(u"12. word"_s);
    m.Literal(u"w"_s, PM::First);
    m.Back(2);
    EXPECT_EQ(m.Cursor(), 3);
    EXPECT_EQ(m.Extract(1, 2), u"12"_s);
    EXPECT_EQ(m.Extract(3, 2), QString());
    m.Replace(1, 4, m.Extract(1, 2) + u" - "_s);
    EXPECT_EQ(m.Subject(), u"12 -  word"_s);
    EXPECT_EQ(m.Length(), 10);
}

// The command line's option scan is built from these elements.
TEST(PatternMatch, OptionPatternFindsNamesAfterWhitespaceOnly) {
    PatternMatch m;
    m.LoadSubject(u"file.c -x-y -ab  "_s);
    QStringList names;
    while (m.Status() != PM::PastEnd && m.Status() != PM::RunAtEnd) {
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
