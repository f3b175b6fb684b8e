#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace lumetrix {

class UserDialogs;
class SettingsStore;
class TMainForm;
class TFilesForm;
class TcR_cT_Form;
class TStructureForm;
class TLXOpt_Form;
class TLPIF_Form;
class THazeForm;
class TADFForm;
class TRefTransForm;
class TSpectrumForm;
class TResults;
class TProcessForm;
class TTekstForm;
class TSelectGraphForm;
class TAboutForm;

// What the windows are given from outside: the dialogs, the settings store, the working
// folder (empty: the program's own folder) and the files named on the command line.
struct AppContext {
    UserDialogs& dialogs;
    SettingsStore& settings;
    QString workDir;
    QStringList files;
};

// All forms of the program, created in their fixed order and alive for the whole run. Only
// the program itself reaches the forms through this; pages know only their host.
class Forms {
public:
    explicit Forms(AppContext context);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    AppContext context;

    TMainForm* MainForm = nullptr;
    TFilesForm* FilesForm = nullptr;
    TcR_cT_Form* cR_cT_Form = nullptr;
    TStructureForm* StructureForm = nullptr;
    TLXOpt_Form* LXOpt_Form = nullptr;
    TLPIF_Form* LPIF_Form = nullptr;
    THazeForm* HazeForm = nullptr;
    TADFForm* ADFForm = nullptr;
    TRefTransForm* RefTransForm = nullptr;
    TSpectrumForm* SpectrumForm = nullptr;
    TResults* Results = nullptr;
    TProcessForm* ProcessForm = nullptr;
    TTekstForm* TekstForm = nullptr;
    TSelectGraphForm* SelectGraphForm = nullptr;
    TAboutForm* AboutForm = nullptr;

private:
    // The signals by which windows announce changes to the others.
    void connectForms();
    void destroyAll();
};

} // namespace lumetrix
