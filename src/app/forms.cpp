#include "app/forms.h"

#include "app/aboutform.h"
#include "app/mainform.h"
#include "app/processform.h"
#include "core/result_list.h"
#include "pages/adfform.h"
#include "pages/filesform.h"
#include "pages/hazeform.h"
#include "pages/reftransform.h"
#include "pages/spectrumform.h"
#include "pages/structureform.h"
#include "pages/tekstform.h"
#include "results/results.h"
#include "tools/optform.h"
#include "tools/toolwindows.h"

namespace lumetrix {

Forms::Forms(AppContext ctx) : context(std::move(ctx)) {
    // The order matters: the main window sets WorkDir, the File locations page then fills
    // the other folders, which the later forms read while they are created.
    MainForm = new TMainForm(*this);
    QWidget* pages = MainForm->pageHost();
    PageHost& host = *MainForm;
    MainForm->comboLists().gatherErrors();
    FilesForm = new TFilesForm(host, pages);
    cR_cT_Form = new TcR_cT_Form(host);
    StructureForm = new TStructureForm(host, pages);
    LXOpt_Form = new TLXOpt_Form(context.dialogs);
    LPIF_Form = new TLPIF_Form(host);
    HazeForm = new THazeForm(host, pages);
    ADFForm = new TADFForm(host, pages);
    RefTransForm = new TRefTransForm(host, pages);
    SpectrumForm = new TSpectrumForm(host, pages);
    Results = new TResults(host, *StructureForm, pages);
    ProcessForm = new TProcessForm(host, pages);
    TekstForm = new TTekstForm(host, pages);
    SelectGraphForm = new TSelectGraphForm(*Results);
    AboutForm = new TAboutForm;
    connectForms();
    MainForm->comboLists().showGatheredErrors();
}

void Forms::connectForms() {
    QObject::connect(FilesForm, &TFilesForm::outFileNameChanged, Results,
                     [results = Results](const QString& name) {
                         results->setResultList(resultListEntries(name.toStdString()));
                     });
    for (TToolWindow* window :
         std::initializer_list<TToolWindow*>{cR_cT_Form, LPIF_Form, LXOpt_Form})
        QObject::connect(window, &TToolWindow::lockReleased, MainForm,
                         &TMainForm::toolWindowClosed);
    QObject::connect(
        LXOpt_Form, &TLXOpt_Form::projectInputWanted, MainForm,
        [main = MainForm](QString* inputFile) { *inputFile = main->saveKernelInput(); });
    QObject::connect(cR_cT_Form, &TcR_cT_Form::calibrationListed, FilesForm,
                     &TFilesForm::ReloadListBoxes);
    QObject::connect(AboutForm, &TAboutForm::lockReleased, MainForm, &TMainForm::toolWindowClosed);
    QObject::connect(Results, &TResults::axisDialogShown, MainForm, &TMainForm::axisDialogShown);
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
