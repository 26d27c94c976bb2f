#pragma once

#include <QString>

namespace tessarel::cli {

/// The terminal: UTF-8 lines on stdout and stderr, and, when stdout is a
/// terminal, one live progress line that the next printed line replaces.
/// A stream that can no longer be written (its reader gone, the terminal
/// closed) is left alone from then on; the program goes on without it.
class Console {
public:
    Console();

    void out(const QString& line);  ///< a line on stdout
    void err(const QString& line);  ///< a line on stderr
    /// Replaces the live line; does nothing when stdout is not a terminal.
    void progress(const QString& text);
    void clearProgress();
    bool live() const { return live_; }

private:
    bool live_ = false;
    bool progressShown_ = false;
    bool outClosed_ = false;
    bool errClosed_ = false;
    QString lastProgress_;
};

}  // namespace tessarel::cli
