#pragma once

#include "pages/pageform.h"

class QPlainTextEdit;

namespace lumetrix {

// The Process window page: the kernel's messages.
class TProcessForm : public TPageForm {
    Q_OBJECT
public:
    TProcessForm(PageHost& host, QWidget* parent);

    QPlainTextEdit* ProcessInfoMemo = nullptr;
};

} // namespace lumetrix
