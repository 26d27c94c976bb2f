#include "app/dialogs/comment_styles_dialog.h"

#include "app/dialogs/comment_style_choices.h"
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

CommentStylesDialog::CommentStylesDialog(QWidget* owner, Workspace& workspace, MainWindowState& state)
    : ModalDialog(owner, workspace, state, QStringLiteral("comments.txt.htm")),
      singleLineGroup(new QGroupBox(QStringLiteral("Single Line"), this)),
      multiLineGroup(new QGroupBox(QStringLiteral("Multiple Lines"), this)),
      okButton(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      helpButton(new QPushButton(QStringLiteral("&Help"), this)) {
    setObjectName(QStringLiteral("CommentStylesDialog"));
    setWindowTitle(QStringLiteral("Comments"));
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    helpButton->setObjectName(QStringLiteral("helpButton"));

    auto* single = new QGridLayout(singleLineGroup);
    auto* multiple = new QGridLayout(multiLineGroup);
    const CommentStyles styles = LoadCommentChoices(workspace.project, workspace.env.preferences);
    for (const CommentStyleBox& entry : kCommentStyleBoxes) {
        QGroupBox* frame = entry.singleLine ? singleLineGroup : multiLineGroup;
        QGridLayout* grid = entry.singleLine ? single : multiple;
        auto* box = new QCheckBox(QString::fromUtf16(entry.caption), frame);
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
    frames->addWidget(singleLineGroup);
    frames->addWidget(multiLineGroup);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);
    buttons->addStretch();
    auto* all = new QHBoxLayout(this);
    all->addLayout(frames, 1);
    all->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &CommentStylesDialog::acceptStyles);
    connect(cancelButton, &QPushButton::clicked, this, &CommentStylesDialog::cancel);
    connect(helpButton, &QPushButton::clicked, this, &CommentStylesDialog::showHelp);
    okButton->setDefault(true);
}

QCheckBox* CommentStylesDialog::box(bool CommentStyles::*style) const {
    size_t i = 0;
    for (const CommentStyleBox& entry : kCommentStyleBoxes) {
        if (entry.flag == style) {
            return boxes_[i];
        }
        ++i;
    }
    return nullptr;
}

CommentStyles CommentStylesDialog::chosenStyles() const {
    CommentStyles styles;
    size_t i = 0;
    for (const CommentStyleBox& entry : kCommentStyleBoxes) {
        styles.*entry.flag = boxes_[i++]->isChecked();
    }
    return styles;
}

void CommentStylesDialog::acceptStyles() {
    StoreCommentChoices(chosenStyles(), workspace_.project, workspace_.env.preferences);
    closeWithOk();
}

}  // namespace tessarel
