#pragma once

#include "pageform.h"

namespace lumetrix {

// The Structure page: the layer stack.
class TStructureForm : public TPageForm {
    Q_OBJECT
public:
    TStructureForm(Forms& forms, QWidget* parent);
};

} // namespace lumetrix
