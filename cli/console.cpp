#include "cli/console.h"

#include <unistd.h>

#include <cstdio>

namespace tessarel::cli {

namespace {

void Write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

}  // namespace

Console::Console() : live_(isatty(STDOUT_FILENO) == 1) {}

void Console::out(const QString& line) {
    clearProgress();
    Write(stdout, line + QLatin1Char('\n'));
}

void Console::err(const QString& line) {
    clearProgress();
    Write(stderr, line + QLatin1Char('\n'));
}

void Console::progress(const QString& text) {
    if (!live_ || (progressShown_ && text == lastProgress_)) {
        return;
    }
    // Carriage return, the text, then erase what a longer previous text left.
    Write(stdout, QLatin1Char('\r') + text + QStringLiteral("\x1b[K"));
    progressShown_ = true;
    lastProgress_ = text;
}

void Console::clearProgress() {
    if (progressShown_) {
        Write(stdout, QStringLiteral("\r\x1b[K"));
        progressShown_ = false;
        lastProgress_.clear();
    }
}

}  // namespace tessarel::cli
