#include "pages/declaration_linker.h"
#include "extract/document_model.h"
#include "support/html_text.h"
#include "support/string_functions.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

using namespace tessarel;

namespace {

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
QString LinkEveryName(QString declaration, const std::vector<SectionRecord>& sections, int count, int self) {
    for (int j = 2; j <= count; ++j) {
        const QString& name = sections[static_cast<size_t>(j)].Name;
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
QString LinkEveryNameAnywhere(QString declaration, const std::vector<SectionRecord>& sections, int count, int self) {
    for (int j = 2; j <= count; ++j) {
        const QString& name = sections[static_cast<size_t>(j)].Name;
        if (j != self && !name.isEmpty()) {
            ReplaceWordExtended(declaration, EscapeSourceCode(name), LinkTo(name));
        }
    }
    return declaration;
}

struct Compared {
    int linked = 0;  ///< declarations that got a link
    int nested = 0;  ///< declarations that linking anywhere would have nested
};

// Random sections named from `words` and declarations of `words` joined by
// `glue`, linked both ways.
Compared CompareWithPlainRule(const QStringList& words, const QStringList& glue, quint32 seed, int maxCount) {
    QRandomGenerator random(seed);
    Compared compared;
    for (int round = 0; round < 400; ++round) {
        const int count = 2 + static_cast<int>(random.bounded(maxCount - 1));
        std::vector<SectionRecord> sections(static_cast<size_t>(count) + 1);
        for (int j = 1; j <= count; ++j) {
            sections[static_cast<size_t>(j)].Name = words.at(random.bounded(words.size()));
        }
        QString declaration;
        const int pieces = 1 + static_cast<int>(random.bounded(12));
        for (int k = 0; k < pieces; ++k) {
            declaration += glue.at(random.bounded(glue.size())) + words.at(random.bounded(words.size()));
        }
        declaration = EscapeSourceCode(declaration + glue.at(random.bounded(glue.size())));
        const int self = 2 + static_cast<int>(random.bounded(count - 1));
        QString fast = declaration;
        DeclarationLinker(sections, count).link(fast, self);
        const QString expected = LinkEveryName(declaration, sections, count, self);
        EXPECT_EQ(fast, expected) << "declaration: " << declaration.toStdString();
        if (fast != expected) {
            break;
        }
        compared.linked += fast != declaration ? 1 : 0;
        compared.nested += fast != LinkEveryNameAnywhere(declaration, sections, count, self) ? 1 : 0;
    }
    return compared;
}

}  // namespace

TEST(DeclarationLinker, GivesWhatReplacingEveryNameGives) {
    const QStringList words{QStringLiteral("f"), QStringLiteral("size"), QStringLiteral("Item"),
                            QStringLiteral("Open File"), QStringLiteral("a*b"), QStringLiteral("int"),
                            QStringLiteral("x(y"), QStringLiteral("HREF"), QStringLiteral("size,"),
                            QStringLiteral("item"), QString(), QStringLiteral("a"),
                            // Longer names with breaks, one of them found only inside an inserted link.
                            QStringLiteral("a HREF"), QStringLiteral("File *"),
                            // Names the escaped declaration shows otherwise, or that need quoting in the link.
                            QStringLiteral("operator&"), QStringLiteral("a<b> c"), QStringLiteral("q\"t")};
    const QStringList glue{QStringLiteral(" "),  QStringLiteral("\t"), QStringLiteral("\r\n"), QStringLiteral("\n"),
                           QStringLiteral("("),  QStringLiteral("*"),  QStringLiteral(", "),   QStringLiteral(")"),
                           QStringLiteral(" *"), QStringLiteral("")};
    EXPECT_GT(CompareWithPlainRule(words, glue, 20261206, 9).linked, 100);  // the generator must produce links
}

// Many sections of few names: a name is tried again only while it still
// changes the text, and the result must not notice.
TEST(DeclarationLinker, SectionsOfOneNameGiveWhatReplacingEveryNameGives) {
    const QStringList words{QStringLiteral("f"), QStringLiteral("f"), QStringLiteral("Open File"), QStringLiteral("<a"),
                            QStringLiteral("g")};
    const QStringList glue{QStringLiteral(" "), QStringLiteral("("), QStringLiteral("*"), QStringLiteral(", "),
                           QStringLiteral("\t")};
    CompareWithPlainRule(words, glue, 7, 31);
    // Neighbours share their blank: the second section of the name links what the first could not.
    std::vector<SectionRecord> sections(4);
    sections[2].Name = sections[3].Name = QStringLiteral("f");
    QString declaration = QStringLiteral(" f f ");
    DeclarationLinker(sections, 3).link(declaration, 1);
    EXPECT_EQ(declaration, QStringLiteral(" <a HREF=\"#f\">f</a> <a HREF=\"#f\">f</a> "));
}

// Many names of one beginning, prefixes of one another, with breaks at either
// end: only whole names between delimiters may link, whichever is longer.
TEST(DeclarationLinker, NamesOfOneBeginningGiveWhatReplacingEveryNameGives) {
    const QStringList words{QStringLiteral("Open File 1"),
                            QStringLiteral("Open File 12"),
                            QStringLiteral("Open File 1 x"),
                            QStringLiteral("Open File 1 x y"),
                            QStringLiteral("Open Files"),
                            QStringLiteral("Open File"),
                            QStringLiteral("Open File 1\t"),
                            QStringLiteral("Open"),
                            QStringLiteral("Ope("),
                            QStringLiteral("Op *"),
                            QStringLiteral("(Open File"),
                            QStringLiteral("*Open File 12"),
                            QStringLiteral("File 1"),
                            QStringLiteral("1 x"),
                            QStringLiteral("x")};
    const QStringList glue{QStringLiteral(" "),  QStringLiteral("\t"), QStringLiteral("\r\n"), QStringLiteral("\n"),
                           QStringLiteral("\r"), QStringLiteral("("),  QStringLiteral("*"),    QStringLiteral(" *"),
                           QStringLiteral("(*"), QStringLiteral(", "), QStringLiteral(""),     QStringLiteral("2")};
    const Compared compared = CompareWithPlainRule(words, glue, 31337, 40);
    EXPECT_GT(compared.linked, 150);
    EXPECT_GT(compared.nested, 20);

    std::vector<SectionRecord> sections(4);
    sections[2].Name = QStringLiteral("Open File 1");
    sections[3].Name = QStringLiteral("Open File 12");
    QString declaration = QStringLiteral("int\tOpen File 12 *Open File 1(Open File 1 a)");
    DeclarationLinker(sections, 3).link(declaration, 1);
    EXPECT_EQ(declaration, QStringLiteral("int\t<a HREF=\"#Open File 12\">Open File 12</a> *Open File 1("
                                          "<a HREF=\"#Open File 1\">Open File 1</a> a)"));
}

// A name inside a longer name's link, in its target or its text, stays as it
// is: a link there would nest, and its quote would end the target early.
TEST(DeclarationLinker, NamesInsideLinkedNamesStayInTheirLinks) {
    QStringList words{QStringLiteral("Ring Buffer"), QStringLiteral("Buffer Size"), QStringLiteral("Buffer"),
                      QStringLiteral("Ring"),        QStringLiteral("Size"),        QStringLiteral("b c"),
                      QStringLiteral("c"),           QStringLiteral("y"),           QStringLiteral("<i>q</i>"),
                      QStringLiteral("n"),           QStringLiteral("v"),           QStringLiteral("l *j"),
                      QStringLiteral("HREF"),        QStringLiteral("a"),           QStringLiteral("w")};
    // The longer names, which hold the others, come up more often.
    for (int k = 0; k < 3; ++k) {
        words << QStringLiteral("Ring Buffer Size") << QStringLiteral("a b c d") << QStringLiteral("x\" y z")
              << QStringLiteral("p <i>q</i> r") << QStringLiteral("m & n o") << QStringLiteral("u > v w")
              << QStringLiteral("(k l *j") << QStringLiteral("a HREF") << QStringLiteral("t > s</a> w z");
    }
    const QStringList glue{QStringLiteral(" "), QStringLiteral("\t"), QStringLiteral("\r\n"), QStringLiteral("("),
                           QStringLiteral("*"), QStringLiteral(", "), QStringLiteral(" *"),   QStringLiteral("")};
    const Compared compared = CompareWithPlainRule(words, glue, 4242, 30);
    EXPECT_GT(compared.linked, 250);
    EXPECT_GT(compared.nested, 40);  // the generator must meet names inside links

    const auto linked = [](const QStringList& names, const QString& code) {
        std::vector<SectionRecord> sections(static_cast<size_t>(names.size()) + 2);
        for (qsizetype k = 0; k < names.size(); ++k) {
            sections[static_cast<size_t>(k) + 2].Name = names[k];
        }
        const int count = static_cast<int>(names.size()) + 1;
        QString declaration = EscapeSourceCode(code);
        DeclarationLinker(sections, count).link(declaration, 1);
        EXPECT_EQ(declaration, LinkEveryName(EscapeSourceCode(code), sections, count, 1));
        return declaration;
    };
    // In the middle: neither the target nor the text of the longer link takes another.
    EXPECT_EQ(linked({QStringLiteral("Ring Buffer Size"), QStringLiteral("Buffer"), QStringLiteral("Ring")},
                     QStringLiteral("void grow(Ring Buffer Size n, Buffer *b, Ring r)")),
              QStringLiteral("void grow(<a HREF=\"#Ring Buffer Size\">Ring Buffer Size</a> n, "
                             "<a HREF=\"#Buffer\">Buffer</a> *b, <a HREF=\"#Ring\">Ring</a> r)"));
    // A quoted name's target and an escaped name's text hold the inner name too.
    EXPECT_EQ(linked({QStringLiteral("x\" y z"), QStringLiteral("m & n o"), QStringLiteral("y"), QStringLiteral("n")},
                     QStringLiteral("f(x\" y z a, m & n o b, y n)")),
              QStringLiteral("f(<a HREF=\"#x&quot; y z\">x\" y z</a> a, <a HREF=\"#m & n o\">m &amp; n o</a> b, "
                             "<a HREF=\"#y\">y</a> n)"));
    // The shorter name first links inside the longer one, which then is not found.
    EXPECT_EQ(
        linked({QStringLiteral("Buffer"), QStringLiteral("Ring Buffer Size")}, QStringLiteral("g(Ring Buffer Size s)")),
        QStringLiteral("g(Ring <a HREF=\"#Buffer\">Buffer</a> Size s)"));
    // A prefix or a suffix never stood between delimiters inside the link, so
    // these come out as before.
    for (const QString& code :
         {QStringLiteral("h(Open File *f, Open o, File g)"), QStringLiteral("h(Open File\tOpen File Open)")}) {
        std::vector<SectionRecord> sections(5);
        sections[2].Name = QStringLiteral("Open File");
        sections[3].Name = QStringLiteral("Open");
        sections[4].Name = QStringLiteral("File");
        EXPECT_EQ(linked({QStringLiteral("Open File"), QStringLiteral("Open"), QStringLiteral("File")}, code),
                  LinkEveryNameAnywhere(code, sections, 4, 1));
    }
}
