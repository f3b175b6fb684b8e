#include "reftransform.h"

namespace lumetrix {

TRefTransForm::TRefTransForm(Forms& forms, QWidget* parent) : TPageForm(forms, 3, parent) {
    setObjectName(QStringLiteral("RefTransForm"));
}

} // namespace lumetrix
