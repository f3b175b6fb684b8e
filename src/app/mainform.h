#pragma once

#include "app/processform.h"
#include "controls/combolists.h"
#include "core/folders.h"
#include "core/recent_list.h"
#include "pages/pagehost.h"

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QScrollArea;
class QTimer;
class QVBoxLayout;

namespace lumetrix {

class Forms;
class TLbSpeedButton;
class TPageForm;
struct Project;
struct WriterContext;
struct LoadedProject;
struct WindowFit;

inline const QString kShowAdvanced = QStringLiteral("Show Advanced Settings");
inline const QString kHideAdvanced = QStringLiteral("Hide Advanced Settings");

// The application's frame: side buttons choose the page shown in FormPanel, the advanced
// switch works per page, and the application-wide state lives here.
class TMainForm : public QMainWindow, public PageHost {
    Q_OBJECT
public:
    // The designed client area.
    static constexpr int kClientWidth = 1011;
    static constexpr int kClientHeight = 714;
    // The least size the window may be given.
    static constexpr int kLeastWidth = 640;
    static constexpr int kLeastHeight = 480;
    static constexpr int kSidePanelWidth = 185;
    static constexpr int kTitleHeight = 33;
    static constexpr int kPageCount = lumetrix::kPageCount;

    explicit TMainForm(Forms& forms);
    ~TMainForm() override;

    // Application-wide state.
    lumetrix::FolderSettings FolderSettings;
    QString CurrentFileName;
    std::vector<std::string> BaselineList;
    TPageForm* CurrentPage = nullptr;
    bool ToolWindowOpen = false;
    bool AddOnPresent = false;
    int RecentCount = 0;

    // What the pages may ask of their host.
    lumetrix::FolderSettings& folders() override { return FolderSettings; }
    bool advancedFlag(Page page) const override;
    bool addOnPresent() const override { return AddOnPresent; }
    void PremakniFocus() override;
    bool runInProgress() const override;
    RunStatus runStatus() const override { return m_runStatus; }
    // Set as the kernel's run starts, goes on and ends.
    void setRunStatus(const RunStatus& status);
    // The status bar: the project file, whether it has unsaved changes, the run.
    void updateStatusBar();
    ComboLists& comboLists() override { return m_comboLists; }
    UserDialogs& dialogs() override;
    SettingsStore& settings() override;

    void setAdvancedFlag(Page page, bool on);
    void clearAdvancedFlags();

    // Controls.
    QWidget* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    std::array<TLbSpeedButton*, kPageCount> SideButtons{}; // by Tag: LbSpeedButton1..6, 9, 7, 8
    TLbSpeedButton* LbSpeedButton1 = nullptr;
    TLbSpeedButton* LbSpeedButton2 = nullptr;
    TLbSpeedButton* LbSpeedButton3 = nullptr;
    TLbSpeedButton* LbSpeedButton4 = nullptr;
    TLbSpeedButton* LbSpeedButton5 = nullptr;
    TLbSpeedButton* LbSpeedButton6 = nullptr;
    TLbSpeedButton* LbSpeedButton7 = nullptr;
    TLbSpeedButton* LbSpeedButton8 = nullptr;
    TLbSpeedButton* LbSpeedButton9 = nullptr;
    TLbSpeedButton* AdvButton = nullptr;
    TLbSpeedButton* btRun = nullptr;
    QWidget* FormPanel = nullptr;
    QLabel* Panel3 = nullptr;
    // Scrolls the page when the window is smaller than designed.
    QScrollArea* PageScroll = nullptr;

    QMenu* File1 = nullptr;
    QAction* New1 = nullptr;
    QAction* Importinputfile1 = nullptr;
    QAction* Exportinputfile1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QMenu* Printinputfile1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* View1 = nullptr;
    std::array<QAction*, kPageCount> ViewPages{}; // by Tag: Ctrl+1 to Ctrl+9
    QAction* PreviousPage1 = nullptr;             // Ctrl+PgUp
    QAction* NextPage1 = nullptr;                 // Ctrl+PgDn
    QMenu* ools1 = nullptr;
    QAction* cRcTtransform1 = nullptr;
    QAction* Opimisationtool1 = nullptr;
    QAction* CalculateLPIF1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Usermanual1 = nullptr;
    QAction* Associatedatfiles1 = nullptr;
    QAction* About1 = nullptr;

    // Where pages live while they are not shown, and where the shown page is laid out.
    QWidget* pageHost() const { return m_pageArea; }
    // The page form and title of a page.
    TPageForm* pageFor(Page page) const;
    static QString titleFor(Page page);

    // Handlers.
    void FormActivate();
    void ToolBarClick(TLbSpeedButton* Sender);
    void AdvButtonClick();
    // RUN: the kernel computes the project; STOP (the caption while it runs) kills the run.
    void btRunClick();
    // The kernel's run, going while RUN reads STOP.
    const KernelRun& kernelRun() const { return *m_run; }
    // Shows the page a step away from the page of the pressed side button, round the ends.
    void stepPage(int step);
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void FormKeyUp(int key, Qt::KeyboardModifiers shift);
    void Exit1Click();
    void About1Click();
    void cRcTtransform1Click();
    void CalculateLPIF1Click();
    void Opimisationtool1Click();
    // A locking tool window (or the about box) has closed.
    void toolWindowClosed();
    // The Results page's axis selection dialog is shown or closed: the side buttons wait.
    void axisDialogShown(bool shown);

    // The project as the pages hold it.
    Project collectProject();
    // What the writer needs besides the project.
    WriterContext writerContext() const;
    // Appends the input file of the project, one string per line.
    void BuildInputFile(std::vector<std::string>& lines);
    // Writes the input file; on failure shows why and returns false (the old file stays).
    bool SaveInputFile(const QString& path);
    // Saves the project where a run of the kernel reads it, as RUN does; the path, or empty
    // when the output name or folder is unusable or the file cannot be written (the user has
    // been told why).
    QString saveKernelInput();

    // Project file commands.
    void New1Click();
    void Importinputfile1Click();
    void Exportinputfile1Click();
    void SaveAs1Click();
    void SelectRecent(int number);
    void Associatedatfiles1Click();
    void Usermanual1Click();
    // Opens an input file by name (command line, recent entry, dropped file); false when the
    // project stays as it was.
    bool OpenInputFile(const QString& path, bool dropped = false);
    // Reads an input file into the pages as they are (the start project); false when the file
    // cannot be read, and then nothing has changed.
    bool ReadInputFile(const QString& path);
    // True when the caller may replace the project; false when the user cancelled.
    bool CheckSaveChanges();
    // The project differs from the file it was read from or saved to (or from a new one).
    bool hasUnsavedChanges();
    // The recent list as the File menu shows it.
    const RecentList& recentList() const { return m_recent; }
    void setRecentList(const RecentList& list);
    // Writes the recent list to the settings store (also done when the window is destroyed).
    void storeRecentList();
    // Drop handling of the page area: one file is opened, more are refused.
    void dropFiles(const QStringList& paths);

    // Gives the window the designed size with a fixed border, or a sizeable border and the
    // fitted size; the pages keep their designed size and scroll when they do not fit.
    void applyWindowFit(const WindowFit& fit);
    // The menu bar and the status bar.
    int chromeHeight() const;

    // Whether the first activation has run.
    bool activated() const { return m_activated; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Parses a file whole and reports what is wrong; shows the corrupted-headings warning.
    std::optional<LoadedProject> parseInputFile(const QString& path, bool dropped);
    void applyLoaded(const LoadedProject& loaded);
    // New without its question: every page back to its defaults.
    void resetProject(bool startedByOpenInputFile);
    void setFileTitle();
    // Where the open and save dialogs start: the folder of the current file, if there is one.
    QString fileDialogFolder() const;
    void rebuildRecentMenu();
    void restoreRecentList();
    void FormCreate();
    void buildSidePanel();
    // The side panel's page buttons, the advanced switch and RUN.
    void buildSideButtons();
    // The page title and the scrolled area that holds the current page.
    void buildPageArea(QWidget* central);
    void buildMenus();
    void fitToScreen();
    void placeRunButton();
    void setAdvButtonLook(bool on);
    void showToolWindow(QWidget* window);
    // Checks the run's folder and files, saves the input file for the kernel and starts it.
    void startRun();
    // The input file the kernel reads: <output name>.dat in the output folder, or, when that
    // is the user's own project file, <output name>_run.dat.
    QString runInputPath() const;
    // The output files have a name and their folder exists; otherwise the user is told.
    bool outputReady();
    void runEnded(KernelRun::End end, const QString& message);
    void buildStatusBar();
    void lockForToolWindow(QWidget* window);

    Forms& m_forms;
    ComboLists m_comboLists;
    std::array<bool, kAdvancedPageCount> m_advanced{};
    QWidget* m_pageArea = nullptr;
    QVBoxLayout* m_pageLayout = nullptr;
    bool m_activated = false;
    RecentList m_recent;
    QList<QAction*> m_recentActions;
    QAction* m_recentSlot0 = nullptr; // stands between the entries and Exit
    KernelRun* m_run = nullptr;
    QTimer* m_followRun = nullptr; // the on-line view follows a run
    RunStatus m_runStatus;
    // The project file as last read for the unsaved-changes check, and its path, size and time.
    QString m_diskStamp;
    std::optional<std::string> m_diskText;
    QLabel* m_statusFile = nullptr;
    QLabel* m_statusModified = nullptr;
    QLabel* m_statusRun = nullptr;
};

} // namespace lumetrix
