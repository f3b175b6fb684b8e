#include "controls/settingsstore.h"

#include <QSettings>
#include <QStandardPaths>

namespace lumetrix {

SettingsStore::SettingsStore()
    : SettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                    QStringLiteral("/Lumetrix/Lumetrix.ini")) {}

SettingsStore::SettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QVariant SettingsStore::value(const QString& key, const QVariant& fallback) const {
    return m_settings->value(key, fallback);
}

void SettingsStore::setValue(const QString& key, const QVariant& value) {
    m_settings->setValue(key, value);
}

bool SettingsStore::sync() {
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString SettingsStore::fileName() const {
    return m_settings->fileName();
}

} // namespace lumetrix
