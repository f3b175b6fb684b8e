#include "tekstform.h"

namespace lumetrix {

TTekstForm::TTekstForm(Forms& forms, QWidget* parent) : TPageForm(forms, 6, parent) {
    setObjectName(QStringLiteral("TekstForm"));
}

} // namespace lumetrix
