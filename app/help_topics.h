#pragma once

#include <QString>

namespace tessarel {

/// What showing a help path comes to where no HTML Help viewer exists.
struct HelpTarget {
    enum class Kind {
        Topic,     ///< a shipped topic file, shown in the help window
        Document,  ///< a compiled help file without a topic, opened with the shell
    };
    Kind kind = Kind::Document;
    QString file;
};

/// "<folder>/help.chm::/walk.txt.htm" is the topic file "<folder>/walk.txt.htm"
/// shipped beside the help file; a path without "::/" is the help file itself.
HelpTarget ResolveHelpPath(const QString& helpPath);

}  // namespace tessarel
