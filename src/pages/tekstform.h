#pragma once

#include "pageform.h"

namespace lumetrix {

// The Additional Settings / Comments page.
class TTekstForm : public TPageForm {
    Q_OBJECT
public:
    TTekstForm(Forms& forms, QWidget* parent);
};

} // namespace lumetrix
