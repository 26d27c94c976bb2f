#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tessarel {

/// Help, About: version, copyright, the licence, support address and the
/// maker's web page.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* owner);

    QLabel* versionLabel;
    QLabel* copyrightLabel;
    QLabel* licenceLabel;
    QLabel* supportLabel;
    QLabel* makerLabel;
    QPushButton* okButton;

Q_SIGNALS:
    /// The licence's link was followed: its text, shipped with the program, is to be shown.
    void licenceRequested();
};

/// The copyright line of the about box.
QString CopyrightLine();
/// The licence as the about box names it.
QString LicenceLine();
/// The file of the licence's text among the program files.
inline constexpr char16_t kLicenceFileName[] = u"LICENSE";

}  // namespace tessarel
