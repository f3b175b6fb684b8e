#include "controls/widget_factory.h"

#include "controls/combobox.h"
#include "controls/pbnumedit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <algorithm>

namespace lumetrix {
namespace {

template <class Button>
Button* captionedButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new Button(caption, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

QCheckBox* checkBox(const QString& caption, const QString& name, QWidget* parent) {
    return captionedButton<QCheckBox>(caption, name, parent);
}

QRadioButton* radio(const QString& caption, const QString& name, QWidget* parent) {
    return captionedButton<QRadioButton>(caption, name, parent);
}

QPushButton* pushButton(const QString& caption, const QString& name, QWidget* parent) {
    return captionedButton<QPushButton>(caption, name, parent);
}

TPBNumEdit* numEdit(const QString& name, QWidget* parent, const NumEditSetup& setup) {
    auto* edit = named<TPBNumEdit>(parent, name);
    edit->setAlignment(setup.alignment);
    if (setup.decimals)
        edit->setDecimals(*setup.decimals);
    // The maximum first: a minimum above the maximum would be ignored.
    edit->setMaxValue(setup.max);
    edit->setMinValue(setup.min);
    if (setup.value)
        edit->setValue(*setup.value);
    if (setup.width > 0)
        edit->setFixedWidth(setup.width);
    return edit;
}

TComboBox* comboBox(const QString& name, QWidget* parent, bool editable, int minimumWidth) {
    auto* box = named<TComboBox>(parent, name);
    if (editable)
        box->setEditable(true);
    if (minimumWidth > 0)
        box->setMinimumWidth(minimumWidth);
    return box;
}

void fillBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* boldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold = parent->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QWidget* captionedRow(const QString& caption, QWidget* control, QWidget* parent, int indent) {
    auto* row = new QWidget(parent);
    auto* layout = layoutOn<QHBoxLayout>(row, {indent, 0, 0, 0});
    layout->addWidget(new QLabel(caption, row));
    control->setParent(row);
    layout->addWidget(control);
    layout->addStretch(1);
    return row;
}

void addSwitchedPanel(QBoxLayout* column, QCheckBox* box, QWidget* panel, int gap) {
    if (gap > 0)
        column->addSpacing(gap);
    column->addWidget(box);
    column->addWidget(panel);
}

QButtonGroup* exclusiveGroup(QObject* owner, std::initializer_list<QAbstractButton*> buttons) {
    auto* group = new QButtonGroup(owner);
    for (QAbstractButton* button : buttons)
        group->addButton(button);
    return group;
}

void makeColumnsSizable(QTableView* table) {
    QHeaderView* header = table->horizontalHeader();
    header->show();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    header->setFixedHeight(10); // no titles: the first row of the table holds them
}

void fitColumns(QTableView* table) {
    constexpr int kNarrowest = 40, kWidest = 300;
    table->resizeColumnsToContents();
    QHeaderView* header = table->horizontalHeader();
    for (int c = 0; c < header->count(); ++c)
        header->resizeSection(c, std::clamp(header->sectionSize(c), kNarrowest, kWidest));
}

} // namespace lumetrix
