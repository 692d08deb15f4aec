#include "ui/settingsbinder.h"

#include "settings/settingsstore.h"
#include "ui/advancedsettingspanel.h"
#include "ui/appform.h"
#include "ui/foldercommands.h"
#include "ui/savegate.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

namespace hl {
namespace {

bool boundAtStartup(const SettingDefinition& definition) {
    return definition.window == SettingWindow::Main && definition.appliedAtStartup;
}

} // namespace

SettingsBinder::SettingsBinder(TAppForm* form, SettingsStore& store, SaveGate& saves, QObject* parent)
    : QObject(parent), form_(form), store_(store), saves_(saves) {
    for (const SettingDefinition& definition : SettingDefinitions())
        if (boundAtStartup(definition)) bind(definition);
}

void SettingsBinder::write(SettingKey key, const QString& value) {
    saves_.save(store_.FilePath(), [&] { store_.WriteText(key, value); });
}

// One change handler per control; the key table names the control by its designer name.
void SettingsBinder::bind(const SettingDefinition& definition) {
    const SettingKey key = definition.key;
    QObject* control = form_->findChild<QObject*>(definition.control);
    if (definition.kind == SettingKind::ProxyType) return bindProxyTypes();
    if (key == SettingKey::ShowSettings) {
        connect(form_->menu().advancedSettings, &QAction::triggered, this,
                &SettingsBinder::showAdvancedSettings);
    } else if (key == SettingKey::MultiThreaded) {
        // Its click opens the Multi-Threading dialog or switches off; MultiThreadingCommand saves it.
    } else if (auto* action = qobject_cast<QAction*>(control)) {
        connect(action, &QAction::triggered, this, [this, key](bool on) { write(key, SwitchText(on)); });
    } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
        connect(box, &QCheckBox::toggled, this, [this, key](bool on) { write(key, SwitchText(on)); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        connect(edit, &QLineEdit::textChanged, this, [this, key](const QString& text) { write(key, text); });
    } else if (auto* number = qobject_cast<QSpinBox*>(control)) {
        connect(number, &QSpinBox::valueChanged, this,
                [this, key](int value) { write(key, QString::number(value)); });
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        connect(combo, &QComboBox::editTextChanged, this,
                [this, key](const QString& text) { write(key, text); });
    } else {
        qFatal("No control named %s for the key %s", definition.control.data(), definition.name.data());
    }
}

void SettingsBinder::bindProxyTypes() {
    for (const ProxyTypeItem& item : ProxyTypeItems(form_->menu())) {
        const ProxyType type = item.type;
        connect(item.action, &QAction::triggered, this,
                [this, type] { write(SettingKey::ProxyType, ProxyTypeText(type)); });
    }
}

void SettingsBinder::applyStoredSettings(const QString& desktopFolder) {
    const Settings stored = store_.Snapshot();
    for (const SettingDefinition& definition : SettingDefinitions())
        if (boundAtStartup(definition)) apply(definition, stored, desktopFolder);
}

void SettingsBinder::apply(const SettingDefinition& definition, const Settings& stored,
                           const QString& desktopFolder) {
    QObject* control = form_->findChild<QObject*>(definition.control);
    switch (definition.key) {
    case SettingKey::SaveLocation: {
        // The box's change handler writes the value back, so settings.ini exists after every start.
        auto* box = qobject_cast<QLineEdit*>(control);
        box->setText(stored.SaveLocation(desktopFolder));
        form_->folderCommands()->setSaveFolder(box->text());
        return;
    }
    case SettingKey::ProxyType:
        for (const ProxyTypeItem& item : ProxyTypeItems(form_->menu()))
            if (item.type == stored.ProxyType()) item.action->setChecked(true);
        return;
    case SettingKey::ShowSettings:
        form_->advancedSettings()->hide();
        if (stored.Switch(definition.key)) {
            form_->menu().advancedSettings->setChecked(true);
            showAdvancedSettings(true);
        }
        return;
    default:
        break;
    }
    if (definition.kind == SettingKind::Switch) {
        if (auto* action = qobject_cast<QAction*>(control)) action->setChecked(stored.Switch(definition.key));
        if (auto* box = qobject_cast<QCheckBox*>(control)) box->setChecked(stored.Switch(definition.key));
    } else if (definition.kind == SettingKind::Integer) {
        qobject_cast<QSpinBox*>(control)->setValue(stored.Number(definition.key));
    } else if (const QString text = stored.Text(definition.key); !text.isEmpty()) {
        if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->setText(text);
        if (auto* combo = qobject_cast<QComboBox*>(control)) combo->setEditText(text);
    }
}

void SettingsBinder::showAdvancedSettings(bool shown) {
    form_->advancedSettings()->setVisible(shown);
    write(SettingKey::ShowSettings, SwitchText(shown));
}

} // namespace hl
