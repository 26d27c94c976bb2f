#pragma once

#include <QString>

namespace tessarel {

class FileProgress;

/// What only the desktop program does for the user, besides reporting a
/// build (support/user_interface.h): the preview browser, the shell, help, and
/// the orderly end after a critical error.
/// The window implements it; the logic's tests record it.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    virtual void navigate(const QString& path) = 0;           ///< point the preview browser at a file
    virtual void shellOpen(const QString& target) = 0;        ///< open with the associated program
    virtual void showHelpTopic(const QString& helpPath) = 0;  ///< "file.chm::/topic.htm" or a .chm
    /// A critical error has been reported: a running build stops, and the program ends.
    virtual void endProgram() = 0;
    /// What watches a large project file being read or written (the busy
    /// window); null where nothing does.
    virtual FileProgress* fileProgress() { return nullptr; }
};

}  // namespace tessarel
