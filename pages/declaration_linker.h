#pragma once

#include "extract/document_model.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <set>
#include <vector>

namespace tessarel {

/// Links the names of other sections (2..count) in a declaration box escaped by
/// EscapeSourceCode, as a whole-word replacement per section in section order.
/// Replacing every name in every declaration would be quadratic in the number
/// of sections; a name can only match whole where it is a word of the text, so
/// only the names among the declaration's words, and the names that hold word
/// breaks and occur in the text, are tried.
class DeclarationLinker {
public:
    DeclarationLinker(const std::vector<SectionRecord>& sections, int count);
    void link(QString& declaration, int self) const;

private:
    static bool IsWordBreak(QChar c);
    void AddCandidates(QStringView text, int after, std::set<int>& pending) const;
    void AddSpanning(QStringView text, int after, std::set<int>& pending) const;
    /// The next section after `after` that bears the name first borne by `first`; -1 when none.
    int NextOfName(int first, int after) const;

    void BuildSpanningTrie(const std::vector<int>& spanning);
    void AddTrieEdge(int node, char16_t c, int child);
    /// The node reached from `node` by `c`; 0 (the root) when there is none.
    int TrieChild(int node, char16_t c) const;

    struct TrieEdge {
        quint64 key = 0;
        int child = 0;  ///< 0: a free slot (the root is nobody's child)
    };

    const std::vector<SectionRecord>& sections_;
    std::vector<QString> words_;      ///< by section: its name as the escaped declaration shows it
    QHash<QStringView, int> byWord_;  ///< one-word names (views into words_): the first section bearing each
    std::vector<int> firstOfName_;    ///< by section: the first section of the same name
    std::vector<int> members_;        ///< every named section, grouped by name, in order within a group
    std::vector<int> groupBegin_;     ///< by first section: where its group starts in members_
    std::vector<int> groupEnd_;       ///< by first section: where its group ends in members_
    // The names with word breaks, as a trie in flat storage: a node per distinct
    // prefix, its children in one open-addressing table keyed by (node, character).
    std::vector<int> trieName_;  ///< by node: the first section of the name ending there, or -1
    std::vector<TrieEdge> trieEdges_;
    int trieShift_ = 64;
};

}  // namespace tessarel
