#include "settings/settings_store.h"

#include "settings/settings_io.h"

namespace {

QString key(std::string_view group, std::string_view name)
{
    return QString::fromUtf8(group.data(), qsizetype(group.size())) + QLatin1Char('/') +
           QString::fromUtf8(name.data(), qsizetype(name.size()));
}

} // namespace

SettingsStore::SettingsStore() : settings_(QStringLiteral("Halvern"), QStringLiteral("Morvane")) {}

std::optional<std::string> SettingsStore::get(std::string_view group, std::string_view name) const
{
    const QVariant value = settings_.value(key(group, name));
    // Only text values count; anything else is treated as missing.
    if (!value.isValid() || value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString().toStdString();
}

void SettingsStore::set(std::string_view group, std::string_view name, std::string_view value)
{
    if (!settings_.isWritable())
        return;
    settings_.setValue(key(group, name), QString::fromUtf8(value.data(), qsizetype(value.size())));
}

void settings_load_all()
{
    const SettingsStore store;
    mv::preferences_load(store, mv::preferences());
    mv::state_load(store, mv::preferences().file_list_length, mv::program_state());
}

void settings_save_state()
{
    SettingsStore store;
    mv::state_save(store, mv::program_state());
    store.sync();
}

void settings_save_preferences()
{
    SettingsStore store;
    mv::preferences_save(store, mv::preferences());
    store.sync();
}
