// SPDX-License-Identifier: GPL-3.0-or-later
#include "time_zone_menu.h"

#include <QActionGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QVBoxLayout>

#include "app/time_zone_setting.h"
#include "text/translation.h"

namespace quillet::gui {

namespace {

const QString kTimeZoneKey = QStringLiteral("timeZone");

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// One of the core's marked texts in the person's language.
QString translated(std::string_view english) {
    return fromUtf8(translate(english));
}

QSettings settings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillet"),
                     QStringLiteral("quillet"));
}

}  // namespace

TimeZoneMenu::TimeZoneMenu(const TimeZone& shown, QWidget* parent)
    : QMenu(translated(kTimeZoneMenuText), parent) {
    auto* group = new QActionGroup(this);
    utc_ = addAction(fromUtf8(kUtcZoneText));
    computer_ = addAction(fromUtf8(computerZoneText(TimeZone::computer())));
    other_ = addAction(translated(kOtherZoneText));
    for (QAction* action : {utc_, computer_, other_}) {
        action->setCheckable(true);
        group->addAction(action);
    }
    showZone(shown);
    // The computer's zone may have changed since the menu was made.
    connect(this, &QMenu::aboutToShow, this,
            [this] { computer_->setText(fromUtf8(computerZoneText(TimeZone::computer()))); });
    connect(utc_, &QAction::triggered, this, [this] { emit zoneChosen(TimeZone()); });
    connect(computer_, &QAction::triggered, this,
            [this] { emit zoneChosen(TimeZone::computer()); });
    connect(other_, &QAction::triggered, this, &TimeZoneMenu::chooseOther);
}

void TimeZoneMenu::showZone(const TimeZone& zone) {
    shown_ = zone;
    utc_->setChecked(zone.kind() == TimeZone::Kind::Utc);
    computer_->setChecked(zone.kind() == TimeZone::Kind::Computer);
    other_->setChecked(zone.kind() == TimeZone::Kind::Named);
    other_->setText(zone.kind() == TimeZone::Kind::Named
                        ? translated(kOtherZoneText) + QStringLiteral(" (") +
                              fromUtf8(zone.name()) + QStringLiteral(")")
                        : translated(kOtherZoneText));
}

void TimeZoneMenu::chooseOther() {
    ZoneChooser chooser(shown_, parentWidget());
    const std::optional<TimeZone> zone =
        chooser.exec() == QDialog::Accepted ? chooser.chosenZone() : std::nullopt;
    if (zone) {
        emit zoneChosen(*zone);
    } else {
        showZone(shown_);  // cancelled: the check mark goes back
    }
}

ZoneChooser::ZoneChooser(const TimeZone& shown, QWidget* parent) : QDialog(parent) {
    setWindowTitle(translated(kChooseZoneCaption));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(translated(kChooseZoneFilterText), this);
    search_ = new QLineEdit(this);
    label->setBuddy(search_);
    zones_ = new QListWidget(this);
    for (const TimeZoneChoice& choice : timeZoneChoices()) {
        auto* item = new QListWidgetItem(fromUtf8(choice.text), zones_);
        item->setData(Qt::UserRole, fromUtf8(choice.name));
        if (shown.kind() == TimeZone::Kind::Named && choice.name == shown.name()) {
            zones_->setCurrentItem(item);
        }
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(label);
    layout->addWidget(search_);
    layout->addWidget(zones_);
    layout->addWidget(buttons);
    resize(360, 420);
    connect(search_, &QLineEdit::textChanged, this, &ZoneChooser::showMatches);
    connect(zones_, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    search_->setFocus();
}

void ZoneChooser::showMatches(const QString& search) {
    const std::string part = search.trimmed().toStdString();
    QListWidgetItem* first = nullptr;
    for (int i = 0; i < zones_->count(); ++i) {
        QListWidgetItem* item = zones_->item(i);
        const bool match = zoneMatches(item->data(Qt::UserRole).toString().toStdString(),
                                       item->text().toStdString(), part);
        item->setHidden(!match);
        if (match && first == nullptr) {
            first = item;
        }
    }
    if (zones_->currentItem() == nullptr || zones_->currentItem()->isHidden()) {
        zones_->setCurrentItem(first);
    }
}

std::optional<TimeZone> ZoneChooser::chosenZone() const {
    const QListWidgetItem* item = zones_->currentItem();
    if (item == nullptr || item->isHidden()) {
        return std::nullopt;
    }
    return TimeZone::named(item->data(Qt::UserRole).toString().toStdString());
}

TimeZone rememberedTimeZone() {
    return timeZoneOfSetting(settings().value(kTimeZoneKey).toString().toStdString());
}

void rememberTimeZone(const TimeZone& zone) {
    QSettings store = settings();
    store.setValue(kTimeZoneKey, fromUtf8(zone.setting()));
}

}  // namespace quillet::gui
