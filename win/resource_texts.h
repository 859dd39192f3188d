// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the dialogs of quillet.rc, marked for the catalogue: the build writes the
// Russian dialogs from quillet.rc with their translations, and stops when one is missing.
// The hidden controls' texts are never shown and are left out, as is the name Quillet.
#pragma once

#include "text/translation.h"

namespace quillet::win {

inline constexpr const char* kResourceTexts[] = {
    // The main window's buttons.
    QUILLET_TEXT("Make GPX"),
    QUILLET_TEXT("Delete"),
    // About.
    QUILLET_TEXT("About"),
    QUILLET_TEXT("Version 1.0"),
    QUILLET_TEXT("Copyright (c) 2026 the Quillet developers"),
    QUILLET_TEXT("GNU General Public License,"),
    QUILLET_TEXT("version 3 or later"),
    QUILLET_TEXT("OK"),
    // History, and the question of a deletion or a restore.
    QUILLET_TEXT("History"),
    QUILLET_TEXT("Restore"),
    QUILLET_TEXT("Close"),
    QUILLET_TEXT("Cancel"),
};

}  // namespace quillet::win
