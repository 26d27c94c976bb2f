#include "extract/document_model.h"
#include "pages/declaration_linker.h"
#include "support/string_functions.h"

#include <QRandomGenerator>
#include <QStringList>

#include <gtest/gtest.h>
#include "support/html_text.h"

using namespace tessarel;

namespace {

// The plain rule: every other section's name, in section order, replaced as a
// whole word of the escaped declaration; empty names are skipped.
QString LinkEveryName(QString declaration, const std::vector<SectionRecord>& sections, int count, int self) {
    for (int j = 2; j <= count; ++j) {
        const QString& name = sections[static_cast<size_t>(j)].Name;
        if (j == self || name.isEmpty()) {
            continue;
        }
        const QString word = EscapeSourceCode(name);
        ReplaceWordExtended(declaration, word,
                            QStringLiteral("<a HREF=\"#") + QuoteHtmlAttribute(name) + QStringLiteral("\">") + word +
                                QStringLiteral("</a>"));
    }
    return declaration;
}

// Random sections named from `words` and declarations of `words` joined by
// `glue`, linked both ways; returns how many declarations got a link.
int CompareWithPlainRule(const QStringList& words, const QStringList& glue, quint32 seed, int maxCount) {
    QRandomGenerator random(seed);
    int linked = 0;
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
        linked += fast != declaration ? 1 : 0;
    }
    return linked;
}

}  // namespace

TEST(DeclarationLinker, GivesWhatReplacingEveryNameGives) {
    const QStringList words{QStringLiteral("f"),        QStringLiteral("size"),     QStringLiteral("Item"),
                            QStringLiteral("Open File"), QStringLiteral("a*b"),     QStringLiteral("int"),
                            QStringLiteral("x(y"),       QStringLiteral("HREF"),    QStringLiteral("size,"),
                            QStringLiteral("item"),      QString(),                 QStringLiteral("a"),
                            // Longer names with breaks, one of them found only in an inserted link.
                            QStringLiteral("a HREF"), QStringLiteral("File *"),
                            // Names the escaped declaration shows otherwise, or that need quoting in the link.
                            QStringLiteral("operator&"), QStringLiteral("a<b> c"), QStringLiteral("q\"t")};
    const QStringList glue{QStringLiteral(" "),  QStringLiteral("\t"), QStringLiteral("\r\n"), QStringLiteral("\n"),
                           QStringLiteral("("),  QStringLiteral("*"),  QStringLiteral(", "),   QStringLiteral(")"),
                           QStringLiteral(" *"), QStringLiteral("")};
    const int linked = CompareWithPlainRule(words, glue, 20261206, 9);
    EXPECT_GT(linked, 100);  // the generator must actually produce links
}

// Many sections of few names: a name is tried again only while it still
// changes the text, and the result must not notice.
TEST(DeclarationLinker, SectionsOfOneNameGiveWhatReplacingEveryNameGives) {
    const QStringList words{QStringLiteral("f"), QStringLiteral("f"), QStringLiteral("Open File"),
                            QStringLiteral("<a"), QStringLiteral("g")};
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
    const QStringList words{QStringLiteral("Open File 1"),   QStringLiteral("Open File 12"),
                            QStringLiteral("Open File 1 x"), QStringLiteral("Open File 1 x y"),
                            QStringLiteral("Open Files"),    QStringLiteral("Open File"),
                            QStringLiteral("Open File 1\t"), QStringLiteral("Open"),
                            QStringLiteral("Ope("),          QStringLiteral("Op *"),
                            QStringLiteral("(Open File"),    QStringLiteral("*Open File 12"),
                            QStringLiteral("File 1"),        QStringLiteral("1 x"),
                            QStringLiteral("x")};
    const QStringList glue{QStringLiteral(" "),  QStringLiteral("\t"), QStringLiteral("\r\n"), QStringLiteral("\n"),
                           QStringLiteral("\r"), QStringLiteral("("),  QStringLiteral("*"),    QStringLiteral(" *"),
                           QStringLiteral("(*"), QStringLiteral(", "), QStringLiteral(""),     QStringLiteral("2")};
    EXPECT_GT(CompareWithPlainRule(words, glue, 31337, 40), 150);

    std::vector<SectionRecord> sections(4);
    sections[2].Name = QStringLiteral("Open File 1");
    sections[3].Name = QStringLiteral("Open File 12");
    QString declaration = QStringLiteral("int\tOpen File 12 *Open File 1(Open File 1 a)");
    DeclarationLinker(sections, 3).link(declaration, 1);
    EXPECT_EQ(declaration, QStringLiteral("int\t<a HREF=\"#Open File 12\">Open File 12</a> *Open File 1("
                                          "<a HREF=\"#Open File 1\">Open File 1</a> a)"));
}
