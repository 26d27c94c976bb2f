#include "cli/console.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace tessarel::cli {

namespace {

/// Writes all of `text` to `fd`, through interruptions and a descriptor left
/// non-blocking by the caller; false once the stream cannot take it.
bool Write(int fd, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const char* at = bytes.constData();
    size_t left = static_cast<size_t>(bytes.size());
    while (left > 0) {
        const ssize_t written = ::write(fd, at, left);
        if (written > 0) {
            at += written;
            left -= static_cast<size_t>(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd ready = {fd, POLLOUT, 0};
            ::poll(&ready, 1, -1);
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

Console::Console() : live_(isatty(STDOUT_FILENO) == 1) {}

void Console::out(const QString& line) {
    clearProgress();
    if (!outClosed_) {
        outClosed_ = !Write(STDOUT_FILENO, line + QLatin1Char('\n'));
    }
}

void Console::err(const QString& line) {
    clearProgress();
    if (!errClosed_) {
        errClosed_ = !Write(STDERR_FILENO, line + QLatin1Char('\n'));
    }
}

void Console::progress(const QString& text) {
    if (!live_ || outClosed_ || (progressShown_ && text == lastProgress_)) {
        return;
    }
    // Carriage return, the text, then erase what a longer previous text left.
    outClosed_ = !Write(STDOUT_FILENO, QLatin1Char('\r') + text + QStringLiteral("\x1b[K"));
    progressShown_ = !outClosed_;
    lastProgress_ = text;
}

void Console::clearProgress() {
    if (progressShown_) {
        progressShown_ = false;
        lastProgress_.clear();
        outClosed_ = !Write(STDOUT_FILENO, QStringLiteral("\r\x1b[K"));
    }
}

}  // namespace tessarel::cli
