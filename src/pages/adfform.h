#pragma once

#include "pageform.h"

namespace lumetrix {

// The Angular Distribution Functions page with the ADF interface groups.
class TADFForm : public TPageForm {
    Q_OBJECT
public:
    TADFForm(Forms& forms, QWidget* parent);
};

} // namespace lumetrix
