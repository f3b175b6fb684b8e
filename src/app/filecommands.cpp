// The project file commands of the main window: New, Open, Save, Save As, the recent list,
// opening by name, dropped files, the dirty check, the .dat association, the user manual.
#include "app/forms.h"
#include "app/mainform.h"
#include "app/processform.h"
#include "controls/colorbutton.h"
#include "controls/pbnumedit.h"
#include "controls/pbspinedit.h"
#include "controls/regional.h"
#include "controls/settingsstore.h"
#include "controls/userdialogs.h"
#include "core/inputfile_reader.h"
#include "core/textfile.h"
#include "pages/adfform.h"
#include "pages/filesform.h"
#include "pages/hazeform.h"
#include "pages/reftransform.h"
#include "pages/spectrumform.h"
#include "pages/structureform.h"
#include "pages/tekstform.h"
#include "results/results.h"

#include "controls/combobox.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QUrl>

namespace lumetrix {
namespace {

const QString kTitle = QStringLiteral("Lumetrix v1.2.8");
const char* const kOpenFilter =
    "Lumetrix input file (*.dat)|*.dat|Text files (*.txt)|*.txt|All files|*.*";
const char* const kSaveFilter =
    "Lumetrix input files (*.dat)|*.dat|Text files (*.txt)|*.txt|All files|*.*";
const QString kRecentGroup = QStringLiteral("Recent/");

} // namespace

void TMainForm::setFileTitle() {
    setWindowTitle(kTitle + " - " + QFileInfo(CurrentFileName).fileName());
}

std::optional<LoadedProject> TMainForm::parseInputFile(const QString& path, bool dropped) {
    UserDialogs& dialogs = m_forms.context.dialogs;
    const ReaderContext context{RegionalSettings::instance().separators(), FolderSettings.WorkDir,
                                AddOnPresent};
    const auto loaded = readInputFile(path.toStdString(), context);
    if (!loaded) {
        const ReadError& error = loaded.error();
        QString text = QStringLiteral("Cannot open file \"%1\"").arg(path);
        if (dropped)
            text = QStringLiteral("Unsupported data file!\n") + text;
        if (error.line > 0)
            text += QStringLiteral("\nLine %1: %2")
                        .arg(error.line)
                        .arg(QString::fromStdString(error.reason));
        else
            text += "\n" + QString::fromStdString(error.reason);
        dialogs.error(text);
        return std::nullopt;
    }
    if (!loaded.value().corruptedAfter.empty())
        dialogs.error(QStringLiteral("The input file is corrupted.\nThere may be some problems "
                                     "reading the file after %1!")
                          .arg(QString::fromStdString(loaded.value().corruptedAfter)));
    return loaded.value();
}

void TMainForm::applyLoaded(const LoadedProject& loaded) {
    m_forms.StructureForm->takeLoaded(loaded);
    m_forms.HazeForm->takeLoaded(loaded);
    m_forms.ADFForm->takeLoaded(loaded);
    m_forms.RefTransForm->takeLoaded(loaded);
    m_forms.SpectrumForm->takeLoaded(loaded);
    m_forms.FilesForm->takeLoaded(loaded);
    m_forms.TekstForm->takeLoaded(loaded);
    // The Structure page's flag follows its factors; the others are only ever set.
    for (int tag = 0; tag < static_cast<int>(loaded.advanced.size()); ++tag)
        if (loaded.advanced[static_cast<std::size_t>(tag)] &&
            (tag == 0 || *loaded.advanced[static_cast<std::size_t>(tag)]))
            setAdvancedFlag(static_cast<Page>(tag),
                            *loaded.advanced[static_cast<std::size_t>(tag)]);
    if (CurrentPage && hasAdvancedPart(CurrentPage->Tag)) {
        setAdvButtonLook(advancedFlag(CurrentPage->Tag));
        CurrentPage->FormShow();
    }
}

bool TMainForm::ReadInputFile(const QString& path) {
    const auto loaded = parseInputFile(path, false);
    if (!loaded)
        return false;
    applyLoaded(*loaded);
    return true;
}

void TMainForm::resetProject(bool startedByOpenInputFile) {
    TResults& results = *m_forms.Results;
    if (!results.cbDeleteOnLinePlots->isChecked())
        results.KeepOldLines();
    CurrentFileName.clear();
    setWindowTitle(kTitle);
    clearAdvancedFlags();
    ToolBarClick(LbSpeedButton1);
    m_comboLists.gatherErrors();
    m_forms.FilesForm->FormCreate();

    TStructureForm& structure = *m_forms.StructureForm;
    while (structure.rowCount() > 2)
        structure.pbAddRemoveLayer->setValue(structure.pbAddRemoveLayer->Value() - 1);
    for (int r = 1; r <= 2; ++r) {
        structure.row(r).layerFile->setEditText(QStringLiteral("air"));
        structure.row(r).pv->setChecked(false); // a new project has no PV mark
    }
    structure.row(2).roughness->setValue(0);
    structure.pbIfactor->setValue(1.0);
    structure.pbCfactor->setValue(1.0);
    m_comboLists.LoadComboLists(
        {structure.row(1).layerFile, structure.row(2).layerFile},
        QString::fromStdString(joinPath(FolderSettings.ListDir, "layer.dat")));

    m_forms.ADFForm->ADFGroupSpin->setValue(1);
    m_forms.ADFForm->resetGroups();
    clearAdvancedFlags();
    m_forms.ADFForm->FormCreate();
    m_forms.HazeForm->FormCreate();
    m_forms.RefTransForm->FormCreate();
    m_forms.SpectrumForm->FormCreate();
    m_comboLists.showGatheredErrors();

    results.resetForNewProject(startedByOpenInputFile);

    m_forms.ProcessForm->clearRun();
    m_forms.TekstForm->TekstMemo->clear();
    m_forms.TekstForm->rbNormalPrecision->setChecked(true); // a new project's precision
    setAdvButtonLook(false);
}

bool TMainForm::hasUnsavedChanges() {
    std::vector<std::string> built;
    BuildInputFile(built);
    if (built == BaselineList)
        return false;
    if (CurrentFileName.isEmpty())
        return true;
    // The status bar asks once a second: the file is read again only when it has changed.
    const QFileInfo file(CurrentFileName);
    const QString stamp = QStringLiteral("%1|%2|%3")
                              .arg(CurrentFileName)
                              .arg(file.size())
                              .arg(file.lastModified().toMSecsSinceEpoch());
    if (stamp != m_diskStamp) {
        m_diskStamp = stamp;
        const auto onDisk = readSmallFile(CurrentFileName.toStdString(), kMaxInputFileBytes, "");
        m_diskText = onDisk ? std::optional(onDisk.value()) : std::nullopt;
    }
    const auto text = encodeFileText(built);
    return !(m_diskText && text && *m_diskText == *text);
}

bool TMainForm::CheckSaveChanges() {
    m_diskStamp.clear(); // before work may be lost the file is read afresh
    if (!hasUnsavedChanges())
        return true;
    UserDialogs& dialogs = m_forms.context.dialogs;
    const QList<DialogButton> buttons{DialogButton::Yes, DialogButton::No, DialogButton::Cancel};
    if (CurrentFileName.isEmpty()) {
        switch (dialogs.message(QStringLiteral("Do you want to save the data to a input file?"),
                                DialogIcon::Warning, buttons)) {
        case DialogButton::Yes: {
            const QString path =
                dialogs.saveFile({fileDialogFolder(), QString::fromLatin1(kSaveFilter), "dat"});
            if (path.isEmpty() || !SaveInputFile(path))
                return false;
            CurrentFileName = path;
            m_recent.use(path.toStdString());
            rebuildRecentMenu();
            return true;
        }
        case DialogButton::No:
            return true;
        default:
            return false;
        }
    }
    switch (dialogs.message("Do you want to save changes you made to '" + CurrentFileName + "'?",
                            DialogIcon::Warning, buttons)) {
    case DialogButton::Yes:
        return SaveInputFile(CurrentFileName);
    case DialogButton::No:
        return true;
    default:
        return false;
    }
}

void TMainForm::New1Click() {
    PremakniFocus();
    if (!CheckSaveChanges())
        return;
    resetProject(false);
}

void TMainForm::Importinputfile1Click() {
    QDir::setCurrent(QString::fromStdString(FolderSettings.WorkDir));
    const QString path = m_forms.context.dialogs.openFile(
        {fileDialogFolder(), QString::fromLatin1(kOpenFilter), "dat"});
    if (path.isEmpty())
        return;
    PremakniFocus();
    if (!CheckSaveChanges())
        return;
    // The whole file is read before anything changes: a bad file leaves the project as it was.
    const auto loaded = parseInputFile(path, false);
    if (!loaded)
        return;
    // The lines of the project being replaced go with it.
    m_forms.Results->cbDeleteOnLinePlots->setChecked(true);
    resetProject(false);
    applyLoaded(*loaded);
    CurrentFileName = path;
    ToolBarClick(LbSpeedButton1);
    setFileTitle();
    m_recent.use(path.toStdString());
    rebuildRecentMenu();
}

bool TMainForm::OpenInputFile(const QString& path, bool dropped) {
    PremakniFocus();
    if (!CheckSaveChanges())
        return false;
    const auto loaded = parseInputFile(path, dropped);
    if (!loaded)
        return false;
    // The on-line lines of the project being replaced are kept as old copies.
    m_forms.Results->cbDeleteOnLinePlots->setChecked(false);
    resetProject(true);
    applyLoaded(*loaded);
    CurrentFileName = path;
    ToolBarClick(LbSpeedButton1);
    setFileTitle();
    FolderSettings.InputFileDir = QFileInfo(path).absolutePath().toStdString() + kPathSeparator;
    return true;
}

void TMainForm::Exportinputfile1Click() {
    PremakniFocus();
    if (CurrentFileName.isEmpty()) {
        SaveAs1Click();
        return;
    }
    if (m_forms.context.dialogs.message(
            "Do you want to save changes you made to '" + CurrentFileName + "'?",
            DialogIcon::Warning, {DialogButton::Yes, DialogButton::No}) == DialogButton::Yes)
        SaveInputFile(CurrentFileName);
}

void TMainForm::SaveAs1Click() {
    const QString path = m_forms.context.dialogs.saveFile(
        {fileDialogFolder(), QString::fromLatin1(kSaveFilter), "dat"});
    if (path.isEmpty() || !SaveInputFile(path))
        return;
    CurrentFileName = path;
    setFileTitle();
    m_recent.use(path.toStdString());
    rebuildRecentMenu();
}

QString TMainForm::fileDialogFolder() const {
    return CurrentFileName.isEmpty() ? QString::fromStdString(FolderSettings.InputFileDir)
                                     : QFileInfo(CurrentFileName).absolutePath();
}

void TMainForm::SelectRecent(int number) {
    if (number < 1 || number > static_cast<int>(m_recent.paths().size()))
        return;
    const QString path =
        QString::fromStdString(m_recent.paths()[static_cast<std::size_t>(number - 1)]);
    if (!QFileInfo(path).isFile()) {
        // Said before any question about the open project, which then stays as it is.
        m_forms.context.dialogs.error("The file \"" + path +
                                      "\" no longer exists; it is removed from the list.");
        m_recent.remove(path.toStdString());
        rebuildRecentMenu();
        storeRecentList();
        return;
    }
    m_recent.use(path.toStdString());
    rebuildRecentMenu();
    OpenInputFile(path);
}

void TMainForm::setRecentList(const RecentList& list) {
    m_recent = list;
    rebuildRecentMenu();
}

void TMainForm::rebuildRecentMenu() {
    for (QAction* action : m_recentActions) {
        File1->removeAction(action);
        delete action;
    }
    m_recentActions.clear();
    const auto captions = m_recent.captions();
    for (std::size_t i = 0; i < captions.size(); ++i) {
        auto* action = new QAction(QString::fromStdString(captions[i]), File1);
        const int number = static_cast<int>(i) + 1;
        connect(action, &QAction::triggered, this, [this, number] { SelectRecent(number); });
        File1->insertAction(m_recentSlot0, action);
        m_recentActions.append(action);
    }
}

void TMainForm::restoreRecentList() {
    RecentList list;
    SettingsStore& store = m_forms.context.settings;
    // Stored top first; using them from the bottom up restores the order.
    for (int i = static_cast<int>(RecentList::kMaxEntries); i >= 1; --i) {
        const std::string path = RecentList::pathOfCaption(
            store.value(kRecentGroup + QString::number(i)).toString().toStdString());
        if (!path.empty())
            list.use(path);
    }
    setRecentList(list);
}

void TMainForm::storeRecentList() {
    SettingsStore& store = m_forms.context.settings;
    const auto captions = m_recent.captions();
    for (std::size_t i = 1; i <= RecentList::kMaxEntries; ++i)
        store.setValue(kRecentGroup + QString::number(i),
                       i <= captions.size() ? QString::fromStdString(captions[i - 1]) : QString());
    store.sync();
}

void TMainForm::dropFiles(const QStringList& paths) {
    if (paths.size() >= 2) {
        m_forms.context.dialogs.notice(QStringLiteral("You can drop only one file at a time!"));
        return;
    }
    if (paths.isEmpty())
        return;
    QDir::setCurrent(QString::fromStdString(FolderSettings.WorkDir));
    OpenInputFile(paths.first().left(260), true);
}

void TMainForm::Usermanual1Click() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(
        QString::fromStdString(joinPath(FolderSettings.WorkDir, "Help/Lumetrix Manual.pdf"))));
}

} // namespace lumetrix
