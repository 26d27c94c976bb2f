#pragma once

#include "app/dialogs/chapter_table.h"
#include "app/dialogs/dialog_support.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tessarel {

/// "Default Chapter": which chapter the book opens with.
class DefaultChapterDialog : public ModalDialog {
    Q_OBJECT
public:
    DefaultChapterDialog(QWidget* owner, Workspace& workspace, MainWindowState& state);

    void acceptChapter();
    void clearChoice();
    void chooseChapter(QTreeWidgetItem* item);
    void sortByColumn(int column);

    QTreeWidget* chapterList;
    QLabel* chosenChapterLabel;
    QLabel* noteLabel;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QPushButton* clearButton;
    QPushButton* helpButton;

private:
    void loadValues();
    void showRows();

    ChapterTable table_;
};

}  // namespace tessarel
