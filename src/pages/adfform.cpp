#include "adfform.h"

namespace lumetrix {

TADFForm::TADFForm(Forms& forms, QWidget* parent) : TPageForm(forms, 2, parent) {
    setObjectName(QStringLiteral("ADFForm"));
}

} // namespace lumetrix
