#pragma once

// What the harnesses share besides the quiet user interface: byte drawing,
// property checks that stop the run, and one scratch folder per process that
// is emptied between inputs instead of made anew.

#include "support/quiet_user_interface.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace tessarel::fuzz {

/// Stops the run with a message; libFuzzer keeps the input as a crash.
[[noreturn]] void Fail(const char* property, const QString& detail = QString());

#define TESSAREL_FUZZ_CHECK(condition, ...)                                \
    do {                                                                   \
        if (!(condition)) {                                                \
            ::tessarel::fuzz::Fail(#condition __VA_OPT__(, ) __VA_ARGS__); \
        }                                                                  \
    } while (false)

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
