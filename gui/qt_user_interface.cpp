// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt_user_interface.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

#include "text/translation.h"

namespace quillet::gui {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// A command that runs under the busy cursor may stop to ask the person something: the
// dialog gets the normal arrow for as long as it is open.
class NormalCursorWhileAsking {
public:
    NormalCursorWhileAsking() : busy_(QApplication::overrideCursor() != nullptr) {
        if (busy_) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ~NormalCursorWhileAsking() {
        if (busy_) {
            QApplication::restoreOverrideCursor();
        }
    }
    NormalCursorWhileAsking(const NormalCursorWhileAsking&) = delete;
    NormalCursorWhileAsking& operator=(const NormalCursorWhileAsking&) = delete;

private:
    bool busy_;
};

}  // namespace

Answer QtUserInterface::showMessage(std::string_view text, std::string_view caption,
                                    Buttons buttons, Icon icon) {
    const NormalCursorWhileAsking cursor;
    const QMessageBox::StandardButtons choice = buttons == Buttons::OkCancel
                                                    ? QMessageBox::Ok | QMessageBox::Cancel
                                                    : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox box(boxIcon(icon), toQString(caption), toQString(text), choice, parent_);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Cancel ? Answer::Cancel : Answer::Ok;
}

Answer QtUserInterface::askWithHistoryBox(std::string_view text, std::string_view caption,
                                          bool& keep) {
    const NormalCursorWhileAsking cursor;
    QMessageBox box(QMessageBox::Warning, toQString(caption), toQString(text),
                    QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    auto* keepBox = new QCheckBox(toQString(translate(kKeepInHistoryText)), &box);
    keepBox->setChecked(keep);
    box.setCheckBox(keepBox);
    const bool ok = box.exec() != QMessageBox::Cancel;
    keep = keepBox->isChecked();
    return ok ? Answer::Ok : Answer::Cancel;
}

std::optional<std::filesystem::path> QtUserInterface::askSavePath(
    const SaveDialogRequest& request) {
    const NormalCursorWhileAsking cursor;
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Several file types are separated by ";;"; the first is the default. A name typed
    // without an extension gets the one of the chosen type.
    dialog.setNameFilters(toQString(request.filter).split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(toQString(request.defaultExtension));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        const qsizetype star = f.indexOf(QStringLiteral("*."));
        if (star >= 0) {
            dialog.setDefaultSuffix(
                f.mid(star + 2).section(QRegularExpression(QStringLiteral("[ )]")), 0, 0));
        }
    });
    dialog.setDirectory(QDir::currentPath());
    dialog.selectFile(toQString(request.defaultName));
    // Choosing an existing file asks for confirmation (the dialog's default).
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QByteArray local = QFile::encodeName(dialog.selectedFiles().constFirst());
    return std::filesystem::path(local.toStdString());
}

std::string QtUserInterface::applicationName() const {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

}  // namespace quillet::gui
