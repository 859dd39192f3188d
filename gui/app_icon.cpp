// SPDX-License-Identifier: GPL-3.0-or-later
#include "app_icon.h"

#include <array>

// The resources live in a static library: registering them by hand keeps the linker
// from dropping them.
static void registerResources() {
    Q_INIT_RESOURCE(quillet);
}

namespace quillet::gui {

QIcon applicationIcon() {
    registerResources();
    constexpr std::array sizes{16, 32, 48, 256};
    QIcon icon;
    for (const int size : sizes) {
        icon.addFile(QStringLiteral(":/quillet/quillet-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace quillet::gui
