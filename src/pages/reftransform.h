#pragma once

#include "pages/pageform.h"

#include <array>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace lumetrix {

class TComboBox;
class TPBNumEdit;
struct Project;

// A column of calibration factors: interfaces, c12, c21 and the use-directly mark.
struct FactorColumn {
    QLineEdit* interfaces = nullptr;
    TPBNumEdit* c12 = nullptr;
    TPBNumEdit* c21 = nullptr;
    QCheckBox* direct = nullptr;
};

// A column of calibration functions.
struct FunctionColumn {
    QLineEdit* interfaces = nullptr;
    TComboBox* c12 = nullptr;
    TComboBox* c21 = nullptr;
    QCheckBox* direct = nullptr;
};

// The Total Reflectance and Transmittance page: calibration factors and functions at
// interfaces, and (advanced) factors for the whole structure and the back side.
class TRefTransForm : public TPageForm {
    Q_OBJECT
public:
    TRefTransForm(PageHost& host, QWidget* parent);

    QCheckBox* cbIncludeDecr = nullptr;
    QWidget* pIncludeDecr = nullptr;
    QWidget* AdvPanel2 = nullptr;
    // eRTSpecifInterface, pbC12, pbC21, cbTRdirect1; ...2; ...3
    std::array<FactorColumn, 3> factors;
    QWidget* AdvPanel = nullptr;
    QCheckBox* cbIncludeFDecrTR = nullptr;
    QWidget* pIncludeFDecrTR = nullptr;
    // eRTSpecifInterface_advF1, cbCalFunc_c12_1, cbCalFunc_c21_1, cbTRdirect_adv1; ...2
    std::array<FunctionColumn, 2> functions;
    QCheckBox* cbIncludeDecr_adv = nullptr;
    QWidget* pIncludeDecr_adv = nullptr;
    TPBNumEdit* pbC12entire = nullptr;
    QCheckBox* cbIncludeInc_adv = nullptr;
    QWidget* pIncludeInc_adv = nullptr;
    QLineEdit* eRTSpecifInterface_adv = nullptr;
    TPBNumEdit* pbC21Scatt = nullptr;

    void FormCreate() override;
    void FormShow() override;
    void cbIncludeDecrClick();
    void cbIncludeFDecrTRClick();
    void cbIncludeDecr_advClick();
    void cbIncludeInc_advClick();

    // Takes the values of a file that was read, with the side effects of reading.
    void takeLoaded(const struct LoadedProject& loaded);
    void fillProject(Project& project) const;

private:
    // The parts of the page, made in this order by the constructor.
    void buildFactorPanel(QBoxLayout* page);
    QWidget* buildAdvancedPanel();
    QWidget* buildFunctionPanel();
    QWidget* buildEntireStructurePanel();
    QWidget* buildBackSidePanel();
    void connectHandlers();
    void bindComboLists();

    QString calibrationListFile() const;
    QList<QComboBox*> functionBoxes() const;
};

} // namespace lumetrix
