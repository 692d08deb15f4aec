#pragma once
#include "settings/settings.h"

#include <QObject>
#include <QString>

class QAction;

namespace hl {

class SaveGate;
class SettingsStore;
class TAppForm;

// Binds the main window's option controls to settings.ini through the key table: applies the
// stored values in start-up order and saves each key from its control's own change handler the
// moment it changes. Menu switches save when clicked; check boxes, text and number boxes on every
// change of their state, also one made by the start-up code. GUI thread only.
class SettingsBinder : public QObject {
    Q_OBJECT
public:
    SettingsBinder(TAppForm* form, SettingsStore& store, SaveGate& saves, QObject* parent);

    // Puts every stored option into its control, in the key table's order: the save folder (or
    // desktopFolder), the extension, the switches and the proxy type, the time-outs, the user
    // agent, and last the advanced rows (shown when "ShowSettings" is "ON").
    void applyStoredSettings(const QString& desktopFolder);

    // Settings1Click, after the click has flipped the check mark: shows or hides the five
    // advanced rows and saves "ShowSettings".
    void showAdvancedSettings(bool shown);

    void write(SettingKey key, const QString& value);

private:
    void bind(const SettingDefinition& definition);
    void apply(const SettingDefinition& definition, const Settings& stored, const QString& desktopFolder);
    void bindProxyTypes();

    TAppForm* form_;
    SettingsStore& store_;
    SaveGate& saves_;
};

} // namespace hl
