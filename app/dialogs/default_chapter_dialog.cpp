#include "app/dialogs/default_chapter_dialog.h"

#include "app/handler_guard.h"

#include "book/workspace.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tessarel {

namespace {
constexpr int kListWidth = 380;
constexpr int kFileNameWidth = 150;
}  // namespace

DefaultChapterDialog::DefaultChapterDialog(QWidget* owner, Workspace& workspace, MainWindowState& state)
    : ModalDialog(owner, workspace, state, QStringLiteral("visual_default_chapter.txt.htm")),
      chapterList(new QTreeWidget(this)),
      chosenChapterLabel(new QLabel(this)),
      noteLabel(new QLabel(QStringLiteral("Note:"), this)),
      okButton(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      clearButton(new QPushButton(QStringLiteral("&Clear"), this)),
      helpButton(new QPushButton(QStringLiteral("&Help"), this)),
      table_(workspace.project) {
    setObjectName(QStringLiteral("DefaultChapterDialog"));
    setWindowTitle(QStringLiteral("Default Chapter"));
    chapterList->setObjectName(QStringLiteral("chapterList"));
    chosenChapterLabel->setObjectName(QStringLiteral("chosenChapterLabel"));
    noteLabel->setObjectName(QStringLiteral("noteLabel"));
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    clearButton->setObjectName(QStringLiteral("clearButton"));
    helpButton->setObjectName(QStringLiteral("helpButton"));

    chapterList->setRootIsDecorated(false);
    chapterList->setUniformRowHeights(true);
    chapterList->setSelectionMode(QAbstractItemView::SingleSelection);
    chapterList->setFixedWidth(kListWidth);
    chapterList->header()->setSectionsClickable(true);
    chapterList->header()->setStretchLastSection(false);
    chosenChapterLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    chosenChapterLabel->setMinimumHeight(chosenChapterLabel->fontMetrics().height() + 8);
    noteLabel->setStyleSheet(QStringLiteral("color: #ff0000; font-weight: bold;"));

    auto* listLabel = new QLabel(QStringLiteral("Select &File Name:"), this);
    listLabel->setBuddy(chapterList);
    auto* note = new QHBoxLayout;
    note->addWidget(noteLabel);
    note->addWidget(new QLabel(QStringLiteral("Files are sorted alphabetically. "), this), 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {okButton, cancelButton, clearButton, helpButton}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(listLabel, 0, 0);
    grid->addWidget(chapterList, 1, 0);
    grid->addWidget(chosenChapterLabel, 2, 0);
    grid->addLayout(note, 3, 0);
    grid->addLayout(buttons, 1, 1, 3, 1);
    grid->setRowStretch(1, 1);
    resize(sizeHint().width(), 360);

    connect(chapterList, &QTreeWidget::itemClicked, this, &DefaultChapterDialog::chooseChapter);
    connect(chapterList->header(), &QHeaderView::sectionClicked, this, &DefaultChapterDialog::sortByColumn);
    connect(okButton, &QPushButton::clicked, this, &DefaultChapterDialog::acceptChapter);
    connect(cancelButton, &QPushButton::clicked, this, &DefaultChapterDialog::cancel);
    connect(clearButton, &QPushButton::clicked, this, &DefaultChapterDialog::clearChoice);
    connect(helpButton, &QPushButton::clicked, this, &DefaultChapterDialog::showHelp);
    okButton->setDefault(true);

    loadValues();
}

void DefaultChapterDialog::loadValues() {
    RunIgnoringErrors([&] { chosenChapterLabel->setText(workspace_.project.settings.HomeChapter); });
    RunIgnoringErrors([&] {
        chapterList->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("Relative Path")});
        const int inner = kListWidth - 2 * chapterList->frameWidth();
        const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, chapterList);
        chapterList->setColumnWidth(0, kFileNameWidth);
        chapterList->setColumnWidth(
            1, RelativePathColumnWidth(inner, kFileNameWidth, static_cast<int>(table_.rows().size()), scrollBar));
    });
    RunIgnoringErrors([&] { showRows(); });
}

void DefaultChapterDialog::showRows() {
    chapterList->clear();
    const QIcon icon = ChapterIcon();
    const QString chosen = chosenChapterLabel->text();
    QTreeWidgetItem* current = nullptr;
    for (const ChapterRow& row : table_.rows()) {
        auto* item = new QTreeWidgetItem(chapterList, {row.name, ShownRelativePath(row.relPath)});
        item->setIcon(0, icon);
        if (current == nullptr && !chosen.isEmpty() && row.name == chosen) {
            current = item;
        }
    }
    // The chapter chosen now is the one the list shows selected.
    if (current != nullptr) {
        chapterList->setCurrentItem(current);
        chapterList->scrollToItem(current);
    }
    chapterList->header()->setSortIndicatorShown(true);
    chapterList->header()->setSortIndicator(table_.sortColumn(),
                                            table_.descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void DefaultChapterDialog::chooseChapter(QTreeWidgetItem* item) {
    if (item != nullptr) {
        chosenChapterLabel->setText(item->text(0));
    }
}

void DefaultChapterDialog::sortByColumn(int column) {
    table_.clickHeader(column);
    showRows();
}

void DefaultChapterDialog::clearChoice() { chosenChapterLabel->clear(); }

void DefaultChapterDialog::acceptChapter() {
    RunIgnoringErrors([&] { workspace_.project.settings.HomeChapter = chosenChapterLabel->text(); });
    closeWithOk();
}

}  // namespace tessarel
