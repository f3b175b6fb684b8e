#pragma once

#include "pages/pageform.h"

class QPlainTextEdit;
class QRadioButton;

namespace lumetrix {

struct Project;

// The Additional Settings / Comments page: the precision level and free comments.
class TTekstForm : public TPageForm {
    Q_OBJECT
public:
    TTekstForm(PageHost& host, QWidget* parent);

    QRadioButton* rbNormalPrecision = nullptr;
    QRadioButton* rbHighPrecision = nullptr;
    QPlainTextEdit* TekstMemo = nullptr;

    // Takes the values of a file that was read, with the side effects of reading.
    void takeLoaded(const struct LoadedProject& loaded);
    void fillProject(Project& project) const;
};

} // namespace lumetrix
