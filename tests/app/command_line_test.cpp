#include "app/command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace tessarel {
namespace {

struct Option {
    QString name;
    QString value;
};

std::vector<Option> OptionsOf(const CommandLine& line) {
    std::vector<Option> options;
    for (int i = 1; i <= line.ParameterCount; ++i) {
        options.push_back(
            {line.Parameters[static_cast<size_t>(i)].ParamName, line.Parameters[static_cast<size_t>(i)].ParamValue});
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
    line.parse(QString());
    EXPECT_EQ(line.ParameterCount, -1);
    EXPECT_EQ(line.firstParameter(), QString());

    line.parse(u"parameter0"_s);
    EXPECT_EQ(line.ParameterCount, 0);
    EXPECT_EQ(line.firstParameter(), u"parameter0"_s);
    EXPECT_EQ(line.CommandLineText, u"parameter0"_s + QString(20, QLatin1Char(' ')));

    line.parse(u"par0      -o1 par1 -o2 par2 -o3 two words      -o4 par4 -o5   par5"_s);
    EXPECT_EQ(line.ParameterCount, 5);
    EXPECT_EQ(line.firstParameter(), u"par0"_s);
    ExpectOptions(line, {{u"o1"_s, u"par1"_s},
                         {u"o2"_s, u"par2"_s},
                         {u"o3"_s, u"two words"_s},
                         {u"o4"_s, u"par4"_s},
                         {u"o5"_s, u"par5"_s}});

    line.parse(u"main.c -x -e"_s);
    EXPECT_EQ(line.ParameterCount, 2);
    EXPECT_EQ(line.firstParameter(), u"main.c"_s);
    ExpectOptions(line, {{u"x"_s, QString()}, {u"e"_s, QString()}});
}

TEST(CommandLine, whatIsNotAnOption) {
    struct Case {
        QString text;
        int count;
        std::optional<QString> first;  // unset: not checked
    };
    const std::vector<Case> cases{
        {u"   "_s, 0, QString()},
        {u"C:\\My Files\\main.c"_s, 0, u"C:\\My Files\\main.c"_s},
        {u"C:\\My Files\\main.c -x"_s, 1, u"C:\\My Files\\main.c"_s},
        {u"file.c -x-y"_s, 0, u"file.c -x-y"_s},
        {u"-b project.qdx"_s, 0, u"-b project.qdx"_s},
        {u"a-b c - d -_x"_s, 0, u"a-b c - d -_x"_s},
        {u"main.c\t-x"_s, 1, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        CommandLine line;
        line.parse(c.text);
        EXPECT_EQ(line.ParameterCount, c.count);
        if (c.first) {
            EXPECT_EQ(line.firstParameter(), *c.first);
        }
        EXPECT_EQ(line.isOptionPresent(u"x"_s), c.count == 1);
    }
}

TEST(CommandLine, optionsAreCaseSensitiveAndTrimmed) {
    CommandLine line;
    line.parse(u"p.qdx -B -e"_s);
    EXPECT_FALSE(line.isOptionPresent(u"b"_s));
    EXPECT_TRUE(line.isOptionPresent(u"B"_s));
    EXPECT_TRUE(line.isOptionPresent(u"  e "_s));
    EXPECT_FALSE(line.isOptionPresent(QString()));

    line.clear();
    EXPECT_FALSE(line.isOptionPresent(u"e"_s));
    EXPECT_EQ(line.ParameterCount, 0);
    EXPECT_EQ(line.CommandLineText, QString());
}

TEST(CommandLine, moreThanNineOptionsKeepsTheFirstNine) {
    CommandLine line;
    line.parse(u"f -a 1 -b 2 -c 3 -d 4 -e 5 -f 6 -g 7 -h 8 -i 9 -j 10 -k 11"_s);
    EXPECT_EQ(line.ParameterCount, 9);
    EXPECT_EQ(line.Parameters[9].ParamName, u"i"_s);
    // The ignored options do not leak into the ninth one's value.
    EXPECT_EQ(line.Parameters[9].ParamValue, u"9"_s);
    EXPECT_FALSE(line.isOptionPresent(u"j"_s));
}

TEST(CommandLine, firstParameterBecomesAPath) {
    std::vector<QString> entered;
    auto enter = [&](const QString& folder) {
        entered.push_back(folder);
        return folder.endsWith(QLatin1Char('/')) ? folder.chopped(1) : folder;
    };
    EXPECT_EQ(ResolveCommandLinePath(u"main.c"_s, u"/home/u"_s, enter), u"/home/u/main.c"_s);
    EXPECT_TRUE(entered.empty());

    EXPECT_EQ(ResolveCommandLinePath(u"sub/main.c"_s, u"/home/u/"_s, enter), u"/home/u/sub/main.c"_s);
    ASSERT_EQ(entered.size(), 1u);
    EXPECT_EQ(entered.back(), u"/home/u/sub/"_s);

    EXPECT_EQ(ResolveCommandLinePath(u"/data/My Files/p.qdx"_s, u"/home/u"_s, enter), u"/data/My Files/p.qdx"_s);
    EXPECT_EQ(entered.back(), u"/data/My Files/"_s);
}

TEST(CommandLine, helpIsAskedForByItsOwnWordsAnywhere) {
    const std::vector<std::pair<QStringList, bool>> cases{
        {{u"--help"_s}, true},       {{u"-h"_s}, true},  {{u"main.c"_s, u"-h"_s}, true}, {{u"main.c"_s}, false},
        {{u"--helpful.c"_s}, false}, {{u"-H"_s}, false}, {{u"my -h.c"_s}, false},        {{}, false},
    };
    for (const auto& [arguments, asks] : cases) {
        EXPECT_EQ(AsksForUsage(arguments), asks) << arguments.join(u' ').toStdString();
    }
}

}  // namespace
}  // namespace tessarel
