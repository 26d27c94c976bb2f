#pragma once

// What the harnesses share: a user interface that only remembers, byte
// drawing, property checks that stop the run, and one scratch folder per
// process that is emptied between inputs instead of made anew.

#include "support/user_interface.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessarel::fuzz {

/// Stops the run with a message; libFuzzer keeps the input as a crash.
[[noreturn]] void Fail(const char* property, const QString& detail = QString());

#define TESSAREL_FUZZ_CHECK(condition, ...)                                \
    do {                                                                   \
        if (!(condition)) {                                                \
            ::tessarel::fuzz::Fail(#condition __VA_OPT__(, ) __VA_ARGS__); \
        }                                                                  \
    } while (false)

/// Answers every message with OK and remembers what it was told.
class QuietUserInterface : public UserInterface {
public:
    struct Message {
        QString title, text;
        MessageIcon icon;
    };
    struct LogLine {
        QString reason, item;
        bool status;
        QString title, output;
    };

    MessageAnswer message(const QString& title, const QString& text, MessageIcon icon, MessageButtons buttons) override;
    void setProgressMaximum(int) override {}
    void resetProgress() override {}
    void advanceProgress() override {}
    void setProgressCaption(const QString&) override {}
    bool cancelRequested() const override { return false; }
    void setCancelRequested(bool) override {}
    void showBusy(const QString& title, const QString& current, int maximum) override;
    void setBusyValue(int value) override;
    void hideBusy() override { busyShown = false; }
    void navigate(const QString& path) override { navigations << path; }
    void shellOpen(const QString&) override {}
    void showHelpTopic(const QString&) override {}
    void requestQuit() override { quitRequested = true; }

    /// Forgets everything, ready for the next input.
    void reset();

    std::vector<Message> messages;
    std::vector<LogLine> log;
    QStringList navigations;
    bool quitRequested = false;
    bool busyShown = false;
    int busyShows = 0, busyMaximum = 0, busyValue = 0;
    QString busyTitle;

protected:
    void showLogRow(const QString& reason, const QString& item, bool status, const QString& title,
                    const QString& output) override;
};

/// Takes leading bytes of an input as switches; missing bytes read as 0.
class ByteDraw {
public:
    ByteDraw(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    /// Everything not drawn yet.
    QByteArray rest() const {
        return at_ < size_ ? QByteArray(reinterpret_cast<const char*>(data_ + at_), static_cast<qsizetype>(size_ - at_))
                           : QByteArray();
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

/// One temporary folder for the whole process, outside the user's home and
/// preferences; removed when the process ends normally.
class ScratchFolder {
public:
    ScratchFolder();
    /// The folder, ending with a separator.
    QString path() const { return path_; }
    QString file(const QString& name) const { return path_ + name; }
    /// Removes everything inside the folder, sub-folders included.
    void empty() const;
    /// The names in a folder below it (or in it for ""), sorted, hidden included.
    QStringList list(const QString& subfolder = QString()) const;

private:
    QTemporaryDir dir_;
    QString path_;
};

QByteArray ReadFileBytes(const QString& path);
/// Writes the bytes exactly; stops the run when that fails.
void WriteFileBytes(const QString& path, const QByteArray& bytes);

}  // namespace tessarel::fuzz
