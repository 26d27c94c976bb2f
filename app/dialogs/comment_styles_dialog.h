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
class CommentStylesDialog : public ModalDialog {
    Q_OBJECT
public:
    CommentStylesDialog(QWidget* owner, Workspace& workspace, MainWindowState& state);

    void acceptStyles();
    /// The box of a style.
    QCheckBox* box(bool CommentStyles::*style) const;
    /// The styles as the boxes show them.
    CommentStyles chosenStyles() const;

    QGroupBox* singleLineGroup;
    QGroupBox* multiLineGroup;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QPushButton* helpButton;

private:
    std::vector<QCheckBox*> boxes_;  ///< in the order of kCommentStyleBoxes
};

}  // namespace tessarel
