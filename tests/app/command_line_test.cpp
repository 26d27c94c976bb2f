#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace tessarel {
namespace {

struct Option {
    QString name;
    QString value;
};

std::vector<Option> OptionsOf(const CommandLine& line) {
    std::vector<Option> options;
    for (int i = 1; i <= line.ParameterCount; ++i) {
        options.push_back({line.Parameters[static_cast<size_t>(i)].ParamName,
                           line.Parameters[static_cast<size_t>(i)].ParamValue});
    }
    return options;
}

void ExpectOptions(const CommandLine& line, const std::vector<Option>& expected) {
    const std::vector<Option> actual = OptionsOf(line);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].name, expected[i].name) << "option " << i + 1;
        EXPECT_EQ(actual[i].value, expected[i].value) << "option " << i + 1;
    }
}

TEST(CommandLine, workedExamples) {
    CommandLine line;
    line.ParseCommandLine(QString());
    EXPECT_EQ(line.ParameterCount, -1);
    EXPECT_EQ(line.FirstParameter(), QString());

    line.ParseCommandLine(QStringLiteral("parameter0"));
    EXPECT_EQ(line.ParameterCount, 0);
    EXPECT_EQ(line.FirstParameter(), QStringLiteral("parameter0"));
    EXPECT_EQ(line.CommandLineText, QStringLiteral("parameter0") + QString(20, QLatin1Char(' ')));

    line.ParseCommandLine(
        QStringLiteral("par0      -o1 par1 -o2 par2 -o3 two words      -o4 par4 -o5   par5"));
    EXPECT_EQ(line.ParameterCount, 5);
    EXPECT_EQ(line.FirstParameter(), QStringLiteral("par0"));
    ExpectOptions(line, {{QStringLiteral("o1"), QStringLiteral("par1")},
                         {QStringLiteral("o2"), QStringLiteral("par2")},
                         {QStringLiteral("o3"), QStringLiteral("two words")},
                         {QStringLiteral("o4"), QStringLiteral("par4")},
                         {QStringLiteral("o5"), QStringLiteral("par5")}});

    line.ParseCommandLine(QStringLiteral("parameter0     -o parameter1 -size parameter2 -name value3"));
    EXPECT_EQ(line.ParameterCount, 3);
    EXPECT_EQ(line.FirstParameter(), QStringLiteral("parameter0"));
    ExpectOptions(line, {{QStringLiteral("o"), QStringLiteral("parameter1")},
                         {QStringLiteral("size"), QStringLiteral("parameter2")},
                         {QStringLiteral("name"), QStringLiteral("value3")}});

    line.ParseCommandLine(QStringLiteral("main.c -x -e"));
    EXPECT_EQ(line.ParameterCount, 2);
    EXPECT_EQ(line.FirstParameter(), QStringLiteral("main.c"));
    ExpectOptions(line, {{QStringLiteral("x"), QString()}, {QStringLiteral("e"), QString()}});
}

TEST(CommandLine, recordsPositionsOfEachOption) {
    CommandLine line;
    line.ParseCommandLine(QStringLiteral("a.c -x -long v"));
    const CommandLineParameter& first = line.Parameters[0];
    EXPECT_EQ(first.ParamName, QStringLiteral("@first"));
    EXPECT_EQ(first.ValueStart, 1);
    EXPECT_EQ(first.ValueEnd, 4);  // the blank before "-x"
    EXPECT_EQ(line.Parameters[1].NameStart, 6);
    EXPECT_EQ(line.Parameters[1].NameEnd, 6);
    EXPECT_EQ(line.Parameters[1].ValueStart, 7);
    EXPECT_EQ(line.Parameters[1].ValueEnd, 7);
    EXPECT_EQ(line.Parameters[2].NameStart, 9);
    EXPECT_EQ(line.Parameters[2].NameEnd, 12);
    EXPECT_EQ(line.Parameters[2].ValueEnd, line.CommandLineText.size());
}

TEST(CommandLine, whatIsNotAnOption) {
    CommandLine line;
    line.ParseCommandLine(QStringLiteral("   "));
    EXPECT_EQ(line.ParameterCount, 0);
    EXPECT_EQ(line.FirstParameter(), QString());

    line.ParseCommandLine(QStringLiteral("C:\\My Files\\main.c"));
    EXPECT_EQ(line.ParameterCount, 0);
    EXPECT_EQ(line.FirstParameter(), QStringLiteral("C:\\My Files\\main.c"));

    line.ParseCommandLine(QStringLiteral("C:\\My Files\\main.c -x"));
    EXPECT_EQ(line.FirstParameter(), QStringLiteral("C:\\My Files\\main.c"));
    EXPECT_TRUE(line.IsOptionPresent(QStringLiteral("x")));

    line.ParseCommandLine(QStringLiteral("file.c -x-y"));
    EXPECT_EQ(line.ParameterCount, 0);
    EXPECT_EQ(line.FirstParameter(), QStringLiteral("file.c -x-y"));

    line.ParseCommandLine(QStringLiteral("-b project.qdx"));
    EXPECT_EQ(line.ParameterCount, 0);
    EXPECT_EQ(line.FirstParameter(), QStringLiteral("-b project.qdx"));

    line.ParseCommandLine(QStringLiteral("a-b c - d -_x"));
    EXPECT_EQ(line.ParameterCount, 0);

    line.ParseCommandLine(QStringLiteral("main.c\t-x"));
    EXPECT_TRUE(line.IsOptionPresent(QStringLiteral("x")));
}

TEST(CommandLine, optionsAreCaseSensitiveAndTrimmed) {
    CommandLine line;
    line.ParseCommandLine(QStringLiteral("p.qdx -B -e"));
    EXPECT_FALSE(line.IsOptionPresent(QStringLiteral("b")));
    EXPECT_TRUE(line.IsOptionPresent(QStringLiteral("B")));
    EXPECT_TRUE(line.IsOptionPresent(QStringLiteral("  e ")));
    EXPECT_FALSE(line.IsOptionPresent(QString()));

    line.ClearCommandLine();
    EXPECT_FALSE(line.IsOptionPresent(QStringLiteral("e")));
    EXPECT_EQ(line.ParameterCount, 0);
    EXPECT_EQ(line.CommandLineText, QString());
}

TEST(CommandLine, moreThanNineOptionsKeepsTheFirstNine) {
    CommandLine line;
    line.ParseCommandLine(QStringLiteral("f -a 1 -b 2 -c 3 -d 4 -e 5 -f 6 -g 7 -h 8 -i 9 -j 10 -k 11"));
    EXPECT_EQ(line.ParameterCount, 9);
    EXPECT_EQ(line.Parameters[9].ParamName, QStringLiteral("i"));
    // The ignored options do not leak into the ninth one's value.
    EXPECT_EQ(line.Parameters[9].ParamValue, QStringLiteral("9"));
    EXPECT_FALSE(line.IsOptionPresent(QStringLiteral("j")));
}

TEST(CommandLine, firstParameterBecomesAPath) {
    std::vector<QString> entered;
    auto enter = [&](const QString& folder) {
        entered.push_back(folder);
        return folder.endsWith(QLatin1Char('/')) ? folder.chopped(1) : folder;
    };
    EXPECT_EQ(ResolveCommandLinePath(QStringLiteral("main.c"), QStringLiteral("/home/u"), enter),
              QStringLiteral("/home/u/main.c"));
    EXPECT_TRUE(entered.empty());

    EXPECT_EQ(ResolveCommandLinePath(QStringLiteral("sub/main.c"), QStringLiteral("/home/u/"), enter),
              QStringLiteral("/home/u/sub/main.c"));
    ASSERT_EQ(entered.size(), 1u);
    EXPECT_EQ(entered.back(), QStringLiteral("/home/u/sub/"));

    EXPECT_EQ(ResolveCommandLinePath(QStringLiteral("/data/My Files/p.qdx"), QStringLiteral("/home/u"), enter),
              QStringLiteral("/data/My Files/p.qdx"));
    EXPECT_EQ(entered.back(), QStringLiteral("/data/My Files/"));
}

}  // namespace
}  // namespace tessarel
