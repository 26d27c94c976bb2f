#include "app/dialogs/comments_dialog.h"

#include "app/dialogs/comment_choices.h"
#include "book/workspace.h"
#include "support/environment.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessarel {

frmComments::frmComments(QWidget* owner, Workspace& workspace, MainWindowState& state)
    : ModalDialog(owner, workspace, state, QStringLiteral("comments.txt.htm")),
      frameSingle(new QGroupBox(QStringLiteral("Single Line"), this)),
      frameMultiple(new QGroupBox(QStringLiteral("Multiple Lines"), this)),
      cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      cmdHelp(new QPushButton(QStringLiteral("&Help"), this)) {
    setObjectName(QStringLiteral("frmComments"));
    setWindowTitle(QStringLiteral("Comments"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));

    auto* single = new QGridLayout(frameSingle);
    auto* multiple = new QGridLayout(frameMultiple);
    const CommentStyles styles = LoadCommentChoices(workspace.project, workspace.env.preferences);
    for (const CommentStyleBox& entry : kCommentStyleBoxes) {
        QGroupBox* frame = entry.singleLine ? frameSingle : frameMultiple;
        QGridLayout* grid = entry.singleLine ? single : multiple;
        auto* box = new QCheckBox(QString::fromUtf16(entry.caption), frame);
        box->setObjectName(QString::fromUtf16(entry.name));
        box->setChecked(styles.*entry.flag);
        auto* hint = new QLabel(QString::fromUtf16(entry.hint), frame);
        hint->setEnabled(false);
        const int row = grid->rowCount();
        grid->addWidget(box, row, 0);
        grid->addWidget(hint, row, 1);
        boxes_.push_back(box);
    }
    single->setColumnStretch(1, 1);
    multiple->setColumnStretch(1, 1);

    auto* frames = new QVBoxLayout;
    frames->addWidget(frameSingle);
    frames->addWidget(frameMultiple);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    buttons->addStretch();
    auto* all = new QHBoxLayout(this);
    all->addLayout(frames, 1);
    all->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmComments::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmComments::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmComments::cmdHelp_Click);
    cmdOK->setDefault(true);
}

QCheckBox* frmComments::box(const QString& name) const {
    for (QCheckBox* box : boxes_) {
        if (box->objectName() == name) {
            return box;
        }
    }
    return nullptr;
}

CommentStyles frmComments::chosenStyles() const {
    CommentStyles styles;
    size_t i = 0;
    for (const CommentStyleBox& entry : kCommentStyleBoxes) {
        styles.*entry.flag = boxes_[i++]->isChecked();
    }
    return styles;
}

void frmComments::cmdOK_Click() {
    StoreCommentChoices(chosenStyles(), workspace_.project, workspace_.env.preferences);
    closeWithOk();
}

}  // namespace tessarel
