#pragma once

#include <QDialog>

namespace quillet::gui {

// "About": the icon, the name, the version, a notice, a web address and an e-mail
// address, and OK.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace quillet::gui
