// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QTranslator>

namespace quillet::gui {

// The language the window speaks: the person's (QLocale(), the system's unless set
// otherwise, whose languages follow LANGUAGE, LC_ALL, LC_MESSAGES and LANG) where the
// core's catalogue speaks it too, that is where the messages' locale is not "C" or
// "POSIX"; the C locale, English, otherwise. Read after quillet::startTranslations, so
// that both halves of the window speak one language.
QLocale windowLanguage();

// The window's own texts (built into the program from translations/quillet_<lang>.ts)
// and Qt's (the standard buttons of its dialogs, from Qt's translations folder) in the
// language, for as long as this object lives. Either may be missing: its texts then
// stay English.
class WindowTranslations {
public:
    explicit WindowTranslations(const QLocale& language);
    ~WindowTranslations();
    WindowTranslations(const WindowTranslations&) = delete;
    WindowTranslations& operator=(const WindowTranslations&) = delete;

    bool windowTextsLoaded() const { return windowLoaded_; }
    bool qtTextsLoaded() const { return qtLoaded_; }

private:
    QTranslator window_;
    QTranslator qt_;
    bool windowLoaded_ = false;
    bool qtLoaded_ = false;
};

}  // namespace quillet::gui
