#pragma once

#include <QString>

namespace tessarel {

/// A cursor-based matcher: load a subject, then call element operations one
/// after another; the pattern is the sequence of calls. Positions are 1-based.
/// Every element does nothing while the pattern is not active, and nothing at
/// all after an empty subject was loaded.
class PatternMatch {
public:
    enum StatusCode {
        Matched = 0,       ///< the last element matched; matching goes on
        EmptySubject = 1,  ///< LoadSubject was given ""
        Complete = 2,      ///< the final element matched
        PastEnd = 3,       ///< the cursor ran past the end, or a search found nothing
        NoMatch = 4,       ///< the element did not match
        RunAtEnd = 5,      ///< a run element reached the end of the subject
    };
    /// Element modes: First starts a pattern and tests at the cursor, Next moves
    /// one character on and tests, Last is Next that completes the pattern.
    enum Mode { First = 0, Next = 1, Last = 2 };

    void LoadSubject(const QString& subject);

    /// First: searches for `text` from the cursor on, ignoring case. Next and
    /// Last: the next character must equal `text`; Last also steps past it.
    qsizetype Literal(const QString& text, Mode mode);
    qsizetype Digit(Mode mode);
    qsizetype LetterOrDigit(Mode mode);
    qsizetype Blank(Mode mode);
    /// Runs stop on their last character, or leave the cursor where it was.
    qsizetype RunOfBlanks();
    qsizetype RunOfLettersOrDigits();
    qsizetype RunOfDigits();
    qsizetype RunToLineEnd();

    int Status() const { return status_; }
    qsizetype Cursor() const { return cursor_; }
    const QString& Subject() const { return subject_; }
    qsizetype Length() const { return subject_.size(); }
    bool Active() const { return active_; }

    void Back(qsizetype n);
    QString Extract(qsizetype from, qsizetype to) const;
    /// Replaces from..to-1 with text.
    void Replace(qsizetype from, qsizetype to, const QString& text);

private:
    template <typename Test>
    qsizetype Single(Mode mode, Test test, bool stepPastOnLast);
    template <typename Test>
    qsizetype Run(Test test);
    bool OnSubject(qsizetype position) const { return position >= 1 && position <= subject_.size(); }

    QString subject_;
    qsizetype cursor_ = 0;
    int status_ = EmptySubject;
    bool active_ = false;
};

/// Rewrites every numbered line ("12. text") of a section text as "12 -  text".
/// Every numbered line is rewritten, the first and the last included. Linear.
QString RewriteNumberedLines(const QString& text);

/// The same rewrite done with PatternMatch, element by element. It rebuilds
/// the text for each numbered line; RewriteNumberedLines is checked against it.
QString RewriteNumberedLinesWithMatcher(const QString& text);

}  // namespace tessarel
