#pragma once

#include "pages/pageform.h"

#include <QDialog>
#include <string>
#include <vector>

namespace lumetrix {

class TComboBox;

// The Results page: the result list of the kernel's files for the current output name.
class TResults : public TPageForm {
    Q_OBJECT
public:
    TResults(PageHost& host, QWidget* parent);

    TComboBox* cbIzberiGraf = nullptr;

    // Replaces the entries of the result list.
    void setResultList(const std::vector<std::string>& entries);
};

// The axis selection dialog of the Results page.
class TSelectGraphForm : public QDialog {
    Q_OBJECT
public:
    TSelectGraphForm();
};

} // namespace lumetrix
