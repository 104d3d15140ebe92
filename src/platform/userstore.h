#pragma once
#include <QList>
#include <QPair>
#include <QString>

// The per-user store for application settings: application, section and value name, as the
// Windows design kept them in the registry. Here a settings file under $XDG_CONFIG_HOME.
namespace UserStore {

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& fallback = {});
// False when the store's file could not be written (a full disk, a read-only folder).
bool SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value);
// Several values of one section in one write; false when the file could not be written.
bool SaveSettings(const QString& appName, const QString& section, const QList<QPair<QString, QString>>& values);
// The file that holds the application's values.
QString FilePath(const QString& appName);
// Tells the user that what (a sentence's subject, "The recent files") could not be stored.
void TellFailure(const QString& appName, const QString& what);

} // namespace UserStore
