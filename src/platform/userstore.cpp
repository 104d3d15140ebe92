#include "userstore.h"

#include "platform/prompts.h"

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

bool SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value)
{
    return SaveSettings(appName, section, {{key, value}});
}

bool SaveSettings(const QString& appName, const QString& section, const QList<QPair<QString, QString>>& values)
{
    auto s = open(appName);
    for (const auto& [key, value] : values)
        s->setValue(section + "/" + key, value);
    // The file is replaced whole on sync; a failed write leaves the old file and says so here.
    s->sync();
    return s->status() == QSettings::NoError;
}

QString FilePath(const QString& appName) { return open(appName)->fileName(); }

void TellFailure(const QString& appName, const QString& what)
{
    Prompts::messageBox(what + " could not be stored in " + FilePath(appName)
                            + " (the disk may be full or the folder read-only). They last only until the shop "
                              "closes.",
                        appName, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
}

} // namespace UserStore
