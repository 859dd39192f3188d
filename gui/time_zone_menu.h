// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QMenu>
#include <optional>

#include "device/time_zone.h"

class QAction;
class QLineEdit;
class QListWidget;

namespace quillet::gui {

// Time zone ▸ "UTC", "This computer (…)", "Other…": the zone shown is checked; a choice
// is announced with zoneChosen. "Other…" asks with a ZoneChooser.
class TimeZoneMenu : public QMenu {
    Q_OBJECT

public:
    TimeZoneMenu(const TimeZone& shown, QWidget* parent);

    // Checks the entry of the zone the list now shows.
    void showZone(const TimeZone& zone);
    QAction* utcAction() const { return utc_; }
    QAction* computerAction() const { return computer_; }
    QAction* otherAction() const { return other_; }

signals:
    void zoneChosen(const quillet::TimeZone& zone);

private:
    void chooseOther();

    QAction* utc_ = nullptr;
    QAction* computer_ = nullptr;
    QAction* other_ = nullptr;
    TimeZone shown_;
};

// The searchable list of the system's zones.
class ZoneChooser : public QDialog {
    Q_OBJECT

public:
    ZoneChooser(const TimeZone& shown, QWidget* parent);

    QLineEdit* searchField() const { return search_; }
    QListWidget* zoneList() const { return zones_; }
    // The zone picked, once the dialog was accepted.
    std::optional<TimeZone> chosenZone() const;

private:
    void showMatches(const QString& search);

    QLineEdit* search_ = nullptr;
    QListWidget* zones_ = nullptr;
};

// The zone the person chose last, kept in their settings; UTC before the first choice.
TimeZone rememberedTimeZone();
void rememberTimeZone(const TimeZone& zone);

}  // namespace quillet::gui
