#pragma once

#include "app/dialogs/dialog_support.h"
#include "support/settings.h"

#include <vector>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace tessarel {

/// "Comments": which comment styles the scanner looks for, in the open
/// project or, without one, in the stored single-file styles.
class frmComments : public ModalDialog {
    Q_OBJECT
public:
    frmComments(QWidget* owner, Workspace& workspace, MainWindowState& state);

    void cmdOK_Click();
    /// The box of a style, by its name ("chkS1" .. "chkM4").
    QCheckBox* box(const QString& name) const;
    /// The styles as the boxes show them.
    CommentStyles chosenStyles() const;

    QGroupBox* frameSingle;
    QGroupBox* frameMultiple;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

private:
    std::vector<QCheckBox*> boxes_;  ///< in the order of kCommentStyleBoxes
};

}  // namespace tessarel
