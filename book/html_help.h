#pragma once

#include <QString>

namespace tessarel {

struct BookOutput;
struct ProjectModel;

/// Which of the two site maps a piece belongs to: the HTML Help project's
/// ("HTML Help" folder, topics under "..\") or the collapsible book's (beside the pages).
enum class SiteMap { HelpProject, Active };

/// The lines "help.hhp" opens with, as Tessarel has always written them.
inline const QString kHelpProjectFirstLines = QStringLiteral("[OPTIONS]\r\nCompatibility = 1.1 Or later\r\n");

/// "help.hhp" up to its "[FILES]" line; the build appends one line per chapter.
QString HelpProjectHeader(const ProjectModel& project);
/// The file list line of a chapter page in "help.hhp".
QString HelpProjectFileLine(const QString& page);

// "contents.hhc" and "contents_active.hhc", written chapter by chapter.
QString ContentsHeader(SiteMap map);
/// The chapter's own entry, its page's link `pageHref` (PageHref); `sectionCount`
/// 1 marks a chapter without further sections.
void AddContentsChapter(QString& block, SiteMap map, const QString& entry, QStringView pageHref, int sectionCount);
void OpenContentsSections(QString& block);
void AddContentsSection(QString& block, SiteMap map, const QString& page, const QString& sectionName);
/// The same entry from the page's link (PageHref), made once for all its sections.
void AddContentsSectionTo(QString& block, SiteMap map, QStringView pageHref, const QString& sectionName);
void CloseContentsSections(QString& block);
QString ContentsClosing();

/// "HTML Help/index.hhk" or "index_active.hhk" from the (sorted) index entries.
/// False when it could not be written.
bool WriteHelpIndex(const BookOutput& out, SiteMap map);

}  // namespace tessarel
