#pragma once

#include <QString>

namespace tessarel {

/// What only the desktop program does for the user, besides reporting a
/// build (support/user_interface.h): the preview browser, the shell and help.
/// The window implements it; the logic's tests record it.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    virtual void navigate(const QString& path) = 0;           ///< point the preview browser at a file
    virtual void shellOpen(const QString& target) = 0;        ///< open with the associated program
    virtual void showHelpTopic(const QString& helpPath) = 0;  ///< "file.chm::/topic.htm" or a .chm
};

}  // namespace tessarel
