#pragma once

#include "pageform.h"

namespace lumetrix {

// The Illumination Spectrum page.
class TSpectrumForm : public TPageForm {
    Q_OBJECT
public:
    TSpectrumForm(Forms& forms, QWidget* parent);
};

} // namespace lumetrix
