#pragma once

#include <QComboBox>

namespace lumetrix {

// A combo box whose drop-down list opens as wide as its longest item, never narrower than
// the box, and is moved left rather than pass the right edge of the screen.
class TComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComboBox(QWidget* parent = nullptr);

    // The width the drop-down list needs for its items.
    int dropDownWidth() const;

    void showPopup() override;
};

// Selects the first item; a box with an empty list is left empty.
void selectFirstItem(QComboBox* box);

} // namespace lumetrix
