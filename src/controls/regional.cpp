#include "controls/regional.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLocale>

namespace lumetrix {
namespace {

// Separators are single characters in the file; a wider one is represented by its nearest
// single-byte kin.
char asSeparatorChar(const QString& s, char fallback) {
    if (s.size() != 1)
        return fallback;
    const QChar c = s.at(0);
    if (c.unicode() < 0x80)
        return static_cast<char>(c.unicode());
    if (c.isSpace())
        return ' ';
    return fallback;
}

} // namespace

RegionalSettings::RegionalSettings() {
    readSystemLocale();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

RegionalSettings& RegionalSettings::instance() {
    // Lives as long as the process: edits may still ask for it while the application closes.
    static auto* settings = new RegionalSettings;
    return *settings;
}

void RegionalSettings::setSeparators(Separators separators) {
    if (separators == m_separators)
        return;
    m_separators = separators;
    emit changed();
}

void RegionalSettings::readSystemLocale() {
    const QLocale locale = QLocale::system();
    Separators s;
    s.decimal = asSeparatorChar(locale.decimalPoint(), '.');
    s.thousands = asSeparatorChar(locale.groupSeparator(), s.decimal == ',' ? '.' : ',');
    setSeparators(s);
}

bool RegionalSettings::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::LocaleChange)
        readSystemLocale();
    return QObject::eventFilter(watched, event);
}

} // namespace lumetrix
