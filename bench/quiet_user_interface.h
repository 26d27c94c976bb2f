#pragma once

#include "support/user_interface.h"

#include <cstdio>

/// The benchmarks' user: messages go to stderr and are counted, failed log
/// lines are counted, nothing else is shown or started.
class QuietUserInterface : public tessarel::UserInterface {
public:
    tessarel::MessageAnswer message(const QString& title, const QString& text, tessarel::MessageIcon,
                                    tessarel::MessageButtons) override {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(title), qPrintable(text));
        ++messages;
        return tessarel::MessageAnswer::Ok;
    }
    void setProgressMaximum(int) override {}
    void resetProgress() override {}
    void advanceProgress() override {}
    void setProgressCaption(const QString&) override {}
    bool cancelRequested() const override { return false; }
    void setCancelRequested(bool) override {}
    void showBusy(const QString&, const QString&, int) override {}
    void setBusyValue(int) override {}
    void hideBusy() override {}
    void navigate(const QString&) override {}
    void shellOpen(const QString&) override {}
    void showHelpTopic(const QString&) override {}
    void requestQuit() override {}

    int messages = 0;
    int failed = 0;

protected:
    void showLogRow(const QString&, const QString&, bool status, const QString&, const QString&) override {
        failed += status ? 0 : 1;
    }
};
