#include "extract/pattern_match.h"

#include "support/string_functions.h"

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsLetterOrDigit(QChar c) { return IsDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

}  // namespace

void PatternMatch::LoadSubject(const QString& subject) {
    subject_ = subject;
    if (subject_.isEmpty()) {
        status_ = EmptySubject;
        cursor_ = 0;
        active_ = false;
    } else {
        status_ = Matched;
        cursor_ = 1;
        active_ = true;
    }
}

template <typename Test>
qsizetype PatternMatch::Single(Mode mode, Test test, bool stepPastOnLast) {
    if (status_ == EmptySubject) {
        return cursor_;
    }
    if (mode == First) {
        active_ = true;
    } else if (!active_) {
        return cursor_;
    } else {
        ++cursor_;
    }
    if (!OnSubject(cursor_)) {
        status_ = PastEnd;
        active_ = false;
        return cursor_;
    }
    if (!test(subject_[cursor_ - 1])) {
        status_ = NoMatch;
        active_ = false;
        // A first element that fails lets the caller retry one character on.
        if (mode == First) {
            ++cursor_;
        }
        return cursor_;
    }
    if (mode == Last) {
        status_ = Complete;
        active_ = false;
        if (stepPastOnLast) {
            ++cursor_;
        }
    } else {
        status_ = Matched;
    }
    return cursor_;
}

template <typename Test>
qsizetype PatternMatch::Run(Test test) {
    if (status_ == EmptySubject || !active_) {
        return cursor_;
    }
    for (;;) {
        if (cursor_ >= subject_.size()) {
            status_ = RunAtEnd;
            active_ = false;
            cursor_ = subject_.size();
            return cursor_;
        }
        if (cursor_ < 0 || !test(subject_[cursor_])) {  // the character after the cursor
            break;
        }
        ++cursor_;
    }
    status_ = Matched;
    return cursor_;
}

qsizetype PatternMatch::Literal(const QString& text, Mode mode) {
    if (mode != First) {
        return Single(
            mode, [&text](QChar c) { return text.size() == 1 && text[0] == c; }, true);
    }
    if (status_ == EmptySubject) {
        return cursor_;
    }
    active_ = true;
    const qsizetype from = cursor_ < 1 ? 0 : cursor_ - 1;
    const qsizetype found = from < subject_.size() ? subject_.indexOf(text, from, Qt::CaseInsensitive) : -1;
    if (found < 0) {
        status_ = PastEnd;
        active_ = false;
    } else {
        cursor_ = found + 1;
        status_ = Matched;
    }
    return cursor_;
}

qsizetype PatternMatch::Digit(Mode mode) { return Single(mode, IsDigit, false); }
qsizetype PatternMatch::LetterOrDigit(Mode mode) { return Single(mode, IsLetterOrDigit, false); }
qsizetype PatternMatch::Blank(Mode mode) { return Single(mode, IsBlank, false); }
qsizetype PatternMatch::RunOfBlanks() { return Run(IsBlank); }
qsizetype PatternMatch::RunOfLettersOrDigits() { return Run(IsLetterOrDigit); }
qsizetype PatternMatch::RunOfDigits() { return Run(IsDigit); }
qsizetype PatternMatch::RunToLineEnd() {
    return Run([](QChar c) { return c != u'\r' && c != u'\n'; });
}

void PatternMatch::Back(qsizetype n) { cursor_ -= n; }

QString PatternMatch::Extract(qsizetype from, qsizetype to) const { return MidRange(subject_, from, to); }

void PatternMatch::Replace(qsizetype from, qsizetype to, const QString& text) {
    ReplaceRange(subject_, from, to, text);
}

QString RewriteNumberedLinesWithMatcher(const QString& text) {
    static const QString cr = u"\r"_s;
    static const QString lf = u"\n"_s;
    static const QString dot = u"."_s;
    static const QString space = u" "_s;
    PatternMatch match;
    // The first line has no line break before it; lend it one.
    match.LoadSubject(kCrLf + text);
    for (;;) {
        match.Literal(cr, PatternMatch::First);
        match.Literal(lf, PatternMatch::Next);
        match.RunOfBlanks();
        const qsizetype numberStart = match.Digit(PatternMatch::Next);
        const qsizetype numberEnd = match.RunOfDigits();
        const qsizetype dotPosition = match.Literal(dot, PatternMatch::Next);
        match.Literal(space, PatternMatch::Next);
        match.RunToLineEnd();
        match.Literal(cr, PatternMatch::Next);
        match.Literal(lf, PatternMatch::Last);
        const int status = match.Status();
        if (status == PatternMatch::NoMatch) {
            continue;  // the next search starts where this attempt failed
        }
        if (status == PatternMatch::EmptySubject || status == PatternMatch::PastEnd ||
            status == PatternMatch::RunAtEnd) {
            break;
        }
        if (status != PatternMatch::Complete) {
            continue;
        }
        // Back onto the line's CR, so the next search finds it and the
        // following line can match as well.
        match.Back(2);
        match.Replace(numberStart, dotPosition + 1, match.Extract(numberStart, numberEnd) + u" - "_s);
    }
    return match.Subject().mid(2);
}

}  // namespace tessarel
