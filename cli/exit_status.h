#pragma once

namespace tessarel::cli {

/// What tessarel-cli tells its caller, in one place so scripts can rely on it.
enum class ExitStatus : int {
    Success = 0,        ///< every file or chapter built (HTML sources count as built)
    BuildFailed = 1,    ///< any FAIL row: a file had no sections, was missing or not read, its page name was
                        ///< taken or it would have replaced a source, the help compiler failed or reported
                        ///< errors; or another build held the destination
    Usage = 2,          ///< bad command line, or a project that cannot be read
    HungUp = 129,       ///< stopped by SIGHUP, the terminal closed (128 + 1), after the same orderly stop
    Interrupted = 130,  ///< stopped by SIGINT (128 + 2, as shells report it)
    Terminated = 143    ///< stopped by SIGTERM (128 + 15), after the same orderly stop
};

/// The status of a run over several files: an interruption wins over a usage
/// error, which wins over a failed build.
inline ExitStatus Worse(ExitStatus a, ExitStatus b) {
    auto rank = [](ExitStatus s) {
        switch (s) {
        case ExitStatus::Success:
            return 0;
        case ExitStatus::BuildFailed:
            return 1;
        case ExitStatus::Usage:
            return 2;
        case ExitStatus::HungUp:
        case ExitStatus::Interrupted:
        case ExitStatus::Terminated:
            return 3;
        }
        return 0;
    };
    return rank(a) >= rank(b) ? a : b;
}

}  // namespace tessarel::cli
