#pragma once

#include "extract/document_model.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <set>
#include <vector>

namespace tessarel {

struct DocumentModel;
struct PageBuffer;
struct PageStyle;
struct Settings;
class UserInterface;

/// What the chapter page writer reads besides the document model.
struct ChapterPageContext {
    UserInterface& ui;
    PageBuffer& page;
    const PageStyle& style;
    const Settings& settings;
    QString destinationFolder;  ///< set by a project build; "" writes next to the source
    QDateTime generatedAt;      ///< the "date last generated" footer
};

/// CleanSectionNames, the translation of the sections and WritePageBody:
/// writes the chapter page of a parsed document, streaming it to its file.
/// Each section's text is translated as it is written, as TranslateSections
/// would give it. Section names in `doc` lose their HTML tags.
/// False when nothing was written (no section) or the page could not be written.
bool WriteChapterPage(ChapterPageContext& context, DocumentModel& doc);

/// Blanks the HTML tags out of every section name and trims it, in the model itself.
void CleanSectionNames(DocumentModel& doc);

/// Inserts "<br>" after every comma at the first level of the first parenthesised
/// group: "f(a, g(b, c), d)" gives "f(a,<br> g(b, c),<br> d)".
QString FormatParameterList(const QString& declaration);

/// Links the names of other sections (2..count) in a declaration box, as a
/// whole-word replacement per section in section order. Replacing every name in
/// every declaration would be quadratic in the number of sections; a name can
/// only match whole where it is a word of the text, so only the names among the
/// declaration's words, and the few names that hold word breaks, are tried.
class DeclarationLinker {
public:
    DeclarationLinker(const std::vector<SectionRecord>& sections, int count);
    void link(QString& declaration, int self) const;

private:
    static bool IsWordBreak(QChar c);
    void AddCandidates(const QString& text, int after, std::set<int>& pending) const;
    void AddSpanning(const QString& text, int after, std::set<int>& pending) const;
    /// The next section after `after` that bears the name first borne by `first`; -1 when none.
    int NextOfName(int first, int after) const;

    const std::vector<SectionRecord>& sections_;
    QHash<QStringView, int> byWord_;         ///< one-word names (views into sections_): the first section bearing each
    std::vector<int> shortSpanning_;         ///< other names under four characters: the first section bearing each
    QHash<quint64, std::vector<int>> spanningByStart_;  ///< longer ones by their first four characters
    std::vector<int> firstOfName_;           ///< by section: the first section of the same name
    QHash<int, std::vector<int>> ofName_;    ///< by first section: every section of that name, in order
};

/// destination folder + separator + FileNameOf(fileName), doubled separators
/// collapsed; "" when the name has no file part (never a path outside the folder).
QString MakeChapterOutputPath(const QString& destinationFolder, const QString& fileName);

}  // namespace tessarel
