#pragma once

#include "core/adf_groups.h"
#include "pages/pageform.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace lumetrix {

class TComboBox;
class TPBNumEdit;
class TPBSpinEdit;
struct Project;

// The controls of one function (ADF1 or ADF2) for reflected and transmitted light.
struct AdfColumn {
    int adf = 1;
    QRadioButton* internal = nullptr;
    QRadioButton* external = nullptr;
    TComboBox* r = nullptr;
    TComboBox* t = nullptr;
    QStackedWidget* notebookR = nullptr; // pages: Lambertian, Ellipsis, None
    QStackedWidget* notebookT = nullptr;
    TPBNumEdit* lambR = nullptr;
    TPBNumEdit* lambT = nullptr;
    TPBNumEdit* ellipsR = nullptr;
    TPBNumEdit* ellipsT = nullptr;
};

// The Angular Distribution Functions page with (advanced) the ADF interface groups.
class TADFForm : public TPageForm {
    Q_OBJECT
public:
    TADFForm(PageHost& host, QWidget* parent);

    TPBNumEdit* pbNoAngles = nullptr;
    AdfColumn adf1;     // rbInternalADF1, cbADF1R, Notebook1, cbADF1T, Notebook3, ...
    AdfColumn adf2;     // rbInternalADF2, cbADF2R, Notebook2, cbADF2T, Notebook4, ...
    AdfColumn adf1_adv; // the group controls: Notebook5, Notebook7
    AdfColumn adf2_adv; // Notebook6, Notebook8
    QWidget* AdvPanel = nullptr;
    QCheckBox* cbOtherADF = nullptr;
    QWidget* pUseOtherADF = nullptr;
    TPBSpinEdit* ADFGroupSpin = nullptr;
    QPushButton* btAddADFGroup = nullptr;
    QPushButton* btRemoveADFGroup = nullptr;
    QLineEdit* eADFSpecInterface = nullptr;

    // The ADF group table; the controls above edit its selected group.
    AdfGroupTable& groups() { return m_groups; }
    int selectedGroup() const;

    void FormCreate() override;
    void FormShow() override;
    void IntExtADF1Click();
    void IntExtADF2Click();
    // The change handlers of the eight boxes: the parameter panel follows the choice.
    void adfBoxChange(const AdfColumn& column, bool reflected);
    void cbOtherADFClick();
    void GroupDataChange(QObject* Sender);
    void ADFGroupSpinChange();
    void IntExtADF1Click_adv(QObject* Sender);
    void IntExtADF2Click_adv(QObject* Sender);
    void btAddADFGroupClick();
    void btRemoveADFGroupClick();
    // All groups to their defaults, one group.
    void resetGroups();

    // Takes the values of a file that was read, with the side effects of reading.
    void takeLoaded(const struct LoadedProject& loaded);
    void fillProject(Project& project) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The parts of the page, made in this order by the constructor.
    QLayout* buildAnglesRow();
    QLayout* buildFunctionColumns();
    QWidget* buildAdvancedPanel();
    QWidget* buildGroupPanel();
    QLayout* buildGroupRow();
    QLayout* buildInterfacesRow();
    void connectHandlers();
    void bindComboLists();
    // The controls of one function, in a box of their own on the parent, which stands in
    // column adf - 1 of a row of the grid.
    AdfColumn buildColumn(int adf, bool groupControls, QWidget* parent, QGridLayout* grid, int row);
    QString listingFile(int adf, bool internal) const;
    void loadColumn(const AdfColumn& column, bool internal);
    // A group's ADF switched between internal and external: its list and its choices.
    void switchGroupSource(const AdfColumn& column);
    // The group's ADF set for a column of group controls.
    AdfSet& groupSet(const AdfColumn& column);
    void storeGroupChoice(const AdfColumn& column, bool reflected);
    void showGroupSet(const AdfColumn& column, const AdfSet& set);
    void setGroupCount(int count);

    AdfGroupTable m_groups;
    bool m_showingGroup = false;
};

} // namespace lumetrix
