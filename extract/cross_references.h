#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace tessarel {

struct DocumentModel;

/// One section that other sections may link to.
struct LinkTarget {
    int section = 0;  ///< the target's index in DocumentModel::Sections; its own text is not linked
    QString name;
};

/// The sections after the first with a non-empty Name, in order.
std::vector<LinkTarget> LinkTargets(const DocumentModel& doc);

/// Links every whole-word mention of a target's name in a text (section
/// `section`) to that target: "Name", "Name.", "Name,", "Name;", "Name(",
/// "(Name)", "(Name).", "(Name)," and "(Name);" become the same with
/// "@goto[Name]" in place of the name. Targets are applied in order, each
/// pattern over the delimiter pairs of the whole-word replacement, so an
/// earlier target's link hides a later name inside it. The look-up tables are
/// built once for many texts; linking only reads them, so threads may share
/// a linker, each with buffers of its own.
class SectionLinker {
public:
    /// One thread's working buffers, kept from text to text.
    class Buffers {
    public:
        Buffers();
        ~Buffers();
        Buffers(const Buffers&) = delete;
        Buffers& operator=(const Buffers&) = delete;

    private:
        friend class SectionLinker;
        struct Scratch;
        std::unique_ptr<Scratch> scratch_;
    };

    explicit SectionLinker(std::vector<LinkTarget> targets);
    ~SectionLinker();
    SectionLinker(const SectionLinker&) = delete;
    SectionLinker& operator=(const SectionLinker&) = delete;
    void link(QString& text, int section, Buffers& buffers) const;

private:
    struct Tables;
    std::unique_ptr<Tables> tables_;
};

}  // namespace tessarel
