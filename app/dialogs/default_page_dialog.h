#pragma once

#include "app/dialogs/chapter_table.h"
#include "app/dialogs/dialog_support.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tessarel {

/// "Default Chapter": which chapter the book opens with.
class frmDefaultPage : public ModalDialog {
    Q_OBJECT
public:
    frmDefaultPage(QWidget* owner, Workspace& workspace, MainWindowState& state);

    void cmdOK_Click();
    void cmdClear_Click();
    void ListView1_ItemClick(QTreeWidgetItem* item);
    void ListView1_ColumnClick(int column);

    const ChapterTable& table() const { return table_; }

    QTreeWidget* ListView1;
    QLabel* lblDefaultPage;
    QLabel* lblNote;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdClear;
    QPushButton* cmdHelp;

private:
    void Form_Load();
    void showRows();

    ChapterTable table_;
};

}  // namespace tessarel
