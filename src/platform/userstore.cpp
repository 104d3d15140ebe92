#include "userstore.h"

#include <QSettings>
#include <memory>

namespace UserStore {

namespace {
// Organisation and application are both the store's application name; one group per section.
std::unique_ptr<QSettings> open(const QString& appName)
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, appName, appName);
}
}

QString GetSetting(const QString& appName, const QString& section, const QString& key, const QString& fallback)
{
    return open(appName)->value(section + "/" + key, fallback).toString();
}

void SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value)
{
    auto s = open(appName);
    s->setValue(section + "/" + key, value);
    s->sync();
}

} // namespace UserStore
