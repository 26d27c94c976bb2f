#include "pages/declaration_linker.h"
#include "support/html_text.h"
#include "support/string_functions.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;

/// Whether `at` lies inside a tag (quoted values may hold ">") or inside a
/// link from its opening tag to its end; the "<" that starts a tag does not.
bool InsideMarkup(const QString& text, qsizetype at) {
    static const QRegularExpression markup(
        QStringLiteral(R"(<a(?=[ >])(?:[^">]|"[^"]*")*>.*?</a>|<(?:[^">]|"[^"]*")*>)"),
        QRegularExpression::DotMatchesEverythingOption);
    for (auto it = markup.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.capturedStart() < at && at < match.capturedEnd()) {
            return true;
        }
    }
    return false;
}

QString LinkTo(const QString& name) {
    return QStringLiteral("<a HREF=\"#") + QuoteHtmlAttribute(name) + QStringLiteral("\">") + EscapeSourceCode(name) +
           QStringLiteral("</a>");
}

// The rule, literally: every other section's name, in section order, replaced
// as a whole word of the escaped declaration (each delimiter pair in turn,
// going on after each replacement), except where the word starts inside a tag
// or a link's text; empty names are skipped.
QString LinkEveryName(QString declaration, const std::vector<QString>& names, int count, int self) {
    for (int j = 1; j < count; ++j) {
        const QString& name = names[static_cast<size_t>(j)];
        if (j == self || name.isEmpty()) {
            continue;
        }
        const QString word = EscapeSourceCode(name);
        for (const auto& [left, right] : ExtendedWordDelimiters()) {
            const QString find = left + word + right;
            const QString replacement = left + LinkTo(name) + right;
            for (qsizetype hit = declaration.indexOf(find); hit >= 0; hit = declaration.indexOf(find, hit)) {
                if (InsideMarkup(declaration, hit + left.size())) {
                    ++hit;
                    continue;
                }
                declaration.replace(hit, find.size(), replacement);
                hit += replacement.size();
            }
        }
    }
    return declaration;
}

// The replacement of every name without regard to markup, which nests links.
QString LinkEveryNameAnywhere(QString declaration, const std::vector<QString>& names, int count, int self) {
    for (int j = 1; j < count; ++j) {
        const QString& name = names[static_cast<size_t>(j)];
        if (j != self && !name.isEmpty()) {
            ReplaceWordExtended(declaration, EscapeSourceCode(name), LinkTo(name));
        }
    }
    return declaration;
}

/// Random sections named from `words` and declarations of `words` joined by
/// `glue`, linked by the linker and by the plain rule.
struct Generator {
    QStringList words;
    QStringList glue;
    quint32 seed;
    int maxCount;
    int minLinked;  ///< declarations that must get a link, so the generator is not idle
    int minNested;  ///< declarations where linking anywhere would nest links
};

void ExpectThePlainRule(const Generator& g) {
    QRandomGenerator random(g.seed);
    int linked = 0;
    int nested = 0;
    for (int round = 0; round < 400; ++round) {
        const int count = 2 + static_cast<int>(random.bounded(g.maxCount - 1));
        std::vector<QString> names(static_cast<size_t>(count));
        for (int j = 0; j < count; ++j) {
            names[static_cast<size_t>(j)] = g.words.at(random.bounded(g.words.size()));
        }
        QString declaration;
        for (int k = 1 + static_cast<int>(random.bounded(12)); k > 0; --k) {
            declaration += g.glue.at(random.bounded(g.glue.size())) + g.words.at(random.bounded(g.words.size()));
        }
        declaration = EscapeSourceCode(declaration + g.glue.at(random.bounded(g.glue.size())));
        const int self = 1 + static_cast<int>(random.bounded(count - 1));
        QString fast = declaration;
        DeclarationLinker(names, count).link(fast, self);
        const QString expected = LinkEveryName(declaration, names, count, self);
        ASSERT_EQ(fast, expected) << "declaration: " << declaration.toStdString();
        linked += fast != declaration ? 1 : 0;
        nested += fast != LinkEveryNameAnywhere(declaration, names, count, self) ? 1 : 0;
    }
    EXPECT_GE(linked, g.minLinked);
    EXPECT_GE(nested, g.minNested);
}

const QStringList kBlanks{u" "_s, u"\t"_s, u"\r\n"_s, u"("_s, u"*"_s, u", "_s, u" *"_s, u""_s};

TEST(DeclarationLinker, GivesWhatReplacingEveryNameGives) {
    ExpectThePlainRule(
        {{u"f"_s, u"size"_s, u"Item"_s, u"Open File"_s, u"a*b"_s, u"int"_s, u"x(y"_s, u"HREF"_s, u"size,"_s, u"item"_s,
          QString(), u"a"_s, u"a HREF"_s, u"File *"_s, u"operator&"_s, u"a<b> c"_s, u"q\"t"_s},
         kBlanks + QStringList{u"\n"_s, u")"_s},
         20261206,
         9,
         100,
         0});
}

// Many sections of few names: a name is tried again only while it still
// changes the text, and the result must not notice.
TEST(DeclarationLinker, SectionsOfOneNameGiveWhatReplacingEveryNameGives) {
    ExpectThePlainRule({{u"f"_s, u"f"_s, u"Open File"_s, u"<a"_s, u"g"_s}, kBlanks, 7, 31, 100, 0});
}

// Names of one beginning, prefixes of one another, with breaks at either end:
// only whole names between delimiters may link, whichever is longer.
TEST(DeclarationLinker, NamesOfOneBeginningGiveWhatReplacingEveryNameGives) {
    ExpectThePlainRule({{u"Open File 1"_s, u"Open File 12"_s, u"Open File 1 x"_s, u"Open File 1 x y"_s, u"Open Files"_s,
                         u"Open File"_s, u"Open File 1\t"_s, u"Open"_s, u"Ope("_s, u"Op *"_s, u"(Open File"_s,
                         u"*Open File 12"_s, u"File 1"_s, u"1 x"_s, u"x"_s},
                        kBlanks + QStringList{u"\n"_s, u"\r"_s, u"(*"_s, u"2"_s},
                        31337,
                        40,
                        150,
                        20});
}

// A name inside a longer name's link, in its target or its text, stays as it
// is: a link there would nest, and its quote would end the target early.
TEST(DeclarationLinker, NamesInsideLinkedNamesStayInTheirLinks) {
    QStringList words{u"Ring Buffer"_s, u"Buffer Size"_s, u"Buffer"_s, u"Ring"_s, u"Size"_s, u"b c"_s, u"c"_s, u"y"_s,
                      u"<i>q</i>"_s,    u"n"_s,           u"v"_s,      u"l *j"_s, u"HREF"_s, u"a"_s,   u"w"_s};
    for (int k = 0; k < 3; ++k) {
        // The longer names, which hold the others, come up more often.
        words << u"Ring Buffer Size"_s << u"a b c d"_s << u"x\" y z"_s << u"p <i>q</i> r"_s << u"m & n o"_s
              << u"u > v w"_s << u"(k l *j"_s << u"a HREF"_s << u"t > s</a> w z"_s;
    }
    ExpectThePlainRule({words, kBlanks, 4242, 30, 250, 40});
}

TEST(DeclarationLinker, linksWholeNamesOutsideEveryLink) {
    struct Case {
        QStringList names;  ///< sections 1.. of the chapter; the declaration is section 0's
        QString code;
        QString linked;
    };
    const Case cases[] = {
        // Neighbours share their blank: the second section of the name links what the first could not.
        {{u"f"_s, u"f"_s}, u" f f "_s, u" <a HREF=\"#f\">f</a> <a HREF=\"#f\">f</a> "_s},
        {{u"Open File 1"_s, u"Open File 12"_s},
         u"int\tOpen File 12 *Open File 1(Open File 1 a)"_s,
         u"int\t<a HREF=\"#Open File 12\">Open File 12</a> *Open File 1(<a HREF=\"#Open File 1\">Open File 1</a> a)"_s},
        // Names inside a longer linked name, quoted or escaped ones included, are
        // covered on the chapter page by the hostile-text tests.
        // The shorter name first links inside the longer one, which then is not found.
        {{u"Buffer"_s, u"Ring Buffer Size"_s},
         u"g(Ring Buffer Size s)"_s,
         u"g(Ring <a HREF=\"#Buffer\">Buffer</a> Size s)"_s},
        {{u"Open File"_s, u"Open"_s, u"File"_s},
         u"h(Open File *f, Open o, File g)"_s,
         u"h(<a HREF=\"#Open File\">Open File</a> *f, <a HREF=\"#Open\">Open</a> o, <a HREF=\"#File\">File</a> g)"_s},
    };
    for (const Case& c : cases) {
        std::vector<QString> names{QString()};
        for (const QString& name : c.names) {
            names.push_back(name);
        }
        const int count = static_cast<int>(names.size());
        QString declaration = EscapeSourceCode(c.code);
        DeclarationLinker(names, count).link(declaration, 0);
        EXPECT_EQ(declaration, c.linked) << c.code.toStdString();
        EXPECT_EQ(declaration, LinkEveryName(EscapeSourceCode(c.code), names, count, 0));
    }
}

}  // namespace
}  // namespace tessarel
