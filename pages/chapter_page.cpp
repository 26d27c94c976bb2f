#include "pages/chapter_page.h"

#include "extract/document_model.h"
#include "pages/page_frame.h"
#include "pages/tag_translation.h"
#include "support/environment.h"
#include "support/file_functions.h"
#include "support/settings.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

#include <QHash>

#include <algorithm>
#include <set>
#include <vector>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype kSummaryLimit = 300;

using PageSections = std::vector<SectionRecord>;

const SectionRecord& PageSection(const PageSections& sections, int i) { return sections[static_cast<size_t>(i)]; }

/// The line `<a ATTRIBUTES HREF="#NAME">NAME</a>`, written straight into the page.
void AddSameNameLink(PageBuffer& page, QStringView attributes, QStringView name) {
    QString& text = page.PageText;
    text += u"<a ";
    text += attributes;
    text += u"HREF=\"#";
    text += name;
    text += u"\">";
    text += name;
    text += u"</a>\r\n";
}

/// The line `<a NAME="NAME"></a>`, with every space of the name made `replacement`.
void AddAnchor(PageBuffer& page, QStringView name, char16_t replacement) {
    QString& text = page.PageText;
    text += u"<a NAME=\"";
    const qsizetype start = text.size();
    text += name;
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

void WriteDeclarationBox(PageBuffer& page, const PageSections& sections, const DeclarationLinker& linker, int i) {
    const QString& name = PageSection(sections, i).Name;
    QString declaration = PageSection(sections, i).Declaration;
    if (!(declaration.contains(QLatin1Char(':')) && declaration.contains(QLatin1Char(';')))) {
        declaration = FormatParameterList(declaration);
        if (declaration.contains(u"<br>"_s)) {
            ReplaceFirst(declaration, u"("_s, u"(<br> "_s);
        }
    } else {
        ReplaceAll(declaration, u";"_s, u";<br>"_s);
        declaration = TrimSpaces(declaration);
        if (declaration.size() >= 4 && declaration.left(declaration.size() - 4).contains(u"<br>"_s)) {
            ReplaceFirst(declaration, u"("_s, u"(<br> "_s);
        }
    }
    ReplaceFirst(declaration, name + u"("_s, u"<font class=ApiName>"_s + name + u"</font>("_s);
    linker.link(declaration, i);
    AddTag(page, u"div class=Api"_s);
    AddLine(page, TrimSpaces(declaration));
    AddTag(page, u"/div"_s);
}

void WriteContents(PageBuffer& page, const PageSections& sections, int count) {
    AddTag(page, u"div class=Toc"_s);
    AddTag(page, u"h2"_s);
    AddLine(page, u"Contents"_s);
    AddTag(page, u"/h2"_s);
    AddTag(page, u"div class=TocLinks"_s);
    AddTag(page, u"ul class=TocLinks"_s);
    for (int i = 2; i <= count; ++i) {
        const QString& name = PageSection(sections, i).Name;
        if (name.isEmpty()) {
            continue;
        }
        AddTag(page, u"li class=TocLink"_s);
        AddSameNameLink(page, u"class=TocLink ", name);
        AddTag(page, u"/li"_s);
    }
    AddTag(page, u"/ul"_s);
    AddTag(page, u"/div"_s);
    AddTag(page, u"/div"_s);
}

/// Sections whose texts were translated ahead of the body (for the summary)
/// keep them here until the body writes them.
using TranslatedTexts = std::vector<QString>;

void WriteSummary(PageBuffer& page, const DocumentModel& doc, const PageSections& sections, int count,
                  SectionTranslator& translator, TranslatedTexts& texts) {
    AddTag(page, u"div class=Summary");
    AddTag(page, u"h2");
    AddLine(page, u"Summary");
    AddTag(page, u"/h2");
    AddTag(page, u"table class=SummaryTable");
    for (int i = 2; i <= count; ++i) {
        const SectionRecord& section = PageSection(sections, i);
        if (section.Name.isEmpty()) {
            continue;
        }
        QString& text = texts[static_cast<size_t>(i)];
        text = translator.text(doc.section(i).Text).toString();
        AddTag(page, u"tr class=SummaryRow");
        AddTag(page, u"td class=SummaryLink");
        AddSameNameLink(page, u"class=SummaryLink ", section.Name);
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

void WriteFooter(const ChapterPageContext& context, const DocumentModel& doc) {
    const Settings& settings = context.settings;
    PageBuffer& page = context.page;
    if (!settings.IncludeSourceLocation && !settings.IncludeLastGenerated) {
        return;
    }
    AddTag(page, u"div class=Footer"_s);
    if (settings.IncludeSourceLocation) {
        AddTag(page, u"div class=SourceLocation"_s);
        AddLine(page, AbsoluteFolder(FolderOf(doc.SourceFilePath)) + FileNameOf(doc.SourceFilePath));
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
PageSections PageSectionHeads(UserInterface& ui, const DocumentModel& doc) {
    const int count = doc.count();
    PageSections sections(static_cast<size_t>(count) + 1);
    for (int i = 1; i <= count; ++i) {
        ui.yield();
        SectionRecord& page = sections[static_cast<size_t>(i)];
        page.Name = SectionTranslator::name(doc.section(i).Name);
        page.Declaration = TrimSpaces(doc.section(i).Declaration);
    }
    return sections;
}

bool WritePageBody(ChapterPageContext& context, const DocumentModel& doc, const PageSections& sections) {
    const int count = doc.count();
    const Settings& settings = context.settings;
    PageBuffer& page = context.page;
    UserInterface& ui = context.ui;
    const SectionRecord& chapter = PageSection(sections, 1);
    SectionTranslator translator;
    TranslatedTexts texts(static_cast<size_t>(count) + 1);

    const QString target = context.destinationFolder.isEmpty()
                               ? doc.ChapterPagePath
                               : MakeChapterOutputPath(context.destinationFolder, doc.ChapterPagePath);
    // A long page goes to its file as it is written instead of piling up whole.
    const PageStream stream(page, target);
    WritePageHeader(page, context.style, chapter.Name, u"class=Main"_s);
    if (page.file == nullptr) {
        // Room for the whole page up front: growing it by doubling copies it
        // and touches fresh memory several times over.
        qsizetype expected = page.PageText.size() + 4096;
        for (int i = 1; i <= count; ++i) {
            const SectionRecord& section = doc.section(i);
            expected += section.Text.size() + 2 * section.Declaration.size() + 8 * section.Name.size() + 900;
        }
        page.PageText.reserve(expected);
    }
    if (settings.Title) {
        AddTag(page, u"h1");
        if (settings.IncludeProjectTitle) {
            AddLine(page, u"<div class=ProjectTitle>"_s + settings.IndexTitle + u"</div>"_s);
        }
        AddLine(page, chapter.Name);
        AddTag(page, u"/h1");
    }
    AddTag(page, u"div class=SectionText");
    AddLine(page, translator.text(doc.section(1).Text));
    AddTag(page, u"/div");
    // An overview of a single item would only repeat it.
    if (count > 2) {
        if (settings.SumCon == u"0"_s) {
            WriteSummary(page, doc, sections, count, translator, texts);
        } else if (settings.SumCon == u"1"_s) {
            WriteContents(page, sections, count);
        }
    }
    ui.AddProgress();

    AddTag(page, u"div class=AllSections");
    const DeclarationLinker linker(sections, count);
    for (int i = 2; i <= count; ++i) {
        ui.yield();
        const SectionRecord& section = PageSection(sections, i);
        AddTag(page, u"div class=Section");
        AddTag(page, u"h3");
        if (!section.Name.isEmpty()) {
            AddAnchor(page, section.Name, u'^');
            AddAnchor(page, section.Name, u' ');
        }
        AddLine(page, section.Name);
        AddTag(page, u"/h3");
        if (settings.Api && !section.Declaration.isEmpty()) {
            WriteDeclarationBox(page, sections, linker, i);
        }
        AddTag(page, u"div class=SectionText");
        QString& kept = texts[static_cast<size_t>(i)];
        if (kept.isEmpty()) {
            AddLine(page, TrimmedSpaces(translator.text(doc.section(i).Text)));
        } else {
            AddLine(page, TrimmedSpaces(kept));
            kept = QString();
        }
        AddTag(page, u"/div");
        AddTag(page, u"/div");
        FlushPage(page);
    }
    ui.yield();
    AddTag(page, u"/div");
    ui.AddProgress();

    if (!settings.Copyright.isEmpty()) {
        AddLine(page, u"<div class=Copy>"_s + settings.Copyright + u"</div>"_s);
    }
    WriteFooter(context, doc);
    return WritePageFooter(page, ui, target);
}

}  // namespace

namespace {

constexpr qsizetype kStartLength = 4;

/// The first four UTF-16 units at `s`, exactly, as one key.
quint64 StartKey(const char16_t* s) {
    return quint64{s[0]} | quint64{s[1]} << 16 | quint64{s[2]} << 32 | quint64{s[3]} << 48;
}

}  // namespace

DeclarationLinker::DeclarationLinker(const std::vector<SectionRecord>& sections, int count)
    : sections_(sections), firstOfName_(static_cast<size_t>(std::max(count, 0)) + 1, -1) {
    QHash<QString, int> firstByName;
    for (int j = 2; j <= count; ++j) {
        const QString& name = sections[static_cast<size_t>(j)].Name;
        // An empty name would turn every pair of neighbouring blanks into a link.
        if (name.isEmpty()) {
            continue;
        }
        const auto known = firstByName.constFind(name);
        const int first = known == firstByName.constEnd() ? j : *known;
        firstOfName_[static_cast<size_t>(j)] = first;
        ofName_[first].push_back(j);
        if (first != j) {
            continue;
        }
        firstByName.insert(name, j);
        if (std::any_of(name.begin(), name.end(), IsWordBreak)) {
            if (name.size() < kStartLength) {
                shortSpanning_.push_back(j);
            } else {
                spanningByStart_[StartKey(QStringView(name).utf16())].push_back(j);
            }
        } else {
            byWord_.insert(QStringView(name), j);
        }
    }
}

int DeclarationLinker::NextOfName(int first, int after) const {
    const std::vector<int>& members = ofName_.find(first).value();
    const auto next = std::upper_bound(members.begin(), members.end(), after);
    return next == members.end() ? -1 : *next;
}

void DeclarationLinker::link(QString& declaration, int self) const {
    // Sections are tried in order. A name that changes nothing leaves the text
    // as it was, so the later sections of that name change nothing either until
    // another name has changed the text: many sections of one name would
    // otherwise each run the whole-word replacement over every declaration.
    std::set<int> pending;
    std::vector<int> idle;  // first sections of names whose last try changed nothing
    AddCandidates(declaration, -1, pending);
    AddSpanning(declaration, -1, pending);
    const auto tryNext = [&](int first, int after) {
        const int next = NextOfName(first, after);
        if (next >= 0) {
            pending.insert(next);
        }
    };
    while (!pending.empty()) {
        const int j = *pending.begin();
        pending.erase(pending.begin());
        const int first = firstOfName_[static_cast<size_t>(j)];
        if (j == self) {
            tryNext(first, j);
            continue;
        }
        const QString& name = sections_[static_cast<size_t>(j)].Name;
        const QString link = u"<a HREF=\"#"_s + name + u"\">"_s + name + u"</a>"_s;
        const qsizetype before = declaration.size();
        ReplaceWordExtended(declaration, name, link);
        if (declaration.size() != before) {
            // The inserted links bring words of their own.
            AddCandidates(link, j, pending);
            AddSpanning(declaration, j, pending);
            tryNext(first, j);
            for (const int waiting : idle) {
                tryNext(waiting, j);
            }
            idle.clear();
        } else {
            idle.push_back(first);
        }
    }
}

bool DeclarationLinker::IsWordBreak(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'(' || c == u'*';
}

void DeclarationLinker::AddCandidates(const QString& text, int after, std::set<int>& pending) const {
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size && !IsWordBreak(text.at(i))) {
            continue;
        }
        if (i > start) {
            const auto found = byWord_.constFind(QStringView(text).sliced(start, i - start));
            if (found != byWord_.constEnd()) {
                const int next = NextOfName(*found, after);
                if (next >= 0) {
                    pending.insert(next);
                }
            }
        }
        start = i + 1;
    }
}

void DeclarationLinker::AddSpanning(const QString& text, int after, std::set<int>& pending) const {
    const auto consider = [&](int first) {
        const int next = NextOfName(first, after);
        if (next >= 0) {
            pending.insert(next);
        }
    };
    for (const int first : shortSpanning_) {
        if (text.contains(sections_[static_cast<size_t>(first)].Name)) {
            consider(first);
        }
    }
    if (spanningByStart_.isEmpty()) {
        return;
    }
    // Every place a longer name could start at, looked up by its first four
    // characters: trying each such name on each declaration would cost their
    // number times the declarations'.
    const QStringView view(text);
    const char16_t* s = view.utf16();
    for (qsizetype p = 0; p + kStartLength <= text.size(); ++p) {
        const auto found = spanningByStart_.constFind(StartKey(s + p));
        if (found == spanningByStart_.constEnd()) {
            continue;
        }
        for (const int first : *found) {
            if (view.sliced(p).startsWith(sections_[static_cast<size_t>(first)].Name)) {
                consider(first);
            }
        }
    }
}

void CleanSectionNames(DocumentModel& doc) {
    const int count = doc.count();
    for (int i = 1; i <= count; ++i) {
        QString& name = doc.section(i).Name;
        BlankOutTags(name);
        name = TrimSpaces(name);
    }
}

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

QString MakeChapterOutputPath(const QString& destinationFolder, const QString& fileName) {
    // Only the last part of the name counts: a chapter's page never lands outside
    // the destination folder, whatever folders its name holds.
    const QString name = FileNameOf(fileName);
    if (name.isEmpty() || name == u"."_s || name == u".."_s) {
        return {};
    }
    return JoinFolderAndFile(destinationFolder, name);
}

bool WriteChapterPage(ChapterPageContext& context, DocumentModel& doc) {
    if (doc.count() <= 0) {
        return false;
    }
    CleanSectionNames(doc);
    const PageSections sections = PageSectionHeads(context.ui, doc);
    return WritePageBody(context, doc, sections);
}

}  // namespace tessarel
