#pragma once

#include <QColor>
#include <QMargins>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <optional>

class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

namespace lumetrix {

class TComboBox;
class TPBNumEdit;

// Small makers of the controls the pages put together: each creates a control on its parent
// and gives it the object name by which it is known.

// A widget of a class whose constructor takes only the parent.
template <class W> W* named(QWidget* parent, const QString& name) {
    auto* widget = new W(parent);
    widget->setObjectName(name);
    return widget;
}

// A layout of class L that arranges the owner's contents within the margins; a spacing below 0
// keeps the style's.
template <class L> L* layoutOn(QWidget* owner, const QMargins& margins, int spacing = -1) {
    auto* layout = new L(owner);
    layout->setContentsMargins(margins);
    if (spacing >= 0)
        layout->setSpacing(spacing);
    return layout;
}

QCheckBox* checkBox(const QString& caption, const QString& name, QWidget* parent);
QRadioButton* radio(const QString& caption, const QString& name, QWidget* parent);
QPushButton* pushButton(const QString& caption, const QString& name, QWidget* parent);

// What a numeric edit starts with. Numbers stand right-aligned unless told otherwise; what
// else is left out keeps the edit's own setting (range 0 to 0, text 0, width 100).
struct NumEditSetup {
    long double min = 0; // with max: the range that leaving the edit checks
    long double max = 0;
    std::optional<int> decimals = std::nullopt;
    std::optional<long double> value = std::nullopt;
    int width = 0; // a fixed width; 0 keeps the edit's own
    Qt::Alignment alignment = Qt::AlignRight;
};

TPBNumEdit* numEdit(const QString& name, QWidget* parent, const NumEditSetup& setup = {});

// A combo box; an editable one takes typed text. A minimum width of 0 sets none.
TComboBox* comboBox(const QString& name, QWidget* parent, bool editable, int minimumWidth = 0);

// The light blue-grey of the program's dialogs and tool windows (15458008 as B, G, R bytes).
inline const QColor kDialogColor = QColor(216, 222, 235);

// Fills the widget's background with the colour.
void fillBackground(QWidget* widget, const QColor& colour);

// A caption in the bold face of its parent's font.
QLabel* boldLabel(const QString& text, QWidget* parent);

// One row: a caption, then the control (moved onto the row), then empty space; indent is the
// row's left margin.
QWidget* captionedRow(const QString& caption, QWidget* control, QWidget* parent, int indent = 0);

// Adds a check box and, below it, the panel that the box shows and hides; a gap above 0 is
// space left above the box.
void addSwitchedPanel(QBoxLayout* column, QCheckBox* box, QWidget* panel, int gap = 0);

// Makes the buttons one group, of which only one is checked at a time; owner keeps the group.
QButtonGroup* exclusiveGroup(QObject* owner, std::initializer_list<QAbstractButton*> buttons);

// A table of result cells whose columns the user sizes: a header strip over them, whose
// edges drag a column wider or narrower and fit it to its cells on a double click.
void makeColumnsSizable(QTableView* table);
// Every column as wide as its texts (as far as the header samples them) within 40 and 300
// pixels: once after a table is loaded, so that values and titles are read whole.
void fitColumns(QTableView* table);

} // namespace lumetrix
