#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tessarel {

/// Help, About: version, copyright, support address and the maker's web page.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* owner);

    QLabel* versionLabel;
    QLabel* copyrightLabel;
    QLabel* supportLabel;
    QLabel* makerLabel;
    QPushButton* okButton;
};

/// The copyright line of the about box.
QString CopyrightLine();

}  // namespace tessarel
