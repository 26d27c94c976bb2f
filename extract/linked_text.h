#pragma once

// The whole-word link replacements, and a text that keeps what linking
// inserts apart from its original characters. The cross-reference linker
// falls back on it when some name holds "@", "[" or "]".

#include <QString>
#include <QStringView>

#include <map>
#include <vector>

namespace tessarel {

/// The texts a name may have around it: "Name", "Name.", ... "(Name);".
struct LinkPattern {
    QStringView before;
    QStringView after;
};
inline constexpr LinkPattern kPatterns[] = {
    {u"", u""},   {u"", u"."},   {u"", u","},   {u"", u";"},   {u"", u"("},
    {u"(", u")"}, {u"(", u")."}, {u"(", u"),"}, {u"(", u");"},
};

struct DelimiterPair {
    QStringView left;
    QStringView right;
};
inline constexpr DelimiterPair kPairs[] = {
    {u"\r\n", u" "}, {u"\r\n", u"\r\n"}, {u"\r\n", u"\t"}, {u"\r\n", u"\n"}, {u"\n", u" "}, {u"\n", u"\r\n"},
    {u"\n", u"\n"},  {u"\n", u"\t"},     {u" ", u" "},     {u" ", u"\r\n"},  {u" ", u"\t"}, {u" ", u"\n"},
    {u"\t", u" "},   {u"\t", u"\r\n"},   {u"\t", u"\t"},   {u"\t", u"\n"},
};

/// Whether `s` starts with `part`, inline: the parts are a character or two.
inline bool HasAt(const char16_t* s, QStringView part) {
    for (qsizetype k = 0; k < part.size(); ++k) {
        if (s[k] != part[k]) {
            return false;
        }
    }
    return true;
}

/// Whether the name of `length` characters at `c` has the pattern's texts around it.
inline bool FitsPattern(const char16_t* s, qsizetype n, qsizetype c, qsizetype length, const LinkPattern& pattern) {
    const qsizetype before = c - pattern.before.size();
    const qsizetype after = c + length;
    return before >= 0 && after + pattern.after.size() <= n && HasAt(s + before, pattern.before) &&
           HasAt(s + after, pattern.after);
}

/// A text as its original characters plus the strings inserted before some of
/// them (key n: after the last one).
class LinkedText {
public:
    explicit LinkedText(const QString& original) : original_(original) {}

    bool changed() const { return !inserted_.empty(); }
    /// How many places have text inserted before them; linking a name only adds.
    size_t insertions() const { return inserted_.size(); }

    QString result() const;

    /// The replacements of one name that holds no "@", "[" or "]", at the
    /// places where the name stands in the original text.
    void linkAt(const QString& name, const std::vector<qsizetype>& places);

    /// Whether the current text holds `name` at all.
    bool currentlyContains(const QString& name) const;

    /// The replacements of any name, done literally on the current text.
    /// False when nothing was linked; the text is then as it was.
    bool linkLiterally(const QString& name);

private:
    /// Whether anything was inserted strictly inside start..end.
    bool insertedWithin(qsizetype start, qsizetype end) const;

    void materialize(QString& out, std::vector<qsizetype>* origin) const;

    /// Inserts "@goto[" at the even and "]" at the odd entries of `points`.
    static void insertLinks(QString& current, std::vector<qsizetype>& origin, const std::vector<qsizetype>& points);

    QString original_;
    std::map<qsizetype, QString> inserted_;
};

}  // namespace tessarel
