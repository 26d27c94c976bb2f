#include "app/help_topics.h"

#include "support/paths.h"

namespace tessarel {

HelpTarget ResolveHelpPath(const QString& helpPath) {
    const QString marker = QStringLiteral("::/");
    const qsizetype split = helpPath.indexOf(marker);
    if (split < 0) {
        return {HelpTarget::Kind::Document, helpPath};
    }
    const QString helpFile = helpPath.left(split);
    // Only the topic's own name counts: a topic never leads out of the help folder.
    const QString topic =
        FileNameOf(QString(helpPath.mid(split + marker.size())).replace(QLatin1Char('\\'), QLatin1Char('/')));
    return {HelpTarget::Kind::Topic, FolderOf(helpFile) + topic};
}

}  // namespace tessarel
