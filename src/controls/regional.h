#pragma once

#include "core/numbertext.h"

#include <QObject>

namespace lumetrix {

// The decimal and thousands separators of the user's regional number settings. Numeric
// edits follow their changes; the file writer uses the same separators.
class RegionalSettings : public QObject {
    Q_OBJECT
public:
    static RegionalSettings& instance();

    Separators separators() const { return m_separators; }
    void setSeparators(Separators separators);
    // Reads the separators of the system locale (used at start and when the locale changes).
    void readSystemLocale();

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RegionalSettings();
    Separators m_separators;
};

} // namespace lumetrix
