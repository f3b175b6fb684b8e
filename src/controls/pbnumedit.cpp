#include "controls/pbnumedit.h"

#include "controls/platform_hooks.h"
#include "controls/regional.h"
#include "controls/wheel_rule.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

namespace lumetrix {
namespace {

// The private message an edit posts itself when the regional separators change.
const QEvent::Type kRegionalChangedEvent = static_cast<QEvent::Type>(QEvent::User + 147);

} // namespace

TPBNumEdit::TPBNumEdit(QWidget* parent) : QLineEdit(parent) {
    m_separators = RegionalSettings::instance().separators();
    setFixedWidth(100);
    applyWheelRule(this);
    setText(QString::fromLatin1(formatFixed(0, m_decimals, m_separators.decimal)));
    connect(&RegionalSettings::instance(), &RegionalSettings::changed, this,
            [this] { QCoreApplication::postEvent(this, new QEvent(kRegionalChangedEvent)); });
}

NumEditRules TPBNumEdit::rules() const {
    return NumEditRules({m_decimals, RegionalSettings::instance().separators()});
}

long double TPBNumEdit::Value() const {
    const Separators now = RegionalSettings::instance().separators();
    std::string raw = text().toLatin1().toStdString();
    if (m_separators != now)
        raw = convertSeparators(raw, m_separators, now);
    return parseNumber(raw, now).value_or(0.0L);
}

void TPBNumEdit::setValue(long double value) {
    m_separators = RegionalSettings::instance().separators();
    const QString formatted =
        QString::fromLatin1(formatFixed(value, m_decimals, m_separators.decimal));
    if (formatted != text())
        setText(formatted);
}

void TPBNumEdit::setDecimals(int decimals) {
    decimals = std::clamp(decimals, -1, 14);
    if (maxLength() >= 1 && decimals > maxLength() - 2)
        decimals = maxLength() - 2;
    const long double value = Value();
    m_decimals = decimals;
    setValue(value);
}

void TPBNumEdit::setMinValue(long double value) {
    if (value > m_max)
        return;
    m_min = value;
}

void TPBNumEdit::setMaxValue(long double value) {
    if (value < m_min)
        return;
    m_max = value;
}

void TPBNumEdit::setDisabledColor(const QColor& color) {
    m_disabledColor = color;
    updateColors();
}

void TPBNumEdit::updateColors() {
    if (!m_disabledColor.isValid())
        return;
    QPalette p = palette();
    p.setColor(QPalette::Disabled, QPalette::Base, m_disabledColor);
    setPalette(p);
}

EditState TPBNumEdit::state() const {
    EditState s;
    s.text = text().toLatin1().toStdString();
    if (hasSelectedText()) {
        s.selStart = selectionStart();
        s.selLength = static_cast<int>(selectedText().size());
    } else {
        s.selStart = cursorPosition();
    }
    return s;
}

void TPBNumEdit::apply(const EditState& s) {
    const QString newText = QString::fromLatin1(s.text);
    if (newText != text())
        setText(newText);
    setCursorPosition(s.selStart);
    if (s.selLength > 0)
        setSelection(s.selStart, s.selLength);
}

void TPBNumEdit::keyPressEvent(QKeyEvent* event) {
    if (isReadOnly()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        cutSelection();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteClipboard();
        return;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        EditState s = state();
        if (event->key() == Qt::Key_Backspace)
            rules().backspace(s);
        else
            rules().deleteForward(s);
        apply(s);
        return;
    }
    const QString typed = event->text();
    const bool printable = typed.size() == 1 && typed.at(0).unicode() >= 0x20 &&
                           typed.at(0).unicode() != 0x7F &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (!printable) {
        QLineEdit::keyPressEvent(event); // caret movement, Enter, Tab and the like
        return;
    }
    char ch = typed.at(0).unicode() < 0x100 ? static_cast<char>(typed.at(0).unicode()) : 0;
    if (OnKeyPress && ch)
        OnKeyPress(ch);
    if (!ch)
        return;
    EditState s = state();
    const KeyOutcome outcome = rules().typeChar(s, ch);
    if (outcome == KeyOutcome::Accepted)
        apply(s);
    else if (outcome == KeyOutcome::RefusedWithBeep)
        hooks::beep();
}

void TPBNumEdit::copySelection() {
    if (hasSelectedText())
        QApplication::clipboard()->setText(QString::fromLatin1(rules().copyText(state())));
}

void TPBNumEdit::cutSelection() {
    if (isReadOnly() || !hasSelectedText())
        return;
    copySelection();
    EditState s = state();
    rules().deleteSelection(s);
    apply(s);
}

void TPBNumEdit::pasteClipboard() {
    if (isReadOnly())
        return;
    EditState s = state();
    if (rules().paste(s, QApplication::clipboard()->text().toLatin1().toStdString()))
        hooks::beep();
    apply(s);
}

void TPBNumEdit::clearSelection() {
    if (OnClear) {
        OnClear();
        return;
    }
    if (isReadOnly())
        return;
    EditState s = state();
    rules().deleteSelection(s);
    apply(s);
}

void TPBNumEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Leaving the window or opening a menu does not leave the edit.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    leaveEdit();
}

void TPBNumEdit::leaveEdit() {
    const QString typed = text();
    const long double value = Value();
    setValue(value);
    const bool noRange = m_min == 0 && m_max == 0;
    if (noRange || (m_min <= value && value <= m_max)) {
        emit exited();
        return;
    }
    if (OnInvalidEntry) {
        OnInvalidEntry();
        return;
    }
    const bool above = value > m_max;
    setValue(above ? m_max : m_min);
    hooks::beep();
    hooks::notice(QStringLiteral("%1 is %2 the %3 value of this field, %4: the field now holds %4.")
                      .arg(typed, above ? QStringLiteral("above") : QStringLiteral("below"),
                           above ? QStringLiteral("largest") : QStringLiteral("smallest"), text()));
    if (isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus)
        QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
}

QMenu* TPBNumEdit::createContextMenu() {
    // The edit's own menu: its clipboard commands go through the typing rules.
    auto* menu = new QMenu(this);
    const bool editable = !isReadOnly();
    const bool selected = hasSelectedText();
    const auto add = [&](const QString& text, QKeySequence::StandardKey key, bool enabled,
                         void (TPBNumEdit::*slot)(), const char* name) {
        QAction* action = menu->addAction(text, this, slot);
        action->setShortcut(QKeySequence(key));
        action->setEnabled(enabled);
        action->setObjectName(QString::fromLatin1(name));
    };
    add(tr("&Undo"), QKeySequence::Undo, editable && isUndoAvailable(), &QLineEdit::undo,
        "edit-undo");
    add(tr("&Redo"), QKeySequence::Redo, editable && isRedoAvailable(), &QLineEdit::redo,
        "edit-redo");
    menu->addSeparator();
    add(tr("Cu&t"), QKeySequence::Cut, editable && selected, &TPBNumEdit::cutSelection, "edit-cut");
    add(tr("&Copy"), QKeySequence::Copy, selected, &TPBNumEdit::copySelection, "edit-copy");
    add(tr("&Paste"), QKeySequence::Paste, editable && !QApplication::clipboard()->text().isEmpty(),
        &TPBNumEdit::pasteClipboard, "edit-paste");
    add(tr("Delete"), QKeySequence::Delete, editable && selected, &TPBNumEdit::clearSelection,
        "edit-delete");
    menu->addSeparator();
    add(tr("Select All"), QKeySequence::SelectAll, !text().isEmpty(), &QLineEdit::selectAll,
        "select-all");
    return menu;
}

void TPBNumEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createContextMenu();
    menu->exec(event->globalPos());
    delete menu;
}

bool TPBNumEdit::event(QEvent* event) {
    if (event->type() == kRegionalChangedEvent) {
        regionalSettingsChanged();
        return true;
    }
    return QLineEdit::event(event);
}

void TPBNumEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateColors();
}

void TPBNumEdit::regionalSettingsChanged() {
    const Separators now = RegionalSettings::instance().separators();
    if (now == m_separators)
        return;
    setText(
        QString::fromLatin1(convertSeparators(text().toLatin1().toStdString(), m_separators, now)));
    m_separators = now;
}

} // namespace lumetrix
