#pragma once

#include "pageform.h"

namespace lumetrix {

// The Total Reflectance and Transmittance page.
class TRefTransForm : public TPageForm {
    Q_OBJECT
public:
    TRefTransForm(Forms& forms, QWidget* parent);
};

} // namespace lumetrix
