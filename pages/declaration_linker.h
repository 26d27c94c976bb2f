#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <set>
#include <vector>

namespace tessarel {

/// Links the names of other sections (1..count - 1; section 0 is the chapter's
/// own and never linked) in a declaration box escaped by
/// EscapeSourceCode, as a whole-word replacement per section in section order,
/// never inside a tag or the text of a link already made.
/// Replacing every name in every declaration would be quadratic in the number
/// of sections; a name can only match whole where it is a word of the text, so
/// only the names among the declaration's words, and the names that hold word
/// breaks and occur in the text, are tried.
class DeclarationLinker {
public:
    /// `names` by section index, as the page shows them; kept by reference.
    DeclarationLinker(const std::vector<QString>& names, int count);
    DeclarationLinker(const DeclarationLinker&) = delete;
    DeclarationLinker& operator=(const DeclarationLinker&) = delete;
    void link(QString& declaration, int self) const;

private:
    void build(int count);
    static bool isWordBreak(QChar c);
    void addCandidates(QStringView text, int after, std::set<int>& pending) const;
    void addSpanning(QStringView text, int after, std::set<int>& pending) const;
    /// The next section after `after` that bears the name first borne by `first`; -1 when none.
    int nextOfName(int first, int after) const;

    void buildSpanningTrie(const std::vector<int>& spanning);
    void insertSpanning(int first);
    int addTrieNode(int label, int from, int length);
    /// Sets the edge from `node` by `c` to `child`, adding it when there is none.
    void setTrieEdge(int node, char16_t c, int child);
    /// The node reached from `node` by an edge starting with `c`; 0 (the root) when there is none.
    int trieChild(int node, char16_t c) const;

    struct TrieEdge {
        quint64 key = 0;
        int child = 0;  ///< 0: a free slot (the root is nobody's child)
    };
    /// A node of the trie of the names with word breaks, compressed: the edge
    /// into it is a run of one name's characters, so there are at most two
    /// nodes per name however long the names are.
    struct TrieNode {
        int name = -1;   ///< the first section of the name ending here; -1 if none
        int label = 0;   ///< the section whose name's characters label the edge into it
        int from = 0;    ///< where the label starts in that name
        int length = 0;  ///< how many characters it has
    };

    const std::vector<QString>& names_;
    std::vector<QString> words_;      ///< by section: its name as the escaped declaration shows it
    QHash<QStringView, int> byWord_;  ///< one-word names (views into words_): the first section bearing each
    std::vector<int> firstOfName_;    ///< by section: the first section of the same name
    std::vector<int> members_;        ///< every named section, grouped by name, in order within a group
    std::vector<int> groupBegin_;     ///< by first section: where its group starts in members_
    std::vector<int> groupEnd_;       ///< by first section: where its group ends in members_
    // The names with word breaks, as a compressed trie in flat storage: its
    // edges in one open-addressing table keyed by (node, first character).
    std::vector<TrieNode> trieNodes_;
    std::vector<TrieEdge> trieEdges_;
    int trieShift_ = 64;
};

}  // namespace tessarel
