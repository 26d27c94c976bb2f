#include "book/chapter_lists.h"

#include "book/book_output.h"
#include "book/chapter_pass.h"
#include "book/contents_pages.h"
#include "book/html_help.h"
#include "book/modern_book.h"
#include "book/workspace.h"
#include "support/environment.h"
#include "support/html_text.h"
#include "support/replacing_file.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

#include <QFileInfo>

#include <algorithm>

namespace tessarel {

namespace {

const QString kDetailedContents = QStringLiteral("_dindex.htm");
const QString kActiveContents = QStringLiteral("contents_active.hhc");
const QString kHelpProject = QStringLiteral("help.hhp");
const QString kHelpContents = QStringLiteral("contents.hhc");

}  // namespace

ChapterLists::ChapterLists(const BookOutput& out) : out_(out), ui_(out.ws.env.ui), settings_(out.project.settings) {}

bool ChapterLists::start() {
    if (settings_.GenerateHtmlHelpFiles) {
        const QString helpFolder = out_.helpFolder();
        const QFileInfo help(helpFolder.chopped(1));
        // The build writes only inside its destination, never through a link.
        if (help.isSymLink()) {
            ShowWriteFailure(ui_, helpFolder, QStringLiteral("It is a link; a build does not write through links"),
                             QStringLiteral("Link not followed"));
            return false;
        }
        QString failure;
        if (!help.isDir() && !MakeFolders(helpFolder, failure)) {
            ShowWriteFailure(ui_, helpFolder, failure);
            return false;
        }
        QString helpHead = HelpProjectHeader(out_.project);
        if (settings_.ModernLayout) {
            // The modern pages need their sheet, script and tree in the compiled file too.
            for (const QString& file : {kModernSheet, kModernScript, kModernData}) {
                AddLineTo(helpHead, HelpProjectFileLine(file));
            }
        }
        if (!startGrowing(out_.helpPath(kHelpProject), helpHead) ||
            !startGrowing(out_.helpPath(kHelpContents), ContentsHeader(SiteMap::HelpProject))) {
            return false;
        }
    }
    if (settings_.Collapsible && !startGrowing(out_.path(kActiveContents), ContentsHeader(SiteMap::Active))) {
        return false;
    }
    // A modern book writes its detailed contents whole, after the chapters.
    return settings_.ModernLayout ||
           startGrowing(out_.path(kDetailedContents), DetailedContentsHead(settings_, out_.style));
}

bool ChapterLists::startGrowing(const QString& path, const QString& head) {
    // A file of the user's in its place stays: the list is not written.
    if (out_.keeps(path.mid(out_.folder.size()))) {
        return true;
    }
    auto file = std::make_unique<TextFileWriter>(path);
    if (!file->open()) {
        file->finish(ui_);
        return false;
    }
    file->write(head);
    growing_.emplace_back(path, std::move(file));
    return true;
}

TextFileWriter* ChapterLists::growingFile(const QString& path) {
    for (auto& [target, file] : growing_) {
        if (target == path) {
            return file.get();
        }
    }
    return nullptr;
}

ChapterListing MakeChapterListing(const Chapter& chapter, const QString& page, const ChapterResult& built,
                                  const Settings& settings) {
    ChapterListing listing;
    const int sectionCount = built.sections;
    const bool help = settings.GenerateHtmlHelpFiles;
    const bool active = settings.Collapsible;
    // The text the contents pages list it under too (ChapterEntryText).
    const QString entry = settings.UseChapterTitleInIndex ? built.title : EscapeHtml(chapter.Name);
    const QString pageHref = PageHref(page);
    if (help) {
        AddContentsChapter(listing.helpBlock, SiteMap::HelpProject, entry, pageHref, sectionCount);
    }
    if (active) {
        AddContentsChapter(listing.activeBlock, SiteMap::Active, entry, pageHref, sectionCount);
    }
    AddDetailedChapterRow(listing.rows, page, entry, settings.BoldTitles);
    const QString topic = FileNameUrl(page);
    std::vector<IndexEntry>& index = listing.index;
    index.reserve(static_cast<size_t>(std::max(sectionCount, 1)) + 1);
    index.push_back({entry, topic, true});
    if (!settings.UseChapterTitleInIndex) {
        index.push_back({built.title, topic, false});
    }
    if (sectionCount >= 2) {
        if (help) {
            OpenContentsSections(listing.helpBlock);
        }
        if (active) {
            OpenContentsSections(listing.activeBlock);
        }
        for (int j = 2; j <= sectionCount; ++j) {
            const QString& name = built.sectionNames[j - 2];
            AddDetailedSectionRowTo(listing.rows, pageHref, name);
            if (help) {
                AddContentsSectionTo(listing.helpBlock, SiteMap::HelpProject, pageHref, name);
            }
            if (active) {
                AddContentsSectionTo(listing.activeBlock, SiteMap::Active, pageHref, name);
            }
            // "page#anchor" in one piece: SectionAnchor, without a string of its own.
            QString href;
            AppendAll(href, {topic, u"#", name});
            for (QChar* c = href.data() + topic.size() + 1; c != href.data() + href.size(); ++c) {
                if (*c == QLatin1Char(' ')) {
                    *c = QLatin1Char('^');
                }
            }
            index.push_back({name, std::move(href), false});
        }
        if (help) {
            CloseContentsSections(listing.helpBlock);
        }
        if (active) {
            CloseContentsSections(listing.activeBlock);
        }
    }
    return listing;
}

bool ChapterLists::add(const Chapter& chapter, const QString& page, const ChapterResult& built) {
    const bool help = settings_.GenerateHtmlHelpFiles;
    const bool active = settings_.Collapsible;
    const ChapterListing made = built.listing ? ChapterListing() : MakeChapterListing(chapter, page, built, settings_);
    const ChapterListing& listing = built.listing ? *built.listing : made;
    std::vector<IndexEntry>& index = out_.ws.IndexEntries;
    index.insert(index.end(), listing.index.begin(), listing.index.end());
    // One append per file and chapter keeps the growing files linear in the book's size.
    if (help) {
        ++helpBook_.pages;
        // A page with files in the record was stamped just now: no need to ask again.
        helpBook_.pageBytes += built.files ? built.files->pageStamp.size : QFileInfo(out_.path(page)).size();
    }
    if (help && (!append(out_.helpPath(kHelpProject), HelpProjectFileLine(page)) ||
                 !append(out_.helpPath(kHelpContents), listing.helpBlock))) {
        return false;
    }
    if (active && !append(out_.path(kActiveContents), listing.activeBlock)) {
        return false;
    }
    return settings_.ModernLayout || append(out_.path(kDetailedContents), listing.rows);
}

/// Adds a text to a growing file on a line of its own; a failed write is told
/// at once. Each text ends with the line end written before the next one, the
/// last with the one finish() writes.
bool ChapterLists::append(const QString& path, const QString& text) {
    TextFileWriter* file = growingFile(path);
    if (file == nullptr) {
        return out_.keeps(path.mid(out_.folder.size()));
    }
    if (text.isEmpty()) {
        return true;
    }
    file->writeOnNewLine(text);
    if (file->failed()) {
        file->finish(ui_);
        return false;
    }
    return true;
}

bool ChapterLists::finish() {
    if (!settings_.ModernLayout && !append(out_.path(kDetailedContents), DetailedContentsClosing())) {
        return false;
    }
    if (settings_.GenerateHtmlHelpFiles && !append(out_.helpPath(kHelpContents), ContentsClosing())) {
        return false;
    }
    if (settings_.Collapsible && !append(out_.path(kActiveContents), ContentsClosing())) {
        return false;
    }
    for (auto& [path, file] : growing_) {
        if (!file->finish(ui_)) {
            return false;
        }
    }
    growing_.clear();
    return true;
}

}  // namespace tessarel
