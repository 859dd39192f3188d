// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <clocale>
#include <cstring>

namespace quillet::gui {

QLocale windowLanguage() {
    // gettext speaks English in the "C" locale whatever LANGUAGE asks for.
    const char* messages = std::setlocale(LC_MESSAGES, nullptr);
    if (messages == nullptr || std::strcmp(messages, "C") == 0 ||
        std::strcmp(messages, "POSIX") == 0) {
        return QLocale::c();
    }
    return QLocale();
}

WindowTranslations::WindowTranslations(const QLocale& language) {
    if (language.language() == QLocale::C) {
        return;  // the texts in the code are the English ones
    }
    windowLoaded_ = window_.load(language, QStringLiteral("quillet"), QStringLiteral("_"),
                                 QStringLiteral(":/translations"));
    if (windowLoaded_) {
        QCoreApplication::installTranslator(&window_);
    }
    qtLoaded_ = qt_.load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtLoaded_) {
        QCoreApplication::installTranslator(&qt_);
    }
}

WindowTranslations::~WindowTranslations() {
    QCoreApplication::removeTranslator(&qt_);
    QCoreApplication::removeTranslator(&window_);
}

}  // namespace quillet::gui
