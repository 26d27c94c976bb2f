#pragma once

#include <QString>

#include <vector>

namespace tessarel {

/// One section of a source file, fields in their fixed order.
struct SectionRecord {
    qsizetype Position = 0;  ///< where the section's tag starts in the working text (0-based)
    QString Name;
    QString Text;
    QString Declaration;
};

/// One source file on its way from raw text to a chapter page.
struct DocumentModel {
    /// The working text while a parse runs; empty once the sections hold
    /// their texts (the parse gives its memory back as it goes).
    QString SourceText;
    qsizetype SourceTextLength = 0;  ///< the working text's length
    QString SourceFilePath;          ///< set by the caller before a parse
    QString SourceFolder;            ///< up to and including the last separator
    QString SourceFileName;
    /// In the file's order; the first is the chapter's own (its name is the title).
    std::vector<SectionRecord> Sections;

    int count() const { return static_cast<int>(Sections.size()); }
    SectionRecord& section(int i) { return Sections[static_cast<size_t>(i)]; }
    const SectionRecord& section(int i) const { return Sections[static_cast<size_t>(i)]; }
    /// Empties the source state (what closing a project or file does).
    void clearSource() {
        SourceText.clear();
        SourceTextLength = 0;
        SourceFilePath.clear();
        SourceFolder.clear();
        SourceFileName.clear();
    }
};

}  // namespace tessarel
