// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace quillet::gui {

// The program's own icon (a quill over a track line and a map pin), from the resources.
QIcon applicationIcon();

}  // namespace quillet::gui
