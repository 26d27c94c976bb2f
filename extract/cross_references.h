#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace tessarel {

struct DocumentModel;
class Yielder;

/// One section that other sections may link to.
struct LinkTarget {
    int section = 0;  ///< the target's section number; its own text is not linked
    QString name;
};

/// Links every whole-word mention of a target's name in `text` (section
/// `section`) to that target: "Name", "Name.", "Name,", "Name;", "Name(",
/// "(Name)", "(Name).", "(Name)," and "(Name);" become the same with
/// "@goto[Name]" in place of the name. Targets are applied in order, each
/// pattern over the delimiter pairs of the whole-word replacement, so an
/// earlier target's link hides a later name inside it.
void LinkSectionNames(QString& text, int section, const std::vector<LinkTarget>& targets);

/// Sections 2..SectionCount with a non-empty Name, in order.
std::vector<LinkTarget> LinkTargets(const DocumentModel& doc);

/// LinkSectionNames for many texts, its look-up tables built once.
class SectionLinker {
public:
    explicit SectionLinker(std::vector<LinkTarget> targets);
    ~SectionLinker();
    SectionLinker(const SectionLinker&) = delete;
    SectionLinker& operator=(const SectionLinker&) = delete;
    void link(QString& text, int section) const;

private:
    struct Tables;
    std::unique_ptr<Tables> tables_;
};

/// Links the sections' texts to each other (the first section is never a target).
void ResolveCrossReferences(DocumentModel& doc, Yielder* yielder = nullptr);

}  // namespace tessarel
