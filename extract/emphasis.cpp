#include "extract/emphasis.h"

#include "extract/markers.h"
#include "extract/pass_context.h"
#include "extract/text_search.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

#include <array>
#include <vector>

namespace tessarel {

// The comment delimiters that contain the mark ("(*" and "*)" for bold, "/*"
// and "*/" for italic) are hidden during the pass: as if each were replaced by
// a placeholder of neutral characters ("<[[[!^^++]]]>", "<[[[!^^--]]]>") and
// put back afterwards. The walk reads a hidden delimiter as two neutral
// characters instead, which moves the states exactly as the placeholder would,
// so the text is not copied four times to hide and restore them.

namespace {

constexpr char16_t kNeutral = u'x';

/// Where the walk stands: looking for an opening mark, right after one,
/// within the marked text, or right after a closing mark.
enum class EmphasisWalk { Outside, AfterOpen, Inside, AfterClose };

inline bool EndsEmphasis(char16_t c) {
    switch (c) {
    case u'\r':
    case u' ':
    case u'\t':
    case u':':
    case u';':
    case u'.':
    case u')':
    case u',':
        return true;
    default:
        return false;
    }
}

/// Where the delimiters would be replaced: every opener left to right, then
/// every closer outside them. Sorted starts; each covers two characters.
std::vector<qsizetype> HiddenDelimiters(const QString& text, const QString& opener, const QString& closer) {
    std::vector<qsizetype> hidden;
    if (!opener.isEmpty()) {
        for (const auto& place : OpenersThenClosers(text, opener, closer)) {
            hidden.push_back(place.first);
        }
    }
    return hidden;
}

void Emphasize(QString& text, QChar mark, const QString& openTag, const QString& closeTag, const QString& opener,
               const QString& closer, PassContext* context) {
    const char16_t m = mark.unicode();
    const qsizetype n = text.size();
    const char16_t* s = QStringView(text).utf16();
    const QStringView view(s, n);
    const std::vector<qsizetype> hidden = HiddenDelimiters(text, opener, closer);
    size_t nextHidden = 0;
    const auto at = [&](qsizetype i) -> char16_t {
        while (nextHidden < hidden.size() && hidden[nextHidden] + 1 < i) {
            ++nextHidden;
        }
        const bool isHidden = nextHidden < hidden.size() && hidden[nextHidden] <= i;
        return isHidden ? kNeutral : s[i];
    };

    TextRewriter out(text, context);
    qsizetype open = 0;
    qsizetype close = 0;
    EmphasisWalk state = EmphasisWalk::Outside;
    for (qsizetype i = 0; i < n; ++i) {
        if (state == EmphasisWalk::Outside) {
            // Outside, only a mark can lead anywhere. It opens when an odd
            // number of blanks and line feeds stand right before it (since i):
            // each of them turns the walk between ready to open and not.
            const qsizetype p = FindChar(s, n, i, m);
            if (p >= n) {
                break;
            }
            if (at(p) != m) {
                i = p;  // part of a hidden delimiter: still outside after it
                continue;
            }
            qsizetype run = 0;
            while (p - run - 1 >= i && (IsBlank(s[p - run - 1]) || s[p - run - 1] == u'\n')) {
                ++run;
            }
            if (run % 2 == 1) {
                open = p;
                state = EmphasisWalk::AfterOpen;
            }
            i = p;
            continue;
        }
        const char16_t c = at(i);
        switch (state) {
        case EmphasisWalk::Outside:
            break;
        case EmphasisWalk::AfterOpen:
            state = (c != m && !IsBlank(c) && c != u'\r' && c != u'\n') ? EmphasisWalk::Inside : EmphasisWalk::Outside;
            break;
        case EmphasisWalk::Inside:
            if (c == u'\r') {
                state = EmphasisWalk::Outside;
            } else if (c == m) {
                close = i;
                state = EmphasisWalk::AfterClose;
            }
            break;
        case EmphasisWalk::AfterClose:
            if (EndsEmphasis(c)) {
                QString& replaced = out.replace(open, close + 1);
                replaced.append(openTag);
                replaced.append(TrimmedSpaces(QStringView(s + open + 1, close - open - 1)));
                replaced.append(closeTag);
                state = EmphasisWalk::Outside;
                // The walk goes on with the character after the closing tag.
                --i;
            } else {
                open = close;
                state = EmphasisWalk::AfterOpen;
            }
            break;
        }
    }
    const bool restore = !opener.isEmpty() && view.contains(QStringView(kDelimiterOpenPlaceholder).first(7));
    out.finish(text);
    if (restore) {
        // Placeholders written in the source come back as delimiters, as
        // putting the hidden ones back would turn them.
        ReplaceAll(text, kDelimiterOpenPlaceholder, opener);
        ReplaceAll(text, kDelimiterClosePlaceholder, closer);
    }
}

}  // namespace

void FormatBold(QString& text, bool hideParenthesisComments, PassContext* context) {
    const QString opener = hideParenthesisComments ? QStringLiteral("(*") : QString();
    Emphasize(text, u'*', QStringLiteral("<b>"), QStringLiteral("</b>"), opener, QStringLiteral("*)"), context);
}

void FormatItalic(QString& text, bool hideSlashComments, PassContext* context) {
    const QString opener = hideSlashComments ? QStringLiteral("/*") : QString();
    Emphasize(text, u'/', QStringLiteral("<i>"), QStringLiteral("</i>"), opener, QStringLiteral("*/"), context);
}

void FormatUnderline(QString& text, PassContext* context) {
    Emphasize(text, u'_', QStringLiteral("<u>"), QStringLiteral("</u>"), QString(), QString(), context);
}

namespace {

/// One emphasis pass, and whether the styles make it hide comment delimiters:
/// the hiding takes a progress step of its own.
struct EmphasisPass {
    void (*run)(QString&, const CommentStyles&, PassContext*);
    bool (*hides)(const CommentStyles&);
};

constexpr std::array kEmphasisPasses{
    EmphasisPass{[](QString& t, const CommentStyles& s, PassContext* c) { FormatBold(t, s.parenStar, c); },
                 [](const CommentStyles& s) { return s.parenStar; }},
    EmphasisPass{[](QString& t, const CommentStyles& s, PassContext* c) { FormatItalic(t, s.slashStar, c); },
                 [](const CommentStyles& s) { return s.slashStar; }},
    EmphasisPass{[](QString& t, const CommentStyles&, PassContext* c) { FormatUnderline(t, c); },
                 [](const CommentStyles&) { return false; }},
};

}  // namespace

void FormatEmphasis(QString& text, const CommentStyles& styles, UserInterface& ui, PassContext* context) {
    for (const EmphasisPass& pass : kEmphasisPasses) {
        pass.run(text, styles, context);
        ui.advanceProgress();
        if (pass.hides(styles)) {
            ui.advanceProgress();
        }
    }
}

void FormatEmphasis(QString& text, const CommentStyles& styles, PassContext* context) {
    for (const EmphasisPass& pass : kEmphasisPasses) {
        pass.run(text, styles, context);
    }
}

int EmphasisSteps(const CommentStyles& styles) {
    return static_cast<int>(kEmphasisPasses.size()) + EmphasisHidingSteps(styles);
}

int EmphasisHidingSteps(const CommentStyles& styles) {
    int steps = 0;
    for (const EmphasisPass& pass : kEmphasisPasses) {
        steps += pass.hides(styles) ? 1 : 0;
    }
    return steps;
}

}  // namespace tessarel
