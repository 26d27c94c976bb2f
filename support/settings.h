#pragma once

#include <QString>

namespace tessarel {

/// The ten comment styles. The project file stores them as two sums of weights
/// (kSingleLineStyleKeys, kMultipleLineStyleKeys).
struct CommentStyles {
    bool doubleSlash = true;   // "//"
    bool apostrophe = true;    // "'"
    bool hash = false;         // "#"
    bool semicolon = false;    // ";"
    bool dash = false;         // "-"
    bool letterC = false;      // "c" and "C"
    bool exclamation = false;  // "!"
    bool slashStar = true;     // "/* */"
    bool parenStar = false;    // "(* *)"
    bool braces = false;       // "{ }"

    bool anyMultiLine() const { return slashStar || parenStar || braces; }
    bool operator==(const CommentStyles&) const = default;
};

/// Sum of the weights 1..64 of the single-line styles that are on (0..127).
int SingleLineCommentBits(const CommentStyles& styles);
/// Sum of the weights 1, 2, 4 of the multi-line styles that are on (0..7).
int MultipleLineCommentBits(const CommentStyles& styles);
/// Sets every single-line flag from its bit; higher bits are ignored.
void SetSingleLineCommentBits(CommentStyles& styles, int bits);
void SetMultipleLineCommentBits(CommentStyles& styles, int bits);

/// What follows a chapter page's first section when the page has two items
/// or more.
enum class ChapterOverview { Summary, Contents, None };

/// The stored form of ChapterOverview: "0", "1" or "2"; anything else reads as None.
ChapterOverview ChapterOverviewFromStored(const QString& stored);
QString StoredChapterOverview(ChapterOverview overview);

/// The presentation settings of the open project, or of single-file mode when no
/// project is open. Field names are the project file's element names (but for
/// Overview and comments); the initial values are the defaults. How each is stored, reset and edited is its
/// row in `kSettingTable` (setting_table.h).
struct Settings {
    bool Title = true;
    bool Links = true;
    bool Api = true;
    QString Style = QStringLiteral("standard_babyblue");
    ChapterOverview Overview = ChapterOverview::Contents;
    bool IncludeSourceLocation = false;
    bool IncludeLastGenerated = false;
    bool UseChapterTitleInIndex = false;
    bool IncludeOnlyDocumentedFiles = true;
    bool GenerateHtmlHelpFiles = false;
    bool Collapsible = false;
    bool EmbedStyle = false;
    bool SortSections = false;
    bool SortFilenames = false;
    bool IncludeProjectTitle = false;
    bool BoldTitles = true;
    /// The book gets a search page; off for project files that do not say.
    bool IncludeSearch = false;
    /// The book's layout: Modern (one page per chapter with its own tree,
    /// UTF-8) when on, else the framed book; absent from older files, so off.
    bool ModernLayout = false;
    QString IndexTitle;
    QString IndexText;  // may hold line breaks; plain or HTML form
    QString Copyright;  // may hold line breaks; plain or HTML form
    QString HomeChapter;
    QString RelDestPath;
    QString TextFilter = QStringLiteral("*.*");
    QString ComboFilter = QStringLiteral("*.*");
    CommentStyles comments;

    bool operator==(const Settings&) const = default;
};

/// Plain form -> HTML form: "(c)" and "(C)" become "&#169;", CR LF becomes "<br>".
QString HtmlFormOf(const QString& plain);
/// HTML form -> plain form: "&#169;" becomes "(c)", "<br>" becomes CR LF.
QString PlainFormOf(const QString& html);

}  // namespace tessarel
