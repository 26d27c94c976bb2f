#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace tessarel {

/// The busy window shown while a project file is read or written.
class BusyWindow : public QDialog {
    Q_OBJECT
public:
    explicit BusyWindow(QWidget* owner);

    void setTexts(const QString& title, const QString& current);
    void setMaximum(int maximum);
    void setValue(int value);

    QLabel* titleLabel;
    QLabel* currentLabel;
    QProgressBar* progressBar;

protected:
    void reject() override {}
};

}  // namespace tessarel
