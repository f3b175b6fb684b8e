#pragma once

#include "pages/pageform.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace lumetrix {

class TComboBox;
class TPBNumEdit;
struct Project;

// The Haze parameters page: the power factor, the method with its files, and (advanced)
// other haze data for some interfaces and transmission-only scattering.
class THazeForm : public TPageForm {
    Q_OBJECT
public:
    THazeForm(PageHost& host, QWidget* parent);

    QWidget* Panel5 = nullptr;
    QRadioButton* rbPower2 = nullptr;
    QRadioButton* rbPower3 = nullptr;
    QRadioButton* rbPowerCustom = nullptr;
    TPBNumEdit* ePowerHT = nullptr;
    QWidget* Panel6 = nullptr;
    QRadioButton* rbHazeC = nullptr;
    QRadioButton* rbHazeH = nullptr;
    QLabel* LbStaticText1 = nullptr;
    QLabel* LbStaticText3 = nullptr;
    TComboBox* cb_cR_HR = nullptr;
    TComboBox* cb_cT_HT = nullptr;
    QWidget* AdvPanel = nullptr;
    QCheckBox* cbUseOtherHaze = nullptr;
    QWidget* pUseOtherHaze = nullptr;
    QLineEdit* eHazeOtherSpecifyInt = nullptr;
    QRadioButton* rbHazeC_adv = nullptr;
    QRadioButton* rbHazeH_adv = nullptr;
    QLabel* LbStaticText2 = nullptr;
    QLabel* LbStaticText4 = nullptr;
    TComboBox* cb_cR_HR_adv = nullptr;
    TComboBox* cb_cT_HT_adv = nullptr;
    QCheckBox* cbSpecified = nullptr;
    QWidget* pSpecified = nullptr;
    QLineEdit* eHazeSpecSpecifyInt = nullptr;

    void FormCreate() override;
    void FormShow() override;
    void rbHazeCClick();
    void rbHazeC_advClick();
    void cbUseOtherHazeClick();
    void cbSpecifiedClick();

    // Takes the values of a file that was read, with the side effects of reading.
    void takeLoaded(const struct LoadedProject& loaded);
    void fillProject(Project& project) const;

private:
    // The parts of the page, made in this order by the constructor.
    QWidget* buildPowerPanel();
    QWidget* buildMethodPanel();
    QWidget* buildAdvancedPanel();
    QWidget* buildOtherHazePanel();
    QWidget* buildSpecifiedPanel();
    void connectHandlers();
    void bindComboLists();

    // The listing file of a method's first (cR/HR) or second (cT/HT) box.
    QString listingFile(bool calibration, bool first) const;
    void applyMethod(bool calibration, TComboBox* first, TComboBox* second, QLabel* firstCaption,
                     QLabel* secondCaption);
};

} // namespace lumetrix
