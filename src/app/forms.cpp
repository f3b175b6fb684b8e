#include "forms.h"

#include "aboutform.h"
#include "adfform.h"
#include "filesform.h"
#include "hazeform.h"
#include "mainform.h"
#include "processform.h"
#include "reftransform.h"
#include "results.h"
#include "spectrumform.h"
#include "structureform.h"
#include "tekstform.h"
#include "toolwindows.h"

namespace lumetrix {

Forms::Forms(AppContext ctx) : context(std::move(ctx)) {
    // The order matters: the main window sets WorkDir, the File locations page then fills
    // the other folders, which the later forms read while they are created.
    MainForm = new TMainForm(*this);
    QWidget* pages = MainForm->pageHost();
    FilesForm = new TFilesForm(*this, pages);
    cR_cT_Form = new TcR_cT_Form(*this);
    StructureForm = new TStructureForm(*this, pages);
    LXOpt_Form = new TLXOpt_Form(*this);
    LPIF_Form = new TLPIF_Form(*this);
    HazeForm = new THazeForm(*this, pages);
    ADFForm = new TADFForm(*this, pages);
    RefTransForm = new TRefTransForm(*this, pages);
    SpectrumForm = new TSpectrumForm(*this, pages);
    Results = new TResults(*this, pages);
    ProcessForm = new TProcessForm(*this, pages);
    TekstForm = new TTekstForm(*this, pages);
    SelectGraphForm = new TSelectGraphForm(*this);
    AboutForm = new TAboutForm(*this);
}

Forms::~Forms() {
    destroyAll();
}

void Forms::destroyAll() {
    // Top-level windows first; the pages go with the main window that holds them.
    delete AboutForm;
    delete SelectGraphForm;
    delete LPIF_Form;
    delete LXOpt_Form;
    delete cR_cT_Form;
    delete MainForm;
    AboutForm = nullptr;
    SelectGraphForm = nullptr;
    LPIF_Form = nullptr;
    LXOpt_Form = nullptr;
    cR_cT_Form = nullptr;
    MainForm = nullptr;
    FilesForm = nullptr;
    StructureForm = nullptr;
    HazeForm = nullptr;
    ADFForm = nullptr;
    RefTransForm = nullptr;
    SpectrumForm = nullptr;
    Results = nullptr;
    ProcessForm = nullptr;
    TekstForm = nullptr;
}

} // namespace lumetrix
