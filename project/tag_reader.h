#pragma once

#include <QString>
#include <QStringList>

namespace tessarel {

class FileProgress;
class UserInterface;

/// The text of the first occurrence of `name`, blanks trimmed; "" when the
/// element or its closing tag is missing. Tags are matched case-sensitively.
QString ReadSingleTag(const QString& source, const QString& name);

/// The program's own reader of its XML files: no attributes, nesting, entities
/// or comments. For one element name at a time it counts the opening and closing
/// tags, refuses the text when the counts differ, and collects the text between
/// each opening tag and the closing tag that follows it, untouched.
class TagReader {
public:
    enum class Form {
        /// The project file: progress for more than 30 occurrences and a
        /// plain mismatch message.
        Project,
        /// Any other file: the mismatch message carries the exclamation icon.
        Plain,
    };

    /// `progress`, when given, watches a long read of the project file.
    TagReader(UserInterface& ui, Form form, FileProgress* progress = nullptr);

    /// Sets the text to read; nothing else changes.
    void setSource(const QString& text);
    /// Collects every occurrence of the element `name`. An empty source only
    /// sets the tags. When the tags do not open and close properly the user is
    /// told, the element counts as absent and false is returned.
    bool read(const QString& name);

    int count() const { return static_cast<int>(contents_.size()); }
    QString firstContent() const { return content(0); }
    /// The content of occurrence `index`, or "Out of Range" as if it were content.
    QString content(int index) const;

    /// ReadSingleTag on this reader's source; count and contents stay as they are.
    QString readSingleTag(const QString& name) const;

    QString openingTag() const { return openingTag_; }
    QString closingTag() const { return closingTag_; }

private:
    bool collect();
    void refuse();

    UserInterface& ui_;
    Form form_;
    FileProgress* progress_;
    QString source_;
    QString openingTag_;
    QString closingTag_;
    QStringList contents_;
};

}  // namespace tessarel
