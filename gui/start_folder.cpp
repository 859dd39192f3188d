// SPDX-License-Identifier: GPL-3.0-or-later
#include "start_folder.h"

#include <QDir>
#include <QSettings>
#include <system_error>

namespace quillet::gui {

namespace {

const QString kLastFolderKey = QStringLiteral("lastFolder");
const QString kGeometryKey = QStringLiteral("windowGeometry");

QSettings settings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillet"),
                     QStringLiteral("quillet"));
}

std::filesystem::path toPath(const QString& folder) {
    return std::filesystem::path(QDir::toNativeSeparators(folder).toStdU16String());
}

}  // namespace

QString windowUsage() {
    return QCoreApplication::translate("quillet::gui::WindowArguments", kWindowUsage);
}

WindowArguments parseWindowArguments(const QStringList& arguments) {
    WindowArguments parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("--choose-folder")) {
            parsed.chooseFolder = true;
        } else if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            parsed.help = true;
        } else if (argument == QStringLiteral("--version")) {
            parsed.version = true;
        } else if (argument == QStringLiteral("--screenshot") && i + 1 < arguments.size()) {
            parsed.screenshotDirectory = arguments[++i];
        } else if (argument.startsWith('-') && argument.size() > 1) {
            parsed.error = QCoreApplication::translate("quillet::gui::WindowArguments",
                                                       "unknown option \"%1\"")
                               .arg(argument);
        } else if (parsed.folder) {
            parsed.error = QCoreApplication::translate("quillet::gui::WindowArguments",
                                                       "give one folder only");
        } else {
            parsed.folder = argument;
        }
    }
    return parsed;
}

std::optional<std::filesystem::path> startFolder(const WindowArguments& arguments,
                                                 const FolderChooser& choose,
                                                 const QString& lastFolder) {
    std::error_code error;
    if (arguments.folder) {
        const std::filesystem::path folder = toPath(*arguments.folder);
        const std::filesystem::path absolute = std::filesystem::absolute(folder, error);
        return error ? folder : absolute;
    }
    if (arguments.chooseFolder) {
        const QString startIn =
            !lastFolder.isEmpty() && QDir(lastFolder).exists() ? lastFolder : QDir::homePath();
        const std::optional<QString> chosen = choose(startIn);
        if (!chosen || chosen->isEmpty()) {
            return std::nullopt;
        }
        return toPath(*chosen);
    }
    return std::filesystem::current_path(error);
}

QString lastFolder() {
    return settings().value(kLastFolderKey).toString();
}

void rememberFolder(const std::filesystem::path& folder) {
    QSettings store = settings();
    store.setValue(kLastFolderKey, QString::fromStdU16String(folder.u16string()));
}

QByteArray lastWindowGeometry() {
    return settings().value(kGeometryKey).toByteArray();
}

void rememberWindowGeometry(const QByteArray& geometry) {
    QSettings store = settings();
    store.setValue(kGeometryKey, geometry);
}

}  // namespace quillet::gui
