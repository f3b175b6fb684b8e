#pragma once

#include "core/numbertext.h"
#include "core/numedit_rules.h"

#include <QLineEdit>
#include <functional>

class QMenu;

namespace lumetrix {

// The one-line edit that holds every numeric project setting. Its text is what the input
// file stores; typing, pasting and deleting keep that text a number.
class TPBNumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TPBNumEdit(QWidget* parent = nullptr);

    // Reading parses the text (0 when it is not a number); writing formats it and replaces
    // the text only when the formatted text differs. No range check here.
    long double Value() const;
    void setValue(long double value);

    int Decimals() const { return m_decimals; }
    void setDecimals(int decimals);

    long double MinValue() const { return m_min; }
    long double MaxValue() const { return m_max; }
    // A maximum below the minimum, or a minimum above the maximum, is ignored.
    void setMinValue(long double value);
    void setMaxValue(long double value);

    QColor DisabledColor() const { return m_disabledColor; }
    void setDisabledColor(const QColor& color);

    // Assigned handlers replace the default range-error action and the default clear action.
    std::function<void()> OnInvalidEntry;
    std::function<void()> OnClear;
    // Sees every typed character before the edit's own rules; setting it to 0 drops it.
    std::function<void(char&)> OnKeyPress;

    void copySelection();
    void cutSelection();
    void pasteClipboard();
    void clearSelection();
    // The edit's context menu, whose clipboard commands obey the typing rules.
    QMenu* createContextMenu();

signals:
    // After the range check of leaving the edit.
    void exited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    NumEditRules rules() const;
    EditState state() const;
    void apply(const EditState& state);
    void leaveEdit();
    void regionalSettingsChanged();
    void updateColors();

    int m_decimals = -1;
    long double m_min = 0;
    long double m_max = 0;
    QColor m_disabledColor;
    Separators m_separators; // in force when the text was last formatted
};

} // namespace lumetrix
