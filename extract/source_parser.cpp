#include "extract/source_parser.h"

#include "extract/block_formatters.h"
#include "extract/blocked_passes.h"
#include "extract/comment_scanner.h"
#include "extract/cross_references.h"
#include "extract/declarations.h"
#include "extract/document_model.h"
#include "extract/emphasis.h"
#include "extract/inline_tags.h"
#include "extract/keyword_parser.h"
#include "extract/markers.h"
#include "extract/pass_context.h"
#include "extract/protection_passes.h"
#include "extract/text_search.h"
#include "support/memory_setup.h"
#include "support/paths.h"
#include "support/string_functions.h"
#include "support/text_file.h"
#include "support/user_interface.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace tessarel {

namespace {

/// Every "@/t" becomes three spaces, in place: spaces cannot form a new one.
void BlankCloseMarkers(QString& text) {
    qsizetype at = FindText(text, kTextCloseMarker);
    if (at < 0) {
        return;
    }
    char16_t* w = reinterpret_cast<char16_t*>(text.data());
    for (; at >= 0; at = FindText(text, kTextCloseMarker, at + 3)) {
        std::fill(w + at, w + at + 3, u' ');
    }
}

/// Gives the working text's pages back as the section loop leaves them behind:
/// the sections' texts then take their place instead of adding to them.
class SourceRelease {
public:
    SourceRelease(const QString& text, const SectionSpans& spans)
        : chars_(Chars(text)),
          released_(0),
          active_(text.isDetached() && static_cast<size_t>(text.size()) * sizeof(char16_t) >= kReleasedTextBytes) {
        if (!active_) {
            return;
        }
        // neededFrom_[i]: where the first span of sections i and on starts.
        const size_t count = spans.firstRange.empty() ? 0 : spans.firstRange.size() - 1;
        neededFrom_.assign(count + 1, text.size());
        for (size_t i = count; i-- > 0;) {
            qsizetype first = neededFrom_[i + 1];
            for (size_t r = spans.firstRange[i]; r < spans.firstRange[i + 1]; ++r) {
                first = std::min(first, spans.ranges[r].first);
            }
            neededFrom_[i] = first;
        }
    }

    /// Section i has its text: what only sections up to it read can go.
    void passed(int i) {
        if (!active_) {
            return;
        }
        const qsizetype needed = neededFrom_[static_cast<size_t>(i) + 1];
        if (needed - released_ >= kStep) {
            ReleasePages(chars_ + released_, static_cast<size_t>(needed - released_) * sizeof(char16_t));
            released_ = needed;
        }
    }

private:
    /// Characters given back at once.
    static constexpr qsizetype kStep = qsizetype{1} << 20;

    const char16_t* chars_;
    qsizetype released_;
    bool active_;
    std::vector<qsizetype> neededFrom_;
};

/// From this length on a section's text is not copied out of the working buffer.
constexpr qsizetype kLongSectionText = qsizetype{1} << 16;

/// The part of the progress maximum that does not depend on the comment
/// styles. It stands above the steps the passes every parse runs take, so
/// the bar of a parse stops short of its end; builds have always shown that.
constexpr int kFixedProgressSteps = 20;

/// One thread's working buffers for the sections' texts.
struct SectionBuffers {
    PassContext context;
    QString working;
    SectionLinker::Buffers links;

    SectionBuffers() { working.reserve(4096); }
};

/// Links and formats one section's text out of the working text. Sections
/// share nothing they write, and the linker and the working text are only
/// read, so sections may be formatted on several threads at once.
struct SectionFormat {
    DocumentModel& doc;
    const SectionSpans& spans;
    const std::vector<bool>& withoutText;
    const SectionLinker& linker;

    void run(int i, SectionBuffers& buffers) const {
        SectionRecord& section = doc.section(i);
        QString& working = buffers.working;
        working.resize(0);
        if (!withoutText[static_cast<size_t>(i)]) {
            spans.appendText(working, doc.SourceText, i);
        }
        linker.link(working, i, buffers.links);
        FormatSectionText(working, &buffers.context);
        RestoreWebAddresses(working, &buffers.context);
        BlankCloseMarkers(working);
        if (working.size() < kLongSectionText) {
            section.Text = QStringView(working).toString();
        } else {
            // A long text keeps the working buffer itself, cut to its size, rather
            // than a copy beside it.
            section.Text = std::move(working);
            section.Text.squeeze();
            working = QString();
            working.reserve(4096);
        }
        BlankCloseMarkers(section.Name);
        BlankCloseMarkers(section.Declaration);
    }
};

/// Sections handed out at once to a thread: enough text to outweigh the hand-out.
constexpr int kSectionsPerChunk = 128;

/// Formats the sections on this thread and one more, taking chunks of them in
/// order. Each section's text depends on that section alone, so the result is
/// the same as one thread's. The working text is given back only behind the
/// chunks that are all done.
void FormatSectionsOnTwoThreads(const SectionFormat& format, SourceRelease& release) {
    const int count = format.doc.count();
    const int chunks = (count + kSectionsPerChunk - 1) / kSectionsPerChunk;
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    std::mutex mutex;
    std::vector<bool> done(static_cast<size_t>(chunks), false);  // guarded by mutex
    int doneBefore = 0;                                          // guarded by mutex: chunks all done before it
    std::exception_ptr errors[2];

    const auto work = [&](std::exception_ptr& error) {
        try {
            PrepareThreadHeapForLargeTexts();
            SectionBuffers buffers;
            for (int c = next++; c < chunks && !failed; c = next++) {
                const int end = std::min(count, (c + 1) * kSectionsPerChunk);
                for (int i = c * kSectionsPerChunk; i < end; ++i) {
                    format.run(i, buffers);
                }
                const std::lock_guard<std::mutex> lock(mutex);
                done[static_cast<size_t>(c)] = true;
                const int before = doneBefore;
                while (doneBefore < chunks && done[static_cast<size_t>(doneBefore)]) {
                    ++doneBefore;
                }
                if (doneBefore != before) {
                    release.passed(std::min(count, doneBefore * kSectionsPerChunk) - 1);
                }
            }
        } catch (...) {
            error = std::current_exception();
            failed = true;
        }
    };
    {
        std::optional<std::jthread> helper;
        try {
            helper.emplace(work, std::ref(errors[1]));
        } catch (const std::system_error&) {
            // No thread to be had: this one takes every chunk.
        }
        work(errors[0]);
    }
    for (const std::exception_ptr& error : errors) {
        if (error) {
            std::rethrow_exception(error);
        }
    }
}
}  // namespace

int ParseProgressMaximum(const CommentStyles& styles) {
    return kFixedProgressSteps + StyleProgressSteps(styles) + EmphasisHidingSteps(styles);
}

bool ParseSourceFile(UserInterface& ui, DocumentModel& doc, const QString& path, const ParseOptions& options) {
    QByteArray bytes;
    ReadFileBytes(path, bytes);
    return ParseSourceFile(ui, doc, path, std::move(bytes), options);
}

bool ParseSourceFile(UserInterface& ui, DocumentModel& doc, const QString& path, QByteArray bytes,
                     const ParseOptions& options) {
    doc.SourceText.clear();
    doc.SourceTextLength = 0;
    const CommentStyles& styles = options.comments;

    ui.resetProgress();
    ui.setProgressMaximum(ParseProgressMaximum(styles));

    doc.SourceFolder = FolderOf(path);
    doc.SourceFileName = FileNameOf(doc.SourceFilePath);

    PassContext context;
    // The text is decoded straight into the first of the two whole-text
    // buffers, behind the line ends that open it. Both buffers get room for
    // the text's growth through all the passes at once: a page costs only
    // when first written, while a buffer outgrown halfway through would be
    // written afresh. A character takes at least one byte of the file. The
    // spare comes first, right after the bytes: where the passes end in the
    // other buffer (as in a source with literal blocks, web addresses and mail
    // tags), the spare freed after them joins the bytes' free block, and the
    // section texts fault it in by huge pages rather than split pages of 4 KB
    // (26,000 faults against 38,000 in a warm 64 MB parse).
    QString text;
    const qsizetype room = bytes.size() + bytes.size() / 2 + 1024;
    context.reserve(room);
    text.reserve(room);
    text += kCrLf;
    text += kCrLf;
    // Files with bare line feeds read as CR LF files, widened as decoded.
    AppendDecodedLines(text, bytes);
    // The bytes' memory stays in the heap when freed; its pages need not
    // stay beside the two text buffers.
    if (static_cast<size_t>(bytes.size()) >= kReleasedTextBytes && bytes.isDetached()) {
        ReleasePages(bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    bytes.clear();
    // Every line, the first and the last included, then starts after a CR LF
    // and ends before one; guard blanks follow the text.
    text += QString(10, u' ');
    text += kCrLf;
    text += kCrLf;
    text += QString(200, u' ');

    EncodeLiteralBlocks(text, &context);
    ui.advanceProgress();
    ProtectWebAddresses(text, &context);
    ui.advanceProgress();
    TranslateEmailTags(text, &context);
    ui.advanceProgress();
    RunBlockedPasses(text, styles, &context);
    for (int step = BlockedPassSteps(styles); step > 0; --step) {
        ui.advanceProgress();
    }
    context.release();
    // Closes a span left open at the end of the file.
    text += kCrLf;
    text += kTextCloseMarker;
    ui.advanceProgress();

    doc.SourceText = std::move(text);
    doc.SourceTextLength = doc.SourceText.size();

    // The texts are put together only when formatted, each in the working
    // buffer below: a first copy of them all would be written and freed again.
    SectionSpans spans;
    FillSections(doc, &spans);
    ui.advanceProgress();
    if (doc.count() == 0) {
        doc.SourceText = QString();
        return false;
    }
    // A name that ended its comment block leaves its section without text.
    std::vector<bool> withoutText(static_cast<size_t>(doc.count()), false);
    for (int i = 0; i < doc.count(); ++i) {
        withoutText[static_cast<size_t>(i)] = FindText(doc.section(i).Name, kTextCloseMarker) >= 0;
    }
    FindDeclarations(doc);
    ui.advanceProgress();

    // Each section is linked and formatted in working buffers that keep their
    // room from section to section, and then gets one exact copy. The link
    // targets are taken before any name is touched below, as linking all
    // texts first would see them.
    const SectionLinker linker(options.hyperlinks ? LinkTargets(doc) : std::vector<LinkTarget>());
    SourceRelease release(doc.SourceText, spans);
    const SectionFormat format{doc, spans, withoutText, linker};
    if (options.secondThread && doc.count() > kSectionsPerChunk) {
        FormatSectionsOnTwoThreads(format, release);
    } else {
        SectionBuffers buffers;
        for (int i = 0; i < doc.count(); ++i) {
            format.run(i, buffers);
            release.passed(i);
        }
    }
    doc.SourceText = QString();
    if (options.hyperlinks) {
        ui.advanceProgress();
    }
    ui.advanceProgress();
    return true;
}

}  // namespace tessarel
