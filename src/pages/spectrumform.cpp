#include "spectrumform.h"

namespace lumetrix {

TSpectrumForm::TSpectrumForm(Forms& forms, QWidget* parent) : TPageForm(forms, 4, parent) {
    setObjectName(QStringLiteral("SpectrumForm"));
}

} // namespace lumetrix
