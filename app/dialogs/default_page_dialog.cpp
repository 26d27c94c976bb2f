#include "app/dialogs/default_page_dialog.h"

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

frmDefaultPage::frmDefaultPage(QWidget* owner, Workspace& workspace, MainWindowState& state)
    : ModalDialog(owner, workspace, state, QStringLiteral("visual_default_chapter.txt.htm")),
      ListView1(new QTreeWidget(this)),
      lblDefaultPage(new QLabel(this)),
      lblNote(new QLabel(QStringLiteral("Note:"), this)),
      cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      cmdClear(new QPushButton(QStringLiteral("&Clear"), this)),
      cmdHelp(new QPushButton(QStringLiteral("&Help"), this)),
      table_(workspace.project) {
    setObjectName(QStringLiteral("frmDefaultPage"));
    setWindowTitle(QStringLiteral("Default Chapter"));
    ListView1->setObjectName(QStringLiteral("ListView1"));
    lblDefaultPage->setObjectName(QStringLiteral("lblDefaultPage"));
    lblNote->setObjectName(QStringLiteral("lblNote"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));

    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setFixedWidth(kListWidth);
    ListView1->header()->setSectionsClickable(true);
    ListView1->header()->setStretchLastSection(false);
    lblDefaultPage->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblDefaultPage->setMinimumHeight(lblDefaultPage->fontMetrics().height() + 8);
    lblNote->setStyleSheet(QStringLiteral("color: #ff0000; font-weight: bold;"));

    auto* listLabel = new QLabel(QStringLiteral("Select &File Name:"), this);
    listLabel->setBuddy(ListView1);
    auto* note = new QHBoxLayout;
    note->addWidget(lblNote);
    note->addWidget(new QLabel(QStringLiteral("Files are sorted alphabetically. "), this), 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {cmdOK, cmdCancel, cmdClear, cmdHelp}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(listLabel, 0, 0);
    grid->addWidget(ListView1, 1, 0);
    grid->addWidget(lblDefaultPage, 2, 0);
    grid->addLayout(note, 3, 0);
    grid->addLayout(buttons, 1, 1, 3, 1);
    grid->setRowStretch(1, 1);
    resize(sizeHint().width(), 360);

    connect(ListView1, &QTreeWidget::itemClicked, this, &frmDefaultPage::ListView1_ItemClick);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this, &frmDefaultPage::ListView1_ColumnClick);
    connect(cmdOK, &QPushButton::clicked, this, &frmDefaultPage::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDefaultPage::cmdCancel_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmDefaultPage::cmdClear_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmDefaultPage::cmdHelp_Click);
    cmdOK->setDefault(true);

    Form_Load();
}

void frmDefaultPage::Form_Load() {
    RunPassingOver([&] { lblDefaultPage->setText(workspace_.project.settings.HomeChapter); });
    RunPassingOver([&] {
        ListView1->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("Relative Path")});
        const int inner = kListWidth - 2 * ListView1->frameWidth();
        const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ListView1);
        ListView1->setColumnWidth(0, kFileNameWidth);
        ListView1->setColumnWidth(
            1, RelativePathColumnWidth(inner, kFileNameWidth, static_cast<int>(table_.rows().size()), scrollBar));
    });
    RunPassingOver([&] { showRows(); });
}

void frmDefaultPage::showRows() {
    ListView1->clear();
    const QIcon icon = ChapterIcon();
    for (const ChapterRow& row : table_.rows()) {
        auto* item = new QTreeWidgetItem(ListView1, {row.name, row.relPath});
        item->setIcon(0, icon);
    }
    ListView1->header()->setSortIndicatorShown(true);
    ListView1->header()->setSortIndicator(table_.sortColumn(),
                                          table_.descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void frmDefaultPage::ListView1_ItemClick(QTreeWidgetItem* item) {
    if (item != nullptr) {
        lblDefaultPage->setText(item->text(0));
    }
}

void frmDefaultPage::ListView1_ColumnClick(int column) {
    table_.clickHeader(column);
    showRows();
}

void frmDefaultPage::cmdClear_Click() { lblDefaultPage->clear(); }

void frmDefaultPage::cmdOK_Click() {
    RunPassingOver([&] { workspace_.project.settings.HomeChapter = lblDefaultPage->text(); });
    closeWithOk();
}

}  // namespace tessarel
