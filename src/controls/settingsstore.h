#pragma once

#include <QString>
#include <QVariant>
#include <memory>

class QSettings;

namespace lumetrix {

// The few values the program keeps outside its project files (the recent list, the
// overwrite choice for the kernel), in an INI file.
class SettingsStore {
public:
    // The store in the user's configuration folder.
    SettingsStore();
    // A store in the given file (tests give each their own).
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();

    QVariant value(const QString& key, const QVariant& fallback = {}) const;
    void setValue(const QString& key, const QVariant& value);
    // Writes pending changes to the file; false when it cannot be written.
    bool sync();
    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace lumetrix
