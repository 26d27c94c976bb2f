#include "book/destination_setup.h"

#include "book/book_output.h"
#include "book/project_sources.h"
#include "book/workspace.h"
#include "pages/style.h"
#include "support/environment.h"
#include "support/paths.h"
#include "support/replacing_file.h"
#include "support/string_functions.h"
#include "support/text_file.h"
#include "support/user_interface.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace tessarel {

namespace {

/// A sheet of that name is deleted only when it is the one an earlier build
/// (of this version or an earlier one) wrote there: the user's own sheet of
/// the same name stays.
void RemoveOwnStyleSheet(const PageStyle& style, const QString& sheet, const ProjectSources& sources) {
    const QFileInfo info(sheet);
    if (style.text.isEmpty() || info.isSymLink() || !info.isFile() || sources.contains(sheet)) {
        return;
    }
    const QByteArray ours = EncodeText(style.text + kCrLf, FileEncoding::Latin1WithReferences);
    QByteArray found;
    // No sheet Tessarel ever shipped is near this size.
    constexpr qint64 kMostSheetBytes = 1 << 20;
    if (info.size() <= std::max<qint64>(ours.size(), kMostSheetBytes) && ReadFileBytes(sheet, found) &&
        (found == ours || IsFormerStyleSheet(found))) {
        QFile::remove(sheet);
    }
}

}  // namespace

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
    const Settings& settings = out.ws.project.settings;
    UserInterface& ui = out.ws.env.ui;
    QStringList names{QStringLiteral("index.htm"), QStringLiteral("_book.htm"), QStringLiteral("_dindex.htm"),
                      QStringLiteral("_sorted_index.htm")};
    if (settings.Collapsible) {
        names << QStringLiteral("genesisa.htm") << QStringLiteral("genesisn.htm") << QStringLiteral("_bookcol.htm")
              << QStringLiteral("_index_active.htm") << QStringLiteral("contents_active.hhc")
              << QStringLiteral("index_active.hhk");
    }
    if (settings.IncludeSearch) {
        names << QStringLiteral("_search.htm") << QStringLiteral("_search_index.js");
    }
    if (!settings.EmbedStyle && !out.style.text.isEmpty()) {
        names << out.style.name + QStringLiteral(".css");
    }
    QStringList paths;
    for (const QString& name : std::as_const(names)) {
        paths << out.path(name);
    }
    if (settings.GenerateHtmlHelpFiles) {
        for (const char* name : {"help.hhp", "contents.hhc", "index.hhk"}) {
            paths << out.helpPath(QLatin1String(name));
        }
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

bool WriteBookStyleSheet(const BookOutput& out, const ProjectSources& sources) {
    // The name is a plain one (ResolvePageStyle), so the sheet stays inside the
    // destination folder.
    const QString sheet = out.path(out.style.name + QStringLiteral(".css"));
    if (out.ws.project.settings.EmbedStyle) {
        RemoveOwnStyleSheet(out.style, sheet, sources);
        return true;
    }
    return out.style.text.isEmpty() || WriteTextFile(out.ws.env.ui, sheet, out.style.text);
}

}  // namespace tessarel
