#include "structureform.h"

namespace lumetrix {

TStructureForm::TStructureForm(Forms& forms, QWidget* parent) : TPageForm(forms, 0, parent) {
    setObjectName(QStringLiteral("StructureForm"));
}

} // namespace lumetrix
