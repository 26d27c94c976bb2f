#include "book/destination_setup.h"

#include "book/book_files.h"
#include "book/book_output.h"
#include "book/project_sources.h"
#include "book/workspace.h"
#include "support/environment.h"
#include "support/file_read.h"
#include "support/paths.h"
#include "support/replacing_file.h"
#include "support/string_functions.h"
#include "support/text_file.h"
#include "support/user_interface.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace tessarel {

void RemoveLeftovers(const BookOutput& out, const ProjectSources& sources) {
    const auto keep = [&sources](const QString& path) { return sources.contains(path); };
    RemoveLeftoverReplacements(out.folder, keep);
    // Without its separator, so a link is seen as a link and never entered.
    const QFileInfo help(out.helpFolder().chopped(1));
    if (help.isDir() && !help.isSymLink()) {
        RemoveLeftoverReplacements(out.helpFolder(), keep);
    }
}

bool KeepSourcesOutOfTheBook(const BookOutput& out, const ProjectSources& sources) {
    const Settings& settings = out.project.settings;
    UserInterface& ui = out.ws.env.ui;
    QStringList paths;
    for (const QString& name : BookFileNames(&settings, out.styleSheet())) {
        paths << out.path(name);
    }
    QStringList kept;
    for (const QString& path : std::as_const(paths)) {
        if (sources.contains(path)) {
            ui.addLogRow(QStringLiteral("Not Built: Page Is A Source"), FileNameOf(path), RowStatus::Failed,
                         QStringLiteral("---"), path.mid(out.folder.size()));
            kept << path;
        }
    }
    if (!kept.isEmpty()) {
        ui.message(QStringLiteral("Source file kept"),
                   QStringLiteral("The book would replace a source of the project:") + kCrLf + kept.join(kCrLf) +
                       kCrLf + QStringLiteral("Nothing was written. Choose another destination folder."),
                   MessageIcon::Exclamation, MessageButtons::Ok);
    }
    return kept.isEmpty();
}

bool WriteBookStyleSheet(const BookOutput& out) {
    // The name is a plain one (ResolvePageStyle), so the sheet stays inside the
    // destination folder.
    const QString sheet = out.styleSheet();
    if (sheet.isEmpty() || out.keeps(sheet)) {
        return true;
    }
    // A sheet that already holds the text stays as it is: its stamp in the
    // record holds, and an unchanged book keeps its record.
    const QByteArray bytes = EncodeText(out.style.text + kCrLf, FileEncoding::Latin1WithReferences);
    QByteArray found;
    if (ReadFileStart(out.path(sheet), bytes.size() + 1, found) && found == bytes) {
        return true;
    }
    return WriteTextFile(out.ws.env.ui, out.path(sheet), out.style.text);
}

}  // namespace tessarel
