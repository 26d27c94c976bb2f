#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace tessarel {

/// The busy window shown while a project file is read or written.
class frmLoad : public QDialog {
    Q_OBJECT
public:
    explicit frmLoad(QWidget* owner);

    void setTexts(const QString& title, const QString& current);
    void setMaximum(int maximum);
    void setValue(int value);

    QLabel* lblTitle;
    QLabel* lblCurrent;
    QProgressBar* ProgressBar1;

protected:
    void reject() override {}
};

}  // namespace tessarel
