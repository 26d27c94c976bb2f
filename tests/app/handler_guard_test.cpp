#include "app/handler_guard.h"

#include "app/front_end.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/testing.h"
#include "support/text_file.h"

using namespace Qt::Literals::StringLiterals;

namespace tessarel {
namespace {

/// Counts the front end's orders to end the program.
struct EndingFrontEnd : FrontEnd {
    void navigate(const QString&) override {}
    void shellOpen(const QString&) override {}
    void showHelpTopic(const QString&) override {}
    void endProgram() override { ++ends; }
    int ends = 0;
};

TEST(HandlerGuard, anErrorIsReportedUnderItsHandlerAndEndsTheProgram) {
    testing::TestEnvironment te;
    EndingFrontEnd front;
    bool after = false;
    EXPECT_THROW(RunReported(*te.env, front, sites::kPlacePreview,
                             [&] {
                                 throw std::runtime_error("layout failed");
                                 after = true;
                             }),
                 ProgramEnding);
    EXPECT_FALSE(after);
    EXPECT_EQ(front.ends, 1);
    ASSERT_EQ(te.ui.messages.size(), 1u);
    EXPECT_EQ(te.ui.messages[0].title, u"Critical Error Report"_s);
    const QStringList log = ReadTextFile(te.dataFolder() + u"error.log"_s).split(u"\r\n"_s);
    ASSERT_GE(log.size(), 6);
    EXPECT_EQ(log[3], u"Module: "_s + QString::fromUtf16(sites::kPlacePreview.module));
    EXPECT_EQ(log[4], QString::fromUtf16(sites::kPlacePreview.procedure));
    EXPECT_EQ(log[5], u"0 -> layout failed"_s);
}

TEST(HandlerGuard, anEndingProgramPassesEveryGuardUntilTheEventLoop) {
    testing::TestEnvironment te;
    EndingFrontEnd front;
    int reports = 0;
    const bool completed = RunEventHandler([&] {
        RunIgnoringErrors(
            [&] { RunReported(*te.env, front, sites::kUnloadProject, [] { throw std::logic_error("broken"); }); });
        ++reports;  // never reached: the report ends the handler
    });
    EXPECT_FALSE(completed);
    EXPECT_EQ(front.ends, 1);
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(te.ui.messages.size(), 1u);

    // Ordinary errors are ignored where a handler ignores them, and nothing is reported.
    bool next = false;
    RunIgnoringErrors([] { throw std::runtime_error("ignored"); });
    next = true;
    EXPECT_TRUE(next);
    EXPECT_EQ(te.ui.messages.size(), 1u);
}

}  // namespace
}  // namespace tessarel
