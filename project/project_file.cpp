#include "project/project_file.h"

#include "project/project_model.h"
#include "project/tag_reader.h"
#include "project/text_values.h"
#include "support/file_progress.h"
#include "support/file_read.h"
#include "support/paths.h"
#include "support/setting_table.h"
#include "support/string_functions.h"
#include "support/text_file.h"
#include "support/user_interface.h"

#include <QDir>

#include <algorithm>
#include <array>
#include <optional>
#include <variant>

namespace tessarel {

namespace {

const QString kChapterCount = QStringLiteral("NumberOfChapters");

QString TruthText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

/// A setting as the project file holds it.
QString StoredText(const SettingRow& row, const Settings& s) {
    return std::visit(Overloaded{
                          [&](bool Settings::*flag) {
                              return row.onWord != nullptr && s.*flag ? QString::fromUtf16(row.onWord)
                                                                      : TruthText(s.*flag);
                          },
                          [&](QString Settings::*text) { return s.*text; },
                          [&](ChapterOverview Settings::*overview) { return StoredChapterOverview(s.*overview); },
                          [&](CommentLines lines) { return QString::number(CommentBits(s.comments, lines)); },
                      },
                      row.field);
}

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

QString ProjectXml(ProjectModel& project, FileProgress* progress) {
    const int chapters = project.chapterCount();
    if (progress != nullptr) {
        progress->show(QString(), QString(), chapters - 1 > 0 ? chapters - 1 : 1);
    }

    Settings& s = project.settings;
    ProjectLines xml(2048 + s.IndexText.size() + s.Copyright.size() + qsizetype{chapters} * 64);
    xml.line(QStringLiteral("<?xml version=\"1.0\"?>"));
    xml.open(QStringLiteral("TessarelProject"));
    xml.value(QStringLiteral("FileVer"), QStringLiteral("1.0"), false);
    // The table is in the file's order; a group opens before its first row.
    std::optional<FileGroup> group;
    for (const SettingRow& row : kSettingTable) {
        if (row.group != group) {
            if (group && *group != FileGroup::Loose) {
                xml.close(FileGroupName(*group));
            }
            if (row.group != FileGroup::Loose) {
                xml.open(FileGroupName(row.group));
            }
            group = row.group;
        }
        if (const auto* text = std::get_if<QString Settings::*>(&row.field); text && row.plainForm) {
            // After a build the model holds the HTML form (ApplyBuildToProject); the file keeps the plain one.
            s.*(*text) = PlainFormOf(s.*(*text));
        }
        if (const auto* flag = std::get_if<bool Settings::*>(&row.field);
            flag && row.inFile == InFile::WhenOn && !(s.*(*flag))) {
            continue;
        }
        xml.value(QString::fromUtf16(row.element), StoredText(row, s), row.group != FileGroup::Loose);
    }
    // The chapters close the last group.
    xml.value(kChapterCount, QString::number(chapters));
    for (int i = 0; i < chapters; ++i) {
        if (progress != nullptr) {
            progress->setValue(i);
        }
        xml.chapter(project.Chapters[static_cast<size_t>(i)]);
    }
    xml.close(FileGroupName(*group));
    xml.close(QStringLiteral("TessarelProject"));
    if (progress != nullptr) {
        progress->hide();
    }
    return xml.take();
}

bool SaveProject(UserInterface& ui, ProjectModel& project, const QString& path, FileProgress* progress) {
    if (!WriteTextFile(ui, path, ProjectXml(project, progress), FileEncoding::Utf8)) {
        return false;
    }
    // The file now lists only the counted chapters.
    project.UncountedChapters = 0;
    return true;
}

bool IsProjectModified(ProjectModel& project, FileProgress* progress) {
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
    return saved != ProjectXml(project, progress);
}

// ---- Reading -----------------------------------------------------------------

namespace {

const QString kFileErrorTitle = QStringLiteral("Project file error");
const QString kNotOpened = QStringLiteral("The project was not opened.");

/// Reads the elements of one project file and remembers why it was refused.
class ProjectFileReader {
public:
    ProjectFileReader(UserInterface& ui, const QString& text, FileProgress* progress)
        : ui_(ui), reader_(ui, TagReader::Form::Project, progress) {
        reader_.setSource(text);
    }

    /// One setting of the table, converted from its stored form; one that is
    /// absent is left as it is unless the table says otherwise.
    bool setting(const SettingRow& row, Settings& s) {
        static const Settings kDefaults;
        if (row.inFile == InFile::WhenOn || (row.inFile == InFile::GroupOrDefault && !groupPresent(row.group))) {
            CopySetting(row, kDefaults, s);
        }
        const QString name = QString::fromUtf16(row.element);
        return std::visit(Overloaded{
                              [&](bool Settings::*flag) {
                                  return row.onWord != nullptr ? word(name, row.onWord, s.*flag) : truth(name, s.*flag);
                              },
                              [&](QString Settings::*text) { return this->text(name, s.*text); },
                              [&](ChapterOverview Settings::*overview) { return this->overview(name, s.*overview); },
                              [&](CommentLines lines) {
                                  int bits = CommentBits(s.comments, lines);
                                  if (!number(name, bits)) {
                                      return false;
                                  }
                                  SetCommentBits(s.comments, lines, bits);
                                  return true;
                              },
                          },
                          row.field);
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

    bool chapterCount(int count) {
        if (count < 0) {
            return refuseValue(kChapterCount);
        }
        return count <= kMaxChapters || refuseTooMany();
    }

    /// Names and folders of the first `count` chapters. The chapter list must
    /// be whole, since a save would otherwise write a project with files missing.
    bool chapters(ProjectModel& project, int count) {
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
        // A count beyond the listed files counts only those listed: a chapter
        // without a name would stand for the project folder itself.
        const int counted = std::min(count, names);
        project.Chapters.clear();
        project.Chapters.reserve(static_cast<size_t>(counted));
        for (int k = 0; k < counted; ++k) {
            project.Chapters.push_back({found.at(k), reader_.content(k)});
        }
        project.UncountedChapters = names - counted;
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

    /// A flag stored as a word: on for `onWord`, off for "Frames" (the other
    /// layout), in any letter case; anything else refuses the file.
    bool word(const QString& name, const char16_t* onWord, bool& target) {
        QString content;
        const Found found = element(name, content);
        if (found != Found::Present) {
            return found == Found::Absent;
        }
        const QString trimmed = TrimSpaces(content);
        if (trimmed.compare(QString::fromUtf16(onWord), Qt::CaseInsensitive) == 0) {
            target = true;
            return true;
        }
        if (trimmed.compare(u"Frames", Qt::CaseInsensitive) == 0) {
            target = false;
            return true;
        }
        return refuseValue(name);
    }

    /// Whether a group occurs at all; looked up once, and only for that.
    bool groupPresent(FileGroup group) {
        std::optional<bool>& present = groupsPresent_[static_cast<size_t>(group)];
        if (!present) {
            reader_.read(FileGroupName(group));
            present = reader_.count() > 0;
        }
        return *present;
    }

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
            // Every element the reader looks up: the settings, the groups it
            // looks for, the chapter count and the chapters' names and folders.
            QStringList names;
            for (const SettingRow& row : kSettingTable) {
                names << QString::fromUtf16(row.element);
                if (row.inFile == InFile::GroupOrDefault && !names.contains(FileGroupName(row.group))) {
                    names << FileGroupName(row.group);
                }
            }
            names << kChapterCount << QStringLiteral("N") << QStringLiteral("R");
            QStringList tags;
            for (const QString& name : names) {
                tags << u'<' + name + u'>' << QStringLiteral("</") + name + u'>';
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
    std::array<std::optional<bool>, kFileGroupCount> groupsPresent_;
};

/// The settings, and the chapter count into `count` (left as it is when absent).
bool ReadProjectSettings(ProjectFileReader& r, ProjectModel& project, int& count) {
    for (const SettingRow& row : kSettingTable) {
        if (!r.setting(row, project.settings)) {
            return false;
        }
    }
    return r.number(kChapterCount, count) && r.chapterCount(count);
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

LoadOutcome LoadProject(UserInterface& ui, ProjectModel& project, const QString& path, FileProgress* progress) {
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

    ProjectFileReader reader(ui, text, progress);
    // A file without a count keeps the open project's, as every absent element does.
    int count = loaded.chapterCount();
    if (!ReadProjectSettings(reader, loaded, count) || !reader.chapters(loaded, count) || !reader.valuesClean()) {
        reader.tell();
        return LoadOutcome::Refused;
    }
    project = std::move(loaded);
    return LoadOutcome::Loaded;
}

}  // namespace tessarel
