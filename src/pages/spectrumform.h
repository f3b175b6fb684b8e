#pragma once

#include "pages/addon.h"
#include "pages/pageform.h"

class QBoxLayout;
class QCheckBox;
class QRadioButton;
class QStackedWidget;

namespace lumetrix {

class TComboBox;
class TPBNumEdit;
struct Project;

// The Illumination Spectrum page: the spectrum file, the add-on's panel and (advanced) how the
// spectrum is represented: coherent direct light, or combined with diffused light.
class TSpectrumForm : public TPageForm {
    Q_OBJECT
public:
    TSpectrumForm(PageHost& host, QWidget* parent);

    TComboBox* cbSpekter = nullptr;
    QWidget* ProPanel = nullptr;
    QCheckBox* cbManually = nullptr;
    QWidget* AdvPanel = nullptr;
    QRadioButton* rbCoherent = nullptr;
    QRadioButton* rbCombination = nullptr;
    QWidget* Panel1 = nullptr;
    TPBNumEdit* pbRatio = nullptr;
    QRadioButton* rbSpecADFInternal = nullptr;
    QRadioButton* rbSpecADFExternal = nullptr;
    TComboBox* cbADF1_Spekt = nullptr;
    QStackedWidget* Notebook1 = nullptr;
    TPBNumEdit* pbSpectrLamb = nullptr;
    TPBNumEdit* pbSpectrEllipsis = nullptr;

    void FormCreate() override;
    void FormShow() override;
    void ADFModelSpectrum();
    void IntExtADF();
    void cbADF1_SpektChange();

    const AddOnLibrary& addOn() const { return m_addOn; }
    // Takes the values of a file that was read, with the side effects of reading.
    void takeLoaded(const struct LoadedProject& loaded);
    void fillProject(Project& project) const;

private:
    // The parts of the page, made in this order by the constructor.
    void buildSpectrumPanel(QBoxLayout* page);
    QWidget* buildAdvancedPanel();
    QWidget* buildDiffusedLightPanel();
    QWidget* buildParameterPanel();
    void connectHandlers();
    void bindComboLists();

    QString spectrumListFile() const;
    QString adfListFile() const;

    AddOnLibrary m_addOn;
};

} // namespace lumetrix
