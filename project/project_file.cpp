#include "project/project_file.h"

#include "project/project_model.h"
#include "project/tag_reader.h"
#include "project/text_values.h"
#include "support/file_read.h"
#include "support/paths.h"
#include "support/string_functions.h"
#include "support/text_file.h"
#include "support/user_interface.h"

#include <QDir>

#include <algorithm>

namespace tessarel {

namespace {

/// The element that stores what heads a chapter page (Settings::Overview).
constexpr char kOverviewElement[] = "SumCon";
/// Written only when on, so project files from before it load and save unchanged.
constexpr char kSearchElement[] = "IncludeSearch";

QString TruthText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

/// Appends the project file's lines, each ending in CR LF.
class ProjectLines {
public:
    explicit ProjectLines(qsizetype expectedSize) { text_.reserve(expectedSize); }

    void line(const QString& content) {
        text_ += content;
        text_ += kCrLf;
    }
    void open(const QString& group) { line(u'<' + group + u'>'); }
    void close(const QString& group) { line(QStringLiteral("</") + group + u'>'); }
    void value(const QString& name, const QString& content, bool indented = true) {
        if (indented) {
            text_ += u' ';
        }
        text_ += u'<' + name + u'>';
        text_ += content;
        text_ += QStringLiteral("</") + name + u'>';
        text_ += kCrLf;
    }
    void value(const QString& name, bool content) { value(name, TruthText(content)); }
    void chapter(const Chapter& chapter) {
        text_ += u"<C><N>";
        text_ += chapter.Name;
        text_ += u"</N><R>";
        text_ += chapter.RelPath;
        text_ += u"</R></C>";
        text_ += kCrLf;
    }

    QString take() { return std::move(text_); }

private:
    QString text_;
};

}  // namespace

QString ProjectXml(UserInterface& ui, ProjectModel& project) {
    ui.yield();
    const int chapters = std::clamp(project.NumberOfChapters, 0, static_cast<int>(project.Chapters.size()));
    ui.showBusy(QString(), QString(), chapters - 1 > 0 ? chapters - 1 : 1);

    Settings& s = project.settings;
    ProjectLines xml(2048 + s.IndexText.size() + s.Copyright.size() + qsizetype{chapters} * 64);
    xml.line(QStringLiteral("<?xml version=\"1.0\"?>"));
    xml.open(QStringLiteral("TessarelProject"));
    xml.value(QStringLiteral("FileVer"), QStringLiteral("1.0"), false);
    xml.open(QStringLiteral("Interface"));
    xml.value(QStringLiteral("TextFilter"), s.TextFilter);
    xml.value(QStringLiteral("ComboFilter"), s.ComboFilter);
    xml.close(QStringLiteral("Interface"));
    xml.open(QStringLiteral("Settings"));
    xml.value(QStringLiteral("Title"), s.Title);
    xml.value(QStringLiteral("Links"), s.Links);
    xml.value(QStringLiteral("Api"), s.Api);
    xml.value(QStringLiteral("Style"), s.Style);
    xml.value(QLatin1String(kOverviewElement), StoredChapterOverview(s.Overview));
    xml.value(QStringLiteral("IncludeSourceLocation"), s.IncludeSourceLocation);
    xml.value(QStringLiteral("IncludeLastGenerated"), s.IncludeLastGenerated);
    xml.value(QStringLiteral("UseChapterTitleInIndex"), s.UseChapterTitleInIndex);
    xml.value(QStringLiteral("IncludeOnlyDocumentedFiles"), s.IncludeOnlyDocumentedFiles);
    xml.value(QStringLiteral("GenerateHtmlHelpFiles"), s.GenerateHtmlHelpFiles);
    xml.value(QStringLiteral("Collapsible"), s.Collapsible);
    xml.value(QStringLiteral("EmbedStyle"), s.EmbedStyle);
    xml.value(QStringLiteral("SortSections"), s.SortSections);
    xml.value(QStringLiteral("SortFilenames"), s.SortFilenames);
    xml.value(QStringLiteral("IncludeProjectTitle"), s.IncludeProjectTitle);
    xml.value(QStringLiteral("BoldTitles"), s.BoldTitles);
    if (s.IncludeSearch) {
        xml.value(QLatin1String(kSearchElement), true);
    }
    xml.close(QStringLiteral("Settings"));
    xml.open(QStringLiteral("Comments"));
    xml.value(QStringLiteral("SingleLineComments"), QString::number(SingleLineCommentBits(s.comments)));
    xml.value(QStringLiteral("MultipleLineComments"), QString::number(MultipleLineCommentBits(s.comments)));
    xml.close(QStringLiteral("Comments"));
    xml.value(QStringLiteral("RelDestPath"), s.RelDestPath, false);
    xml.open(QStringLiteral("Book"));
    xml.value(QStringLiteral("HomeChapter"), s.HomeChapter);
    xml.value(QStringLiteral("IndexTitle"), s.IndexTitle);
    // A build leaves both in their HTML form; the file keeps what the user typed.
    s.IndexText = PlainFormOf(s.IndexText);
    xml.value(QStringLiteral("IndexText"), s.IndexText);
    s.Copyright = PlainFormOf(s.Copyright);
    xml.value(QStringLiteral("Copyright"), s.Copyright);
    xml.value(QStringLiteral("NumberOfChapters"), QString::number(chapters));
    for (int i = 0; i < chapters; ++i) {
        ui.yield();
        ui.setBusyValue(i);
        xml.chapter(project.Chapters[static_cast<size_t>(i)]);
    }
    xml.close(QStringLiteral("Book"));
    xml.close(QStringLiteral("TessarelProject"));
    ui.yield();
    ui.hideBusy();
    return xml.take();
}

bool SaveProject(UserInterface& ui, ProjectModel& project, const QString& path) {
    if (!WriteTextFile(ui, path, ProjectXml(ui, project), FileEncoding::Utf8)) {
        return false;
    }
    // The file now lists only the counted chapters.
    project.UncountedChapters = 0;
    return true;
}

bool IsProjectModified(UserInterface& ui, ProjectModel& project) {
    if (!FileExists(project.ProjectPath)) {
        return false;
    }
    QString saved = ReadTextFile(project.ProjectPath);
    // Every save ends with a line end after the text; a file too short to hold
    // it was not written by a save.
    if (saved.size() < 2) {
        return true;
    }
    saved.chop(2);
    return saved != ProjectXml(ui, project);
}

// ---- Reading -----------------------------------------------------------------

namespace {

const QString kFileErrorTitle = QStringLiteral("Project file error");
const QString kNotOpened = QStringLiteral("The project was not opened.");

/// Reads the elements of one project file and remembers why it was refused.
class ProjectFileReader {
public:
    ProjectFileReader(UserInterface& ui, const QString& text) : ui_(ui), reader_(ui, TagReader::Form::Project) {
        reader_.setSource(text);
    }

    /// A text setting; left as it is when the element is absent.
    bool text(const QString& name, QString& target) {
        QString content;
        const Found found = element(name, content);
        if (found == Found::Present) {
            target = content;
        }
        return found != Found::Refused;
    }

    bool overview(const QString& name, ChapterOverview& target) {
        QString content;
        const Found found = element(name, content);
        if (found == Found::Present) {
            target = ChapterOverviewFromStored(content);
        }
        return found != Found::Refused;
    }

    bool truth(const QString& name, bool& target) {
        QString content;
        const Found found = element(name, content);
        if (found != Found::Present) {
            return found == Found::Absent;
        }
        const std::optional<bool> value = TruthValueOf(content);
        if (!value) {
            return refuseValue(name);
        }
        target = *value;
        return true;
    }

    bool number(const QString& name, int& target) {
        QString content;
        const Found found = element(name, content);
        if (found != Found::Present) {
            return found == Found::Absent;
        }
        const std::optional<int> value = Int16Of(content);
        if (!value) {
            return refuseValue(name);
        }
        target = *value;
        return true;
    }

    /// Whether the element occurs at all; a group is only looked up for that.
    bool present(const QString& name) {
        reader_.read(name);
        return reader_.count() > 0;
    }

    bool chapterCount(int count) {
        if (count < 0) {
            return refuseValue(QStringLiteral("NumberOfChapters"));
        }
        return count <= kMaxChapters || refuseTooMany();
    }

    /// Names and folders of the chapters. The chapter list must be whole, since
    /// a save would otherwise write a project with files missing.
    bool chapters(ProjectModel& project) {
        if (!reader_.read(QStringLiteral("N"))) {
            return refuseChapterList();
        }
        const int names = reader_.count();
        if (names > kMaxChapters) {
            return refuseTooMany();
        }
        QStringList found;
        found.reserve(names);
        for (int k = 0; k < names; ++k) {
            found.append(reader_.content(k));
            if (HoldsElementTag(found.back())) {
                return refuseChapterList();
            }
        }
        if (!reader_.read(QStringLiteral("R")) || reader_.count() != names) {
            return refuseChapterList();
        }
        for (int k = 0; k < names; ++k) {
            if (HoldsElementTag(reader_.content(k))) {
                return refuseChapterList();
            }
        }
        for (int k = 0; k < names; ++k) {
            Chapter& chapter = project.Chapters[static_cast<size_t>(k)];
            chapter.Name = found.at(k);
            chapter.RelPath = reader_.content(k);
        }
        // A count beyond the listed files would make the surplus slots stand for
        // the project folder itself.
        project.NumberOfChapters = std::min(project.NumberOfChapters, names);
        project.UncountedChapters = names - project.NumberOfChapters;
        return true;
    }

    /// Refuses a file in which a value holds an element's tags; checked last,
    /// so that a more precise reason found on the way is the one told.
    bool valuesClean() {
        if (heldTags_.isEmpty()) {
            return true;
        }
        return refuse(
            kFileErrorTitle,
            QStringLiteral("The value of <%1> in the project file contains the tags of an element.").arg(heldTags_) +
                kCrLf + kNotOpened);
    }

    void tell() { ui_.message(title_, text_, MessageIcon::Exclamation, MessageButtons::Ok); }

private:
    enum class Found { Absent, Present, Refused };

    bool refuse(const QString& title, const QString& message) {
        title_ = title;
        text_ = message;
        return false;
    }

    Found element(const QString& name, QString& content) {
        reader_.read(name);
        const int count = reader_.count();
        if (count == 0) {
            return Found::Absent;
        }
        if (count > 1) {
            // Values are stored unescaped, so a second occurrence means some value
            // holds this element's tags and neither can be trusted.
            refuse(kFileErrorTitle, QStringLiteral("The element <%1> occurs more than once in the project file; "
                                                   "a value may contain its tags.")
                                            .arg(name) +
                                        kCrLf + kNotOpened);
            return Found::Refused;
        }
        content = reader_.firstContent();
        if (heldTags_.isEmpty() && HoldsElementTag(content)) {
            heldTags_ = name;
        }
        return Found::Present;
    }

    /// The reader looks for tags ignoring case once it has counted them, so a
    /// value holding any element's tag, in any case, would be read back as part
    /// of that element after a save.
    static bool HoldsElementTag(const QString& content) {
        static const QStringList kTags = [] {
            QStringList tags;
            for (const char* name : {"Comments",
                                     "MultipleLineComments",
                                     "SingleLineComments",
                                     "BoldTitles",
                                     "Copyright",
                                     "HomeChapter",
                                     "IncludeProjectTitle",
                                     "SortFilenames",
                                     "SortSections",
                                     "EmbedStyle",
                                     "Collapsible",
                                     "GenerateHtmlHelpFiles",
                                     "IncludeOnlyDocumentedFiles",
                                     "UseChapterTitleInIndex",
                                     "NumberOfChapters",
                                     "RelDestPath",
                                     "IndexTitle",
                                     "IndexText",
                                     "TextFilter",
                                     "ComboFilter",
                                     "Title",
                                     "Links",
                                     "Api",
                                     "Style",
                                     "IncludeSourceLocation",
                                     "IncludeLastGenerated",
                                     kOverviewElement,
                                     kSearchElement,
                                     "N",
                                     "R"}) {
                tags << u'<' + QLatin1String(name) + u'>' << QStringLiteral("</") + QLatin1String(name) + u'>';
            }
            return tags;
        }();
        if (!content.contains(u'<')) {
            return false;
        }
        for (const QString& tag : kTags) {
            if (content.contains(tag, Qt::CaseInsensitive)) {
                return true;
            }
        }
        return false;
    }

    bool refuseValue(const QString& name) {
        return refuse(kFileErrorTitle,
                      QStringLiteral("The element <%1> of the project file does not hold a valid value.").arg(name) +
                          kCrLf + kNotOpened);
    }

    bool refuseTooMany() {
        return refuse(
            QStringLiteral("Invalid number of project files"),
            QStringLiteral("The project file lists more than %1 files.").arg(kMaxChapters) + kCrLf + kNotOpened);
    }

    bool refuseChapterList() {
        return refuse(kFileErrorTitle,
                      QStringLiteral("The list of files in the project file is damaged.") + kCrLf + kNotOpened);
    }

    UserInterface& ui_;
    TagReader reader_;
    QString title_;
    QString text_;
    QString heldTags_;  ///< the first element whose value holds tags
};

/// Unlike the other settings, an absent element means off: files written
/// before the setting existed are books without search.
bool ReadSearchSetting(ProjectFileReader& r, Settings& s) {
    s.IncludeSearch = false;
    return r.truth(QLatin1String(kSearchElement), s.IncludeSearch);
}

bool ReadProjectSettings(ProjectFileReader& r, ProjectModel& project) {
    Settings& s = project.settings;
    if (!r.present(QStringLiteral("Comments"))) {
        s.comments = CommentStyles{};
    }
    int multiLine = MultipleLineCommentBits(s.comments);
    if (!r.number(QStringLiteral("MultipleLineComments"), multiLine)) {
        return false;
    }
    SetMultipleLineCommentBits(s.comments, multiLine);
    int singleLine = SingleLineCommentBits(s.comments);
    if (!r.number(QStringLiteral("SingleLineComments"), singleLine)) {
        return false;
    }
    SetSingleLineCommentBits(s.comments, singleLine);

    return r.truth(QStringLiteral("BoldTitles"), s.BoldTitles) && r.text(QStringLiteral("Copyright"), s.Copyright) &&
           r.text(QStringLiteral("HomeChapter"), s.HomeChapter) &&
           r.truth(QStringLiteral("IncludeProjectTitle"), s.IncludeProjectTitle) &&
           r.truth(QStringLiteral("SortFilenames"), s.SortFilenames) &&
           r.truth(QStringLiteral("SortSections"), s.SortSections) &&
           r.truth(QStringLiteral("EmbedStyle"), s.EmbedStyle) &&
           r.truth(QStringLiteral("Collapsible"), s.Collapsible) &&
           r.truth(QStringLiteral("GenerateHtmlHelpFiles"), s.GenerateHtmlHelpFiles) &&
           r.truth(QStringLiteral("IncludeOnlyDocumentedFiles"), s.IncludeOnlyDocumentedFiles) &&
           r.truth(QStringLiteral("UseChapterTitleInIndex"), s.UseChapterTitleInIndex) &&
           r.number(QStringLiteral("NumberOfChapters"), project.NumberOfChapters) &&
           r.chapterCount(project.NumberOfChapters) && r.text(QStringLiteral("RelDestPath"), s.RelDestPath) &&
           r.text(QStringLiteral("IndexTitle"), s.IndexTitle) && r.text(QStringLiteral("IndexText"), s.IndexText) &&
           r.text(QStringLiteral("TextFilter"), s.TextFilter) && r.text(QStringLiteral("ComboFilter"), s.ComboFilter) &&
           r.truth(QStringLiteral("Title"), s.Title) && r.truth(QStringLiteral("Links"), s.Links) &&
           r.truth(QStringLiteral("Api"), s.Api) && r.text(QStringLiteral("Style"), s.Style) &&
           r.truth(QStringLiteral("IncludeSourceLocation"), s.IncludeSourceLocation) &&
           r.truth(QStringLiteral("IncludeLastGenerated"), s.IncludeLastGenerated) &&
           r.overview(QLatin1String(kOverviewElement), s.Overview) && ReadSearchSetting(r, s);
}

void SetProjectIdentity(ProjectModel& project, const QString& path) {
    project.ProjectPath = path;
    project.ProjectFolder = FolderOf(path);
    if (TrimSpaces(project.ProjectFolder).isEmpty()) {
        project.ProjectFolder = WithTrailingSeparator(QDir::toNativeSeparators(QDir::currentPath()));
        project.ProjectPath = project.ProjectFolder + path;
    }
    project.ProjectFileName = FileNameOf(path);
}

}  // namespace

LoadOutcome LoadProject(UserInterface& ui, ProjectModel& project, const QString& path) {
    // Everything is read into a copy, so a refused file leaves the open project
    // exactly as it was.
    ProjectModel loaded = project;
    SetProjectIdentity(loaded, path);
    if (!FileExists(loaded.ProjectPath)) {
        ui.message(QStringLiteral("Error"), QStringLiteral("Project file not found"), MessageIcon::None,
                   MessageButtons::Ok);
        return LoadOutcome::NotFound;
    }

    // A pipe or a device is refused at once rather than waited on or read without end.
    QByteArray bytes;
    const ReadResult read = ReadRegularFile(loaded.ProjectPath, bytes);
    if (!read.ok()) {
        ui.message(QStringLiteral("Error"),
                   QStringLiteral("Unable to read the project file:") + kCrLf + loaded.ProjectPath + kCrLf +
                       ReadFailureText(read),
                   MessageIcon::Exclamation, MessageButtons::Ok);
        return LoadOutcome::Refused;
    }
    QString text = DecodeText(bytes);
    bytes.clear();

    if (!text.contains(u"<TessarelProject>") || !text.contains(u"</TessarelProject>")) {
        ui.message(kFileErrorTitle, QStringLiteral("This file is not a Tessarel project:") + kCrLf + loaded.ProjectPath,
                   MessageIcon::Exclamation, MessageButtons::Ok);
        return LoadOutcome::Refused;
    }

    ProjectFileReader reader(ui, text);
    if (!ReadProjectSettings(reader, loaded) || !reader.chapters(loaded) || !reader.valuesClean()) {
        reader.tell();
        return LoadOutcome::Refused;
    }
    project = std::move(loaded);
    return LoadOutcome::Loaded;
}

}  // namespace tessarel
