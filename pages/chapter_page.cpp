#include "pages/chapter_page.h"

#include "extract/document_model.h"
#include "pages/declaration_linker.h"
#include "pages/modern_page.h"
#include "pages/page_frame.h"
#include "pages/tag_translation.h"
#include "support/environment.h"
#include "support/html_text.h"
#include "support/memory_setup.h"
#include "support/paths.h"
#include "support/settings.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

#include <QFileInfo>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype kSummaryLimit = 300;

/// The sections' names and declarations as the page shows them, by their
/// index in the model's sections.
struct PageHeads {
    std::vector<QString> names;
    std::vector<QString> declarations;
    const QString& name(int i) const { return names[static_cast<size_t>(i)]; }
    const QString& declaration(int i) const { return declarations[static_cast<size_t>(i)]; }
};

/// The line `<a ATTRIBUTES HREF="#NAME">NAME</a>`, written straight into the page.
void AddSameNameLink(PageBuffer& page, QStringView attributes, QStringView name) {
    QString& text = page.PageText;
    text += u"<a ";
    text += attributes;
    text += u"HREF=\"#";
    AppendQuotedHtmlAttribute(text, name);
    text += u"\">";
    text += name;
    text += u"</a>\r\n";
}

/// The line `<a NAME="NAME"></a>`, with every space of the name made `replacement`.
void AddAnchor(PageBuffer& page, QStringView name, char16_t replacement) {
    QString& text = page.PageText;
    text += u"<a NAME=\"";
    const qsizetype start = text.size();
    AppendQuotedHtmlAttribute(text, name);
    if (replacement != u' ') {
        std::replace(text.begin() + start, text.end(), QChar(u' '), QChar(replacement));
    }
    text += u"\"></a>\r\n";
}

/// The first sentence of a translated text without its tags, for the summary table.
QString SummaryText(const QString& translated) {
    QString plain = translated;
    BlankOutTags(plain);
    const qsizetype stop = plain.indexOf(QLatin1Char('.'));
    if (stop < 0) {
        return u" "_s;
    }
    return plain.left(std::min(stop + 1, kSummaryLimit));
}

/// The next of the source's own semicolons at or after `from`, or -1: the
/// end of a character reference the scanner wrote is none.
qsizetype NextOwnSemicolon(const QString& code, qsizetype from) {
    qsizetype at = code.indexOf(u';', from);
    while (at >= 0 && IsReferenceEnd(code, at)) {
        at = code.indexOf(u';', at + 1);
    }
    return at;
}

/// The source's own semicolons with a line break after each, the code between
/// them escaped: the semicolons of the escapes' entities break nothing.
QString EscapedWithSemicolonBreaks(const QString& code) {
    QString result;
    result.reserve(code.size() + 32);
    qsizetype copied = 0;
    for (qsizetype at = NextOwnSemicolon(code, 0); at >= 0; at = NextOwnSemicolon(code, copied)) {
        result += EscapeSourceCode(QStringView(code).sliced(copied, at - copied));
        result += u";<br>";
        copied = at + 1;
    }
    result += EscapeSourceCode(QStringView(code).sliced(copied));
    return result;
}

/// Blanks the HTML tags out of every section name and trims it.
void CleanSectionNames(DocumentModel& doc) {
    for (SectionRecord& section : doc.Sections) {
        QString& name = section.Name;
        BlankOutTags(name);
        name = TrimSpaces(name);
    }
}

/// Inserts "<br>" after every comma at the first level of the first parenthesised
/// group: "f(a, g(b, c), d)" gives "f(a,<br> g(b, c),<br> d)".
QString FormatParameterList(const QString& declaration) {
    const qsizetype open = declaration.indexOf(QLatin1Char('('));
    if (open < 0) {
        return declaration;
    }
    const QStringView text(declaration);
    QString result;
    result.reserve(declaration.size() + 32);
    qsizetype copied = 0;
    int depth = 1;
    qsizetype at = open + 1;
    for (; at < text.size() && depth > 0; ++at) {
        const QChar c = text[at];
        if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (c == u',' && depth == 1) {
            result += text.sliced(copied, at + 1 - copied);
            result += u"<br>";
            copied = at + 1;
        }
    }
    result += text.sliced(copied);
    return result;
}

/// The line of section i's declaration box.
QString DeclarationBoxLine(const PageHeads& heads, const DeclarationLinker& linker, int i) {
    // The declaration is source code, not HTML: it is escaped before any markup
    // goes in, and the name is looked for as the escaped code shows it.
    const QString name = EscapeSourceCode(heads.name(i));
    const QString& code = heads.declaration(i);
    QString declaration;
    if (!(code.contains(QLatin1Char(':')) && NextOwnSemicolon(code, 0) >= 0)) {
        declaration = FormatParameterList(EscapeSourceCode(code));
        if (declaration.contains(u"<br>"_s)) {
            ReplaceFirst(declaration, u"("_s, u"(<br> "_s);
        }
    } else {
        declaration = TrimSpaces(EscapedWithSemicolonBreaks(code));
        if (declaration.size() >= 4 && declaration.left(declaration.size() - 4).contains(u"<br>"_s)) {
            ReplaceFirst(declaration, u"("_s, u"(<br> "_s);
        }
    }
    ReplaceFirst(declaration, name + u"("_s, u"<font class=ApiName>"_s + name + u"</font>("_s);
    linker.link(declaration, i);
    return TrimSpaces(declaration);
}

void WriteContents(PageBuffer& page, const PageHeads& heads, int count) {
    AddTag(page, u"div class=Toc"_s);
    AddTag(page, u"h2"_s);
    AddLine(page, u"Contents"_s);
    AddTag(page, u"/h2"_s);
    AddTag(page, u"div class=TocLinks"_s);
    AddTag(page, u"ul class=TocLinks"_s);
    for (int i = 1; i < count; ++i) {
        const QString& name = heads.name(i);
        if (name.isEmpty()) {
            continue;
        }
        AddTag(page, u"li class=TocLink"_s);
        AddSameNameLink(page, u"class=TocLink ", name);
        AddTag(page, u"/li"_s);
        FlushPage(page);
    }
    AddTag(page, u"/ul"_s);
    AddTag(page, u"/div"_s);
    AddTag(page, u"/div"_s);
}

/// A section's text as the page shows it; with `release` the model's text is given up.
QStringView Translated(SectionTranslator& translator, QString& text, bool release) {
    return release ? translator.take(text) : translator.text(text);
}

/// The words of a section's text that a search index shows with it.
constexpr int kSnippetWords = 12;

/// Keeps the start of section `i`'s page text when the caller wants it, by
/// section number (i + 1).
void KeepSnippet(const ChapterPageContext& context, int i, QStringView translated) {
    const auto number = static_cast<size_t>(i) + 1;
    if (context.snippets != nullptr && number < context.snippets->size()) {
        (*context.snippets)[number] = PlainTextOfHtml(translated, kSnippetWords);
    }
}

/// Sections whose texts were translated ahead of the body (for the summary)
/// keep them here until the body writes them; empty without a summary.
using TranslatedTexts = std::vector<QString>;

void WriteSummary(PageBuffer& page, DocumentModel& doc, const PageHeads& heads, int count,
                  SectionTranslator& translator, bool release, TranslatedTexts& texts) {
    texts.resize(static_cast<size_t>(count));
    AddTag(page, u"div class=Summary");
    AddTag(page, u"h2");
    AddLine(page, u"Summary");
    AddTag(page, u"/h2");
    AddTag(page, u"table class=SummaryTable");
    for (int i = 1; i < count; ++i) {
        const QString& name = heads.name(i);
        if (name.isEmpty()) {
            continue;
        }
        // Kept without its closing blanks (the guard spaces), which neither the
        // summary nor the trimmed body line shows. A text of blanks alone
        // keeps nothing, and the body translates it again to the same nothing.
        QStringView translated = Translated(translator, doc.section(i).Text, release);
        while (!translated.isEmpty() && translated.back() == u' ') {
            translated.chop(1);
        }
        QString& text = texts[static_cast<size_t>(i)];
        text = translated.toString();
        AddTag(page, u"tr class=SummaryRow");
        AddTag(page, u"td class=SummaryLink");
        AddSameNameLink(page, u"class=SummaryLink ", name);
        AddTag(page, u"/td");
        AddTag(page, u"td class=SummaryText valign=top");
        AddLine(page, SummaryText(text));
        AddTag(page, u"/td");
        AddTag(page, u"/tr");
        FlushPage(page);
    }
    AddTag(page, u"/table");
    AddTag(page, u"/div");
}

/// What the page shows of one section below its name.
struct SectionBody {
    bool hasDeclaration = false;
    QString declaration;  ///< the declaration box's line
};

/// Sections translated at once by one thread while the page is written.
constexpr int kBodiesPerChunk = 64;
/// Chunks made at most ahead of the one written: the page never holds many
/// translated texts at once, yet the helper keeps on while this thread writes
/// the contents of some four thousand sections.
constexpr int kChunksAhead = 64;

/// The sections' bodies of one page: made (translated, declaration boxes
/// linked) and written in order, on one thread or two.
struct SectionBodies {
    const ChapterPageContext& context;
    DocumentModel& doc;
    const PageHeads& heads;
    int count;
    /// Made for the first declaration box only: a page without any needs none.
    std::optional<DeclarationLinker> linker = {};
    /// Every "@figure" source of the bodies, in page order.
    QStringList figures = {};

    bool hasDeclaration(int i) const { return context.settings.Api && !heads.declaration(i).isEmpty(); }

    void makeDeclaration(int i, SectionBody& body) {
        body.hasDeclaration = hasDeclaration(i);
        if (body.hasDeclaration) {
            if (!linker) {
                linker.emplace(heads.names, count);
            }
            body.declaration = DeclarationBoxLine(heads, *linker, i);
        }
    }

    /// Section i's text translated now, trimmed as the page shows it. Only
    /// reads what other sections' bodies read.
    QStringView translate(int i, SectionTranslator& translator) {
        const QStringView text = Translated(translator, doc.section(i).Text, context.releaseTexts);
        KeepSnippet(context, i, text);
        return TrimmedSpaces(text);
    }

    void write(int i, const SectionBody& body, QStringView declaration, QStringView text, bool modern) const {
        PageBuffer& page = context.page;
        const QString& name = heads.name(i);
        AddTag(page, u"div class=Section");
        AddTag(page, u"h3");
        if (!name.isEmpty()) {
            AddAnchor(page, name, u'^');
            AddAnchor(page, name, u' ');
        }
        AddLine(page, name);
        if (modern && !name.isEmpty()) {
            AddLine(page, ModernPermalink(name));
        }
        AddTag(page, u"/h3");
        if (body.hasDeclaration) {
            AddTag(page, u"div class=Api"_s);
            AddLine(page, declaration);
            AddTag(page, u"/div"_s);
        }
        AddTag(page, u"div class=SectionText");
        AddLine(page, text);
        AddTag(page, u"/div");
        AddTag(page, u"/div");
        FlushPage(page);
    }

    /// On one thread, with the texts the summary translated (by section index).
    void writeInOrder(bool modern, SectionTranslator& translator, TranslatedTexts& texts) {
        for (int i = 1; i < count; ++i) {
            SectionBody body;
            makeDeclaration(i, body);
            const auto at = static_cast<size_t>(i);
            if (at < texts.size() && !texts[at].isEmpty()) {
                KeepSnippet(context, i, texts[at]);
                write(i, body, body.declaration, TrimmedSpaces(texts[at]), modern);
                texts[at] = QString();
            } else {
                write(i, body, body.declaration, translate(i, translator), modern);
            }
        }
        figures = translator.figures();
    }

    /// Chunks of sections are made on this thread and one more, each thread
    /// with a translator of its own, while this thread writes `head` (which
    /// reads no section but the first and gives its figures) and then the
    /// chunks in order; their figures join in that order after the head's. A
    /// section's body depends on that section alone, so the page is the same
    /// as one thread's.
    void writeOnTwoThreads(bool modern, const std::function<QStringList()>& head) {
        // A chunk's declarations and texts stand in one buffer, so that
        // freeing them on this thread takes one free of the helper's heap.
        struct Chunk {
            std::vector<SectionBody> bodies;
            std::vector<qsizetype> ends;  ///< per section: where its declaration ends, where its text ends
            QString buffer;
            QStringList figures;
            bool done = false;  // guarded by the mutex
        };
        const int chunks = (count - 1 + kBodiesPerChunk - 1) / kBodiesPerChunk;
        std::vector<Chunk> made(static_cast<size_t>(chunks));
        std::mutex mutex;
        std::condition_variable changed;
        int claimed = 0;  // guarded: chunks handed out
        int written = 0;  // guarded: chunks written
        bool stop = false;
        std::exception_ptr helperError;

        for (int i = 1; i < count; ++i) {
            if (hasDeclaration(i)) {
                linker.emplace(heads.names, count);
                break;
            }
        }
        const auto makeChunk = [this, &made](int c, SectionTranslator& translator) {
            Chunk& chunk = made[static_cast<size_t>(c)];
            const int first = 1 + c * kBodiesPerChunk;
            const int end = std::min(count, first + kBodiesPerChunk);
            chunk.bodies.resize(static_cast<size_t>(end - first));
            chunk.ends.reserve(2 * chunk.bodies.size());
            const qsizetype figuresBefore = translator.figures().size();
            for (int i = first; i < end; ++i) {
                SectionBody& body = chunk.bodies[static_cast<size_t>(i - first)];
                makeDeclaration(i, body);
                chunk.buffer += body.declaration;
                body.declaration = QString();
                chunk.ends.push_back(chunk.buffer.size());
                chunk.buffer += translate(i, translator);
                chunk.ends.push_back(chunk.buffer.size());
            }
            chunk.figures = translator.figures().mid(figuresBefore);
        };
        const auto help = [&] {
            try {
                PrepareThreadHeapForLargeTexts();
                SectionTranslator translator;
                std::unique_lock<std::mutex> lock(mutex);
                while (true) {
                    changed.wait(lock, [&] { return stop || claimed == chunks || claimed - written < kChunksAhead; });
                    if (stop || claimed == chunks) {
                        return;
                    }
                    const int c = claimed++;
                    lock.unlock();
                    makeChunk(c, translator);
                    lock.lock();
                    made[static_cast<size_t>(c)].done = true;
                    changed.notify_all();
                }
            } catch (...) {
                const std::lock_guard<std::mutex> lock(mutex);
                helperError = std::current_exception();
                stop = true;
                changed.notify_all();
            }
        };
        // Ends the helper however this thread leaves.
        struct Stopper {
            std::mutex& mutex;
            bool& stop;
            std::condition_variable& changed;
            std::thread& thread;
            ~Stopper() {
                {
                    const std::lock_guard<std::mutex> lock(mutex);
                    stop = true;
                }
                changed.notify_all();
                if (thread.joinable()) {
                    thread.join();
                }
            }
        };
        std::thread helper;
        try {
            helper = std::thread(help);
        } catch (const std::system_error&) {
            // No thread to be had: this one makes every chunk.
        }
        Stopper stopper{mutex, stop, changed, helper};
        SectionTranslator translator;
        figures = head();
        for (int k = 0; k < chunks; ++k) {
            std::unique_lock<std::mutex> lock(mutex);
            while (!made[static_cast<size_t>(k)].done) {
                if (helperError) {
                    std::rethrow_exception(helperError);
                }
                if (claimed < chunks && claimed - written < kChunksAhead) {
                    const int c = claimed++;
                    lock.unlock();
                    makeChunk(c, translator);
                    lock.lock();
                    made[static_cast<size_t>(c)].done = true;
                } else {
                    changed.wait(lock);
                }
            }
            lock.unlock();
            Chunk& chunk = made[static_cast<size_t>(k)];
            const int first = 1 + k * kBodiesPerChunk;
            const QStringView buffer(chunk.buffer);
            qsizetype from = 0;
            for (size_t j = 0; j < chunk.bodies.size(); ++j) {
                const qsizetype declarationEnd = chunk.ends[2 * j];
                const qsizetype textEnd = chunk.ends[2 * j + 1];
                write(first + static_cast<int>(j), chunk.bodies[j], buffer.sliced(from, declarationEnd - from),
                      buffer.sliced(declarationEnd, textEnd - declarationEnd), modern);
                from = textEnd;
            }
            figures += chunk.figures;
            chunk = Chunk();
            lock.lock();
            ++written;
            changed.notify_all();
        }
    }
};

void WriteFooter(const ChapterPageContext& context, const DocumentModel& doc) {
    const Settings& settings = context.settings;
    PageBuffer& page = context.page;
    if (!settings.IncludeSourceLocation && !settings.IncludeLastGenerated) {
        return;
    }
    AddTag(page, u"div class=Footer"_s);
    if (settings.IncludeSourceLocation) {
        AddTag(page, u"div class=SourceLocation"_s);
        AddLine(page, EscapeHtml(AbsoluteFolder(FolderOf(doc.SourceFilePath)) + FileNameOf(doc.SourceFilePath)));
        AddTag(page, u"/div"_s);
    }
    if (settings.IncludeLastGenerated) {
        AddTag(page, u"div class=LastGenerated"_s);
        AddLine(page, ShortDateTimeText(context.generatedAt));
        AddTag(page, u"/div"_s);
    }
    AddTag(page, u"/div"_s);
}

/// The sections' names and declarations as the page shows them. Their texts are
/// translated one at a time as the page is written, so the page never holds
/// them all at once.
PageHeads PageSectionHeads(const DocumentModel& doc) {
    const int count = doc.count();
    PageHeads heads;
    heads.names.resize(static_cast<size_t>(count));
    heads.declarations.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        heads.names[static_cast<size_t>(i)] = SectionTranslator::name(doc.section(i).Name);
        heads.declarations[static_cast<size_t>(i)] = TrimSpaces(doc.section(i).Declaration);
    }
    return heads;
}

bool WritePageBody(ChapterPageContext& context, DocumentModel& doc, const PageHeads& heads) {
    const int count = doc.count();
    const Settings& settings = context.settings;
    PageBuffer& page = context.page;
    UserInterface& ui = context.ui;
    SectionTranslator translator;
    TranslatedTexts texts;

    const QString& target = context.pagePath;
    std::optional<ModernPlace> modern;
    page.encoding = FileEncoding::Latin1WithReferences;
    if (context.modern != nullptr) {
        modern = *context.modern;
        modern->title = PlainTextOfHtml(heads.name(0));
        if (modern->single()) {
            modern->bookTitle = modern->title;
        }
        page.encoding = FileEncoding::Utf8;
    }
    // A long page goes to its file as it is written instead of piling up whole.
    const PageStream stream(page, target);
    if (modern) {
        WriteModernPageTop(page, *modern);
    } else {
        WritePageHeader(page, context.style, heads.name(0), u"class=Main"_s);
    }
    if (page.file == nullptr) {
        // Room for the whole page up front: growing it by doubling copies it
        // and touches fresh memory several times over.
        qsizetype expected = page.PageText.size() + 4096;
        for (const SectionRecord& section : doc.Sections) {
            expected += section.Text.size() + 2 * section.Declaration.size() + 8 * section.Name.size() + 900;
        }
        page.PageText.reserve(expected);
    }
    if (settings.Title) {
        AddTag(page, u"h1");
        if (settings.IncludeProjectTitle) {
            AddLine(page, u"<div class=ProjectTitle>"_s + settings.IndexTitle + u"</div>"_s);
        }
        AddLine(page, heads.name(0));
        AddTag(page, u"/h1");
    }
    if (context.snippets != nullptr) {
        context.snippets->assign(static_cast<size_t>(count) + 1, QString());
    }
    // An overview of a single item would only repeat it.
    const bool overview = count > 2;
    // The first section's text and the overview, up to the sections.
    const auto head = [&] {
        AddTag(page, u"div class=SectionText");
        const QStringView first = Translated(translator, doc.section(0).Text, context.releaseTexts);
        KeepSnippet(context, 0, first);
        AddLine(page, first);
        AddTag(page, u"/div");
        if (overview) {
            if (settings.Overview == ChapterOverview::Summary) {
                WriteSummary(page, doc, heads, count, translator, context.releaseTexts, texts);
            } else if (settings.Overview == ChapterOverview::Contents) {
                WriteContents(page, heads, count);
            }
        }
        ui.advanceProgress();
        AddTag(page, u"div class=AllSections");
        return translator.figures();
    };
    SectionBodies bodies{context, doc, heads, count};
    // A summary translates the texts ahead, on this thread: then one thread.
    // Otherwise the helper starts on the sections while the head is written.
    const bool summary = overview && settings.Overview == ChapterOverview::Summary;
    if (context.secondThread && !summary && count > 1 + kBodiesPerChunk) {
        bodies.writeOnTwoThreads(modern.has_value(), head);
    } else {
        head();
        bodies.writeInOrder(modern.has_value(), translator, texts);
    }
    AddTag(page, u"/div");
    ui.advanceProgress();

    if (modern) {
        WriteModernPageEnd(page, *modern);
    }
    if (!settings.Copyright.isEmpty()) {
        AddLine(page, u"<div class=Copy>"_s + settings.Copyright + u"</div>"_s);
    }
    WriteFooter(context, doc);
    if (modern) {
        CloseModernFooter(page);
    }
    context.hasFigures = !bodies.figures.isEmpty();
    context.missingFigures = MissingFigureFiles(bodies.figures, QFileInfo(target).absolutePath());
    return WritePageFooter(page, ui, target);
}

}  // namespace

bool WriteChapterPage(ChapterPageContext& context, DocumentModel& doc) {
    if (doc.count() <= 0) {
        return false;
    }
    CleanSectionNames(doc);
    if (context.releaseTexts) {
        // The page is made of the sections alone.
        doc.SourceText = QString();
    }
    const PageHeads heads = PageSectionHeads(doc);
    return WritePageBody(context, doc, heads);
}

}  // namespace tessarel
