#pragma once

#include "pageform.h"

namespace lumetrix {

// The Haze parameters page.
class THazeForm : public TPageForm {
    Q_OBJECT
public:
    THazeForm(Forms& forms, QWidget* parent);
};

} // namespace lumetrix
