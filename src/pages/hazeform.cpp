#include "hazeform.h"

namespace lumetrix {

THazeForm::THazeForm(Forms& forms, QWidget* parent) : TPageForm(forms, 1, parent) {
    setObjectName(QStringLiteral("HazeForm"));
}

} // namespace lumetrix
