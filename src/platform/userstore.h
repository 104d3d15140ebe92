#pragma once
#include <QString>

// The per-user store for application settings: application, section and value name, as the
// Windows design kept them in the registry. Here a settings file under $XDG_CONFIG_HOME.
namespace UserStore {

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& fallback = {});
void SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value);

} // namespace UserStore
