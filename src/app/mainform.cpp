#include "app/mainform.h"

#include "app/aboutform.h"
#include "app/forms.h"
#include "app/processform.h"
#include "controls/colorbutton.h"
#include "controls/kernelprogram.h"
#include "controls/platform_hooks.h"
#include "controls/regional.h"
#include "controls/settingsstore.h"
#include "controls/userdialogs.h"
#include "core/inputfile_writer.h"
#include "core/listing.h"
#include "core/project.h"
#include "core/result_list.h"
#include "core/textfile.h"
#include "core/window_fit.h"
#include "pages/adfform.h"
#include "pages/filesform.h"
#include "pages/hazeform.h"
#include "pages/pageform.h"
#include "pages/reftransform.h"
#include "pages/spectrumform.h"
#include "pages/structureform.h"
#include "pages/tekstform.h"
#include "results/results.h"
#include "tools/optform.h"
#include "tools/toolwindows.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace lumetrix {
namespace {

struct SideButtonSpec {
    const char* name;
    const char* caption;
};

// By Tag: the button shows the page of the same Tag.
constexpr std::array<SideButtonSpec, TMainForm::kPageCount> kSideButtons = {{
    {"LbSpeedButton1", "Structure"},
    {"LbSpeedButton2", "Haze Parameters"},
    {"LbSpeedButton3", "Angular Distribution Functions"},
    {"LbSpeedButton4", "Total Reflectance and Transmittance"},
    {"LbSpeedButton5", "Illumination Spectrum"},
    {"LbSpeedButton6", "Files"},
    {"LbSpeedButton9", "Additional Settings / Comments"},
    {"LbSpeedButton7", "Process Window"},
    {"LbSpeedButton8", "Results"},
}};

constexpr std::array<const char*, TMainForm::kPageCount> kPageTitles = {
    "Structure",
    "Haze parameters",
    "Angular Distribution Functions",
    "Total Reflectance and Transmittance",
    "Spectrum",
    "File locations",
    "Additional Settings / Comments",
    "Process window",
    "Results"};

const QColor kPanelColor(10, 36, 106);

// The program's icon: a thin-film stack with a ray of light entering it.
QIcon programIcon() {
    QPixmap picture(64, 64);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor layers[] = {QColor(120, 180, 230), QColor(240, 200, 80), QColor(90, 60, 140),
                             QColor(150, 150, 150)};
    const int tops[] = {24, 32, 38, 54, 64};
    for (int i = 0; i < 4; ++i)
        painter.fillRect(QRect(4, tops[i], 56, tops[i + 1] - tops[i] - (i < 3 ? 1 : 4)), layers[i]);
    painter.setPen(QPen(QColor(255, 140, 0), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPoint(12, 2), QPoint(28, 44));
    painter.end();
    return QIcon(picture);
}

// RUN stands at its designed top when the side panel has its designed height; a shorter panel
// keeps the designed margin below RUN, down to a top just under the advanced switch.
constexpr int kRunTop = 616;
const QString kGeometryKey = QStringLiteral("MainWindow/geometry");
constexpr int kRunBottomMargin = TMainForm::kClientHeight - kRunTop - 57;
constexpr int kRunHighestTop = 344 + 25 + 8;
constexpr int kSidePanelMinHeight = kRunHighestTop + 57 + 8;

const QSize kDesignedPageSize(TMainForm::kClientWidth - TMainForm::kSidePanelWidth,
                              TMainForm::kClientHeight - TMainForm::kTitleHeight);

ButtonLook sideButtonLook() {
    ButtonLook look;
    look.color = QColor(0, 48, 96);
    look.pressedColor = QColor(41, 101, 173);
    look.hoverColor = QColor(156, 174, 206);
    look.textColor = Qt::white;
    return look;
}

// The face of the side buttons at the largest pixel size, up to 12, at which both captions of
// the advanced switch fit between its edges (2 wide) with a padding of 4 on each side.
QFont advButtonFont(int buttonWidth) {
    QFont font(QStringLiteral("Arial"));
    for (int size = 12;; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        const int widest = std::max(metrics.horizontalAdvance(kShowAdvanced),
                                    metrics.horizontalAdvance(kHideAdvanced));
        if (widest <= buttonWidth - 2 * (2 + 4) || size <= 8)
            return font;
    }
}

// The logo of the side panel: the product's name on a light-blue field.
QPixmap logoPicture() {
    QPixmap pixmap(97, 73);
    pixmap.fill(kPanelColor);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 97, 73);
    gradient.setColorAt(0, QColor(78, 139, 214));
    gradient.setColorAt(1, QColor(10, 36, 106));
    p.setBrush(gradient);
    p.setPen(QPen(QColor(160, 193, 233), 1));
    p.drawEllipse(QRectF(12, 4, 72, 64));
    QFont big(QStringLiteral("Arial"));
    big.setPixelSize(30);
    big.setBold(true);
    p.setFont(big);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 8, 97, 44), Qt::AlignCenter, QStringLiteral("LX"));
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(11);
    p.setFont(small);
    p.drawText(QRect(0, 46, 97, 20), Qt::AlignCenter, QStringLiteral("Lumetrix"));
    return pixmap;
}

} // namespace

TMainForm::TMainForm(Forms& forms) : m_forms(forms), m_comboLists(forms.context.dialogs) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Lumetrix v1.2"));
    QApplication::setWindowIcon(programIcon());
    buildSidePanel();
    buildMenus();
    buildStatusBar();
    FormCreate();
    qApp->installEventFilter(this); // key preview
    // The kernel's report and progress go to the Process window page.
    m_run = new KernelRun(this);
    connect(m_run, &KernelRun::reportLine, this,
            [this](const QString& text) { m_forms.ProcessForm->addReport(text); });
    connect(m_run, &KernelRun::progress, this, [this](int done, int total) {
        m_forms.ProcessForm->setProgress(done, total);
        setRunStatus({RunStatus::State::Running, done, total});
    });
    connect(m_run, &KernelRun::ended, this, &TMainForm::runEnded);
    m_followRun = new QTimer(this);
    m_followRun->setInterval(500);
    connect(m_followRun, &QTimer::timeout, this, [this] { m_forms.Results->followRun(); });
}

TMainForm::~TMainForm() {
    hooks::setNotice(nullptr);
    storeRecentList();
}

void TMainForm::buildSidePanel() {
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    Panel1 = new QWidget(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(kSidePanelWidth);
    Panel1->setMinimumHeight(kSidePanelMinHeight);
    Panel1->setAutoFillBackground(true);
    QPalette panelPalette = Panel1->palette();
    panelPalette.setColor(QPalette::Window, kPanelColor);
    Panel1->setPalette(panelPalette);
    Panel1->installEventFilter(this); // a click parks the focus; a new height places RUN

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(40, 16, 97, 73);
    Image1->setPixmap(logoPicture());

    buildSideButtons();
    buildPageArea(central);
    row->addWidget(Panel1);
    row->addWidget(FormPanel, 1);
    setCentralWidget(central);
}

void TMainForm::buildSideButtons() {
    QFont sideFont(QStringLiteral("Arial"));
    sideFont.setPixelSize(11);
    for (int tag = 0; tag < kPageCount; ++tag) {
        auto* button = new TLbSpeedButton(QString::fromLatin1(kSideButtons[tag].caption), Panel1);
        button->setObjectName(QString::fromLatin1(kSideButtons[tag].name));
        button->Tag = tag;
        button->setFont(sideFont);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(0, 104 + 23 * tag, 185, 24);
        button->setLook(sideButtonLook());
        connect(button, &QPushButton::pressed, this, [this, button] { ToolBarClick(button); });
        SideButtons[tag] = button;
    }
    LbSpeedButton1 = SideButtons[0];
    LbSpeedButton2 = SideButtons[1];
    LbSpeedButton3 = SideButtons[2];
    LbSpeedButton4 = SideButtons[3];
    LbSpeedButton5 = SideButtons[4];
    LbSpeedButton6 = SideButtons[5];
    LbSpeedButton9 = SideButtons[6];
    LbSpeedButton7 = SideButtons[7];
    LbSpeedButton8 = SideButtons[8];
    LbSpeedButton1->setChecked(true);

    AdvButton = new TLbSpeedButton(kShowAdvanced, Panel1);
    AdvButton->setObjectName(QStringLiteral("AdvButton"));
    AdvButton->setGeometry(16, 344, 153, 25);
    AdvButton->setFont(advButtonFont(AdvButton->width()));
    AdvButton->setFocusPolicy(Qt::NoFocus);
    setAdvButtonLook(false);
    connect(AdvButton, &QPushButton::clicked, this, &TMainForm::AdvButtonClick);

    btRun = new TLbSpeedButton(QStringLiteral("RUN"), Panel1);
    btRun->setObjectName(QStringLiteral("btRun"));
    btRun->setCheckable(false);
    btRun->setGeometry(32, kRunTop, 121, 57);
    QFont runFont(QStringLiteral("Arial"));
    runFont.setPixelSize(20);
    runFont.setBold(true);
    btRun->setFont(runFont);
    ButtonLook runLook;
    runLook.color = QColor(41, 101, 173);
    runLook.pressedColor = QColor(10, 36, 106);
    runLook.hoverColor = QColor(78, 139, 214);
    runLook.textColor = Qt::white;
    btRun->setLook(runLook);
    connect(btRun, &QPushButton::clicked, this, &TMainForm::btRunClick);
}

void TMainForm::buildPageArea(QWidget* central) {
    FormPanel = new QWidget(central);
    FormPanel->setObjectName(QStringLiteral("FormPanel"));
    auto* column = new QVBoxLayout(FormPanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    Panel3 = new QLabel(FormPanel);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedHeight(kTitleHeight);
    Panel3->setIndent(12);
    Panel3->setStyleSheet(QStringLiteral(
        "QLabel { background-color: navy; color: white; font-family: Arial; font-weight: bold; "
        "font-size: 14px; }"));
    column->addWidget(Panel3);
    // An editor page keeps at least its designed size; a smaller window scrolls it, so that no
    // page widens the window or hides a control (ToolBarClick sets the page's least size).
    PageScroll = new QScrollArea(FormPanel);
    PageScroll->setObjectName(QStringLiteral("PageScroll"));
    PageScroll->setFrameShape(QFrame::NoFrame);
    PageScroll->setWidgetResizable(true);
    m_pageArea = new QWidget;
    m_pageArea->setObjectName(QStringLiteral("PageArea"));
    m_pageLayout = new QVBoxLayout(m_pageArea);
    m_pageLayout->setContentsMargins(0, 0, 0, 0);
    PageScroll->setWidget(m_pageArea);
    column->addWidget(PageScroll, 1);
}

void TMainForm::buildMenus() {
    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    New1 = File1->addAction(QStringLiteral("&New"));
    New1->setObjectName(QStringLiteral("New1"));
    Importinputfile1 = File1->addAction(QStringLiteral("&Open input file"));
    Importinputfile1->setObjectName(QStringLiteral("Importinputfile1"));
    Importinputfile1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Exportinputfile1 = File1->addAction(QStringLiteral("&Save input file"));
    Exportinputfile1->setObjectName(QStringLiteral("Exportinputfile1"));
    Exportinputfile1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAs1 = File1->addAction(QStringLiteral("Save input file &As"));
    SaveAs1->setObjectName(QStringLiteral("SaveAs1"));
    File1->addSeparator();
    Printinputfile1 = File1->addMenu(QStringLiteral("&Print"));
    Printinputfile1->setObjectName(QStringLiteral("Printinputfile1"));
    Printinputfile1->addAction(QStringLiteral("Print &input file"));
    Printinputfile1->addAction(QStringLiteral("Print &results"));
    Printinputfile1->setEnabled(false);
    File1->addSeparator();
    m_recentSlot0 = File1->addSeparator(); // the recent entries stand above it
    Exit1 = File1->addAction(QStringLiteral("E&xit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    connect(Exit1, &QAction::triggered, this, &TMainForm::Exit1Click);
    connect(New1, &QAction::triggered, this, &TMainForm::New1Click);
    connect(Importinputfile1, &QAction::triggered, this, &TMainForm::Importinputfile1Click);
    connect(Exportinputfile1, &QAction::triggered, this, &TMainForm::Exportinputfile1Click);
    connect(SaveAs1, &QAction::triggered, this, &TMainForm::SaveAs1Click);

    // The pages by keyboard: each switches as its side button does.
    View1 = menuBar()->addMenu(QStringLiteral("&View"));
    View1->setObjectName(QStringLiteral("View1"));
    for (int tag = 0; tag < kPageCount; ++tag) {
        QAction* page = View1->addAction(titleFor(static_cast<Page>(tag)));
        page->setObjectName(QStringLiteral("ViewPage%1").arg(tag + 1));
        page->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + tag)));
        connect(page, &QAction::triggered, this, [this, tag] { ToolBarClick(SideButtons[tag]); });
        ViewPages[tag] = page;
    }
    View1->addSeparator();
    PreviousPage1 = View1->addAction(QStringLiteral("&Previous page"));
    PreviousPage1->setObjectName(QStringLiteral("PreviousPage1"));
    PreviousPage1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    connect(PreviousPage1, &QAction::triggered, this, [this] { stepPage(-1); });
    NextPage1 = View1->addAction(QStringLiteral("&Next page"));
    NextPage1->setObjectName(QStringLiteral("NextPage1"));
    NextPage1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    connect(NextPage1, &QAction::triggered, this, [this] { stepPage(1); });

    ools1 = menuBar()->addMenu(QStringLiteral("&Tools"));
    ools1->setObjectName(QStringLiteral("ools1"));
    cRcTtransform1 = ools1->addAction(QStringLiteral("&cR_cT transform"));
    cRcTtransform1->setObjectName(QStringLiteral("cRcTtransform1"));
    connect(cRcTtransform1, &QAction::triggered, this, &TMainForm::cRcTtransform1Click);
    Opimisationtool1 = ools1->addAction(QStringLiteral("&Opimisation tool"));
    Opimisationtool1->setObjectName(QStringLiteral("Opimisationtool1"));
    connect(Opimisationtool1, &QAction::triggered, this, &TMainForm::Opimisationtool1Click);
    CalculateLPIF1 = ools1->addAction(QStringLiteral("&Calculate LPIF"));
    CalculateLPIF1->setObjectName(QStringLiteral("CalculateLPIF1"));
    connect(CalculateLPIF1, &QAction::triggered, this, &TMainForm::CalculateLPIF1Click);

    Help1 = menuBar()->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Usermanual1 = Help1->addAction(QStringLiteral("&User manual"));
    Usermanual1->setObjectName(QStringLiteral("Usermanual1"));
    Associatedatfiles1 = Help1->addAction(QStringLiteral("Associate .dat files"));
    Associatedatfiles1->setObjectName(QStringLiteral("Associatedatfiles1"));
    About1 = Help1->addAction(QStringLiteral("&About"));
    About1->setObjectName(QStringLiteral("About1"));
    connect(About1, &QAction::triggered, this, &TMainForm::About1Click);
    connect(Usermanual1, &QAction::triggered, this, &TMainForm::Usermanual1Click);
    connect(Associatedatfiles1, &QAction::triggered, this, &TMainForm::Associatedatfiles1Click);
}

void TMainForm::FormCreate() {
    fitToScreen();
    RecentCount = 0;
    AddOnPresent = false;

    QString workDir = m_forms.context.workDir;
    if (workDir.isEmpty())
        workDir = QCoreApplication::applicationDirPath();
    QDir::setCurrent(workDir);
    FolderSettings.WorkDir = QDir::currentPath().toStdString();

    AddOnPresent =
        QFileInfo::exists(QString::fromStdString(joinPath(FolderSettings.WorkDir, "libLXPro.so")));
    CurrentFileName.clear();
    Associatedatfiles1->setVisible(true);
    FormPanel->setAcceptDrops(true);
    FormPanel->installEventFilter(this); // files dropped on the page area
    BaselineList.clear();
    ToolWindowOpen = false;
    restoreRecentList();
}

void TMainForm::fitToScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    // The frame is known once the window is shown; before, a usual title bar and border.
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(8, 32);
    applyWindowFit(fitWindow(kClientWidth, kClientHeight + chromeHeight(),
                             room.width() - frame.width(), room.height() - frame.height(),
                             kLeastWidth, kLeastHeight));
    if (screen)
        move(std::max(room.left(), room.center().x() - (width() + frame.width()) / 2),
             std::max(room.top(), room.center().y() - (height() + frame.height()) / 2));
    // The size, place and maximised state the window had when it was last closed.
    const QByteArray kept = settings().value(kGeometryKey).toByteArray();
    if (!kept.isEmpty())
        restoreGeometry(kept);
}

int TMainForm::chromeHeight() const {
    return menuBar()->sizeHint().height() + (m_statusFile ? statusBar()->sizeHint().height() : 0);
}

void TMainForm::applyWindowFit(const WindowFit& fit) {
    setMinimumSize(kLeastWidth, kLeastHeight);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    centralWidget()->setMinimumSize(0, 0);
    centralWidget()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(fit.width, fit.height);
}

void TMainForm::placeRunButton() {
    const int lowest = Panel1->height() - kRunBottomMargin - btRun->height();
    btRun->move(btRun->x(), std::clamp(lowest, kRunHighestTop, kRunTop));
}

bool TMainForm::advancedFlag(Page page) const {
    return hasAdvancedPart(page) && m_advanced[static_cast<std::size_t>(pageIndex(page))];
}

void TMainForm::setAdvancedFlag(Page page, bool on) {
    if (hasAdvancedPart(page))
        m_advanced[static_cast<std::size_t>(pageIndex(page))] = on;
}

void TMainForm::clearAdvancedFlags() {
    m_advanced.fill(false);
}

TPageForm* TMainForm::pageFor(Page page) const {
    switch (page) {
    case Page::Structure:
        return m_forms.StructureForm;
    case Page::Haze:
        return m_forms.HazeForm;
    case Page::Adf:
        return m_forms.ADFForm;
    case Page::RefTrans:
        return m_forms.RefTransForm;
    case Page::Spectrum:
        return m_forms.SpectrumForm;
    case Page::Files:
        return m_forms.FilesForm;
    case Page::Comments:
        return m_forms.TekstForm;
    case Page::Process:
        return m_forms.ProcessForm;
    case Page::Results:
        return m_forms.Results;
    }
    return nullptr;
}

QString TMainForm::titleFor(Page page) {
    return QString::fromLatin1(kPageTitles[static_cast<std::size_t>(pageIndex(page))]);
}

void TMainForm::FormActivate() {
    if (m_activated)
        return; // later activations (after a tool window) keep the project as it is
    m_activated = true;
    BuildInputFile(BaselineList);
    ToolBarClick(LbSpeedButton1);
    if (!m_forms.context.files.isEmpty())
        OpenInputFile(m_forms.context.files.first());
    else // the example is an untitled project: CurrentFileName stays empty
        ReadInputFile(
            QString::fromStdString(joinPath(FolderSettings.InputFileDir, "CIGS example.dat")));
}

void TMainForm::ToolBarClick(TLbSpeedButton* Sender) {
    if (ToolWindowOpen || !Sender)
        return;
    // A button of no page shows none.
    const bool known = Sender->Tag >= 0 && Sender->Tag < kPageCount;
    const auto page = static_cast<Page>(known ? Sender->Tag : 0);
    if (CurrentPage)
        CurrentPage->hide();
    CurrentPage = known ? pageFor(page) : nullptr;
    Panel3->setText(known ? titleFor(page) : QString());
    // The comments, the process window and the results scroll their own views; they take the
    // room there is rather than hide their scroll bars beyond it.
    const bool advancedPart = known && hasAdvancedPart(page);
    m_pageArea->setMinimumSize(advancedPart ? kDesignedPageSize : QSize(0, 0));
    if (CurrentPage) {
        CurrentPage->hide();
        m_pageLayout->addWidget(CurrentPage);
        CurrentPage->show();
    }
    if (advancedPart) {
        AdvButton->show();
        setAdvButtonLook(advancedFlag(page));
    } else {
        AdvButton->hide();
    }
    Sender->setChecked(true);
    for (TLbSpeedButton* other : SideButtons)
        if (other != Sender)
            other->setChecked(false);
}

void TMainForm::setAdvButtonLook(bool on) {
    AdvButton->setText(on ? kHideAdvanced : kShowAdvanced);
    AdvButton->setLook(switchLook(on));
}

void TMainForm::AdvButtonClick() {
    if (!CurrentPage)
        return;
    const bool on = AdvButton->text() == kShowAdvanced;
    setAdvancedFlag(CurrentPage->Tag, on);
    setAdvButtonLook(on);
    CurrentPage->FormShow();
}

void TMainForm::btRunClick() {
    if (m_run->running())
        m_run->stop();
    else
        startRun();
}

void TMainForm::startRun() {
    PremakniFocus();
    UserDialogs& dialogs = m_forms.context.dialogs;
    const QString program = kernelProgramPath();
    const QFileInfo kernel(program);
    if (!kernel.isFile() || !kernel.isExecutable()) {
        dialogs.error(QStringLiteral("The simulation kernel \"%1\" is missing or cannot be run.\n"
                                     "It belongs in the folder of the Lumetrix program, unless "
                                     "LUMETRIX_KERNEL names it.")
                          .arg(program));
        return;
    }
    if (m_forms.LXOpt_Form->running()) {
        dialogs.error(QStringLiteral("An optimisation is running and writes the output files: "
                                     "stop it or wait for its end before RUN."));
        return;
    }
    if (!outputReady())
        return;
    const QString name = QString::fromStdString(FolderSettings.OutFileName);
    const QDir out(QString::fromStdString(FolderSettings.OutFileDir));
    QStringList existing;
    for (const std::string_view suffix : kRunFileSuffixes) {
        const QString file = name + QString::fromLatin1(suffix.data(), qsizetype(suffix.size()));
        if (QFileInfo::exists(out.filePath(file)))
            existing << file;
    }
    if (!existing.isEmpty() && m_forms.FilesForm->cbOverwriteLXOut->isChecked() &&
        dialogs.message(QStringLiteral("The output folder \"%1\" already holds these result "
                                       "files:\n%2\n\nDo you want to overwrite them?")
                            .arg(out.path(), existing.join(QStringLiteral(", "))),
                        DialogIcon::Warning,
                        {DialogButton::Yes, DialogButton::No}) != DialogButton::Yes)
        return;
    const QString input = runInputPath();
    if (!SaveInputFile(input))
        return;
    btRun->setText(QStringLiteral("STOP"));
    // The on-line view follows the rows of this run in "_partial.rta", beside the earlier set
    // of files, which the kernel replaces only when the run is complete.
    setRunStatus({RunStatus::State::Running, 0, 0});
    m_forms.ProcessForm->runStarted(program, input);
    ToolBarClick(LbSpeedButton7);
    m_followRun->start();
    m_run->start(program, {input}, QString::fromStdString(FolderSettings.WorkDir));
}

bool TMainForm::outputReady() {
    UserDialogs& dialogs = m_forms.context.dialogs;
    const QString name = QString::fromStdString(FolderSettings.OutFileName);
    const QDir out(QString::fromStdString(FolderSettings.OutFileDir));
    if (name.isEmpty()) {
        dialogs.error(QStringLiteral("The output files have no name: give one on the Files page."));
        return false;
    }
    if (!out.exists()) {
        dialogs.error(QStringLiteral("The output folder \"%1\" does not exist: choose or create it "
                                     "on the Files page.")
                          .arg(out.path()));
        return false;
    }
    return true;
}

QString TMainForm::saveKernelInput() {
    PremakniFocus();
    if (m_run->running()) {
        m_forms.context.dialogs.error(
            QStringLiteral("A simulation is running and writes the output files: stop it or "
                           "wait for its end before the optimisation."));
        return {};
    }
    if (!outputReady())
        return {};
    const QString input = runInputPath();
    return SaveInputFile(input) ? input : QString();
}

QString TMainForm::runInputPath() const {
    const QDir out(QString::fromStdString(FolderSettings.OutFileDir));
    const QString name = QString::fromStdString(FolderSettings.OutFileName);
    const QString copy = out.absoluteFilePath(name + ".dat");
    if (CurrentFileName.isEmpty())
        return copy;
    const QFileInfo own(CurrentFileName);
    const QFileInfo target(copy);
    const bool same = own.exists() && target.exists()
                          ? own.canonicalFilePath() == target.canonicalFilePath()
                          : QDir::cleanPath(own.absoluteFilePath()) == QDir::cleanPath(copy);
    return same ? out.absoluteFilePath(name + "_run.dat") : copy;
}

void TMainForm::runEnded(KernelRun::End end, const QString& message) {
    m_followRun->stop();
    btRun->setText(QStringLiteral("RUN"));
    m_forms.ProcessForm->runEnded(end, message);
    RunStatus ended = m_runStatus;
    ended.state = end == KernelRun::End::Completed ? RunStatus::State::Completed
                  : end == KernelRun::End::Stopped ? RunStatus::State::Stopped
                                                   : RunStatus::State::Failed;
    setRunStatus(ended);
    switch (end) {
    case KernelRun::End::Completed:
        // The Results page reads the new result and its totals as it is shown, and it is what
        // RUN leads to, so its button is the one shown pressed.
        ToolBarClick(LbSpeedButton8);
        break;
    case KernelRun::End::Failed:
        m_forms.context.dialogs.error(QStringLiteral("The simulation failed.\n") + message);
        break;
    case KernelRun::End::Stopped:
        break;
    }
    // A Results page in view shows what the run came to.
    if (CurrentPage == m_forms.Results && end != KernelRun::End::Completed)
        m_forms.Results->FormShow();
}

void TMainForm::setRunStatus(const RunStatus& status) {
    m_runStatus = status;
    m_statusRun->setText(QStringLiteral("Run: ") + QString::fromStdString(m_runStatus.text()));
}

void TMainForm::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    m_statusFile = new QLabel(bar);
    m_statusFile->setObjectName(QStringLiteral("StatusFile"));
    m_statusModified = new QLabel(bar);
    m_statusModified->setObjectName(QStringLiteral("StatusModified"));
    m_statusRun = new QLabel(bar);
    m_statusRun->setObjectName(QStringLiteral("StatusRun"));
    bar->addPermanentWidget(m_statusFile, 1);
    bar->addPermanentWidget(m_statusModified);
    bar->addPermanentWidget(m_statusRun);
    // A numeric edit that had to change a typed value says so here.
    hooks::setNotice([bar](const QString& text) { bar->showMessage(text, 10000); });
    // Whether the project has unsaved changes is looked at now and then, as any page can make one.
    auto* watch = new QTimer(this);
    watch->setInterval(1000);
    connect(watch, &QTimer::timeout, this, &TMainForm::updateStatusBar);
    watch->start();
    setRunStatus(m_runStatus);
}

void TMainForm::updateStatusBar() {
    m_statusFile->setText(CurrentFileName.isEmpty() ? QStringLiteral("Untitled project")
                                                    : QDir::toNativeSeparators(CurrentFileName));
    m_statusModified->setText(hasUnsavedChanges() ? QStringLiteral("Modified")
                                                  : QStringLiteral("Unmodified"));
    setRunStatus(m_runStatus);
}

void TMainForm::stepPage(int step) {
    const auto pressed = std::find_if(SideButtons.begin(), SideButtons.end(),
                                      [](const TLbSpeedButton* b) { return b->isChecked(); });
    const int current = pressed == SideButtons.end() ? 0 : int(pressed - SideButtons.begin());
    ToolBarClick(SideButtons[(current + step + kPageCount) % kPageCount]);
}

void TMainForm::PremakniFocus() {
    btRun->setFocus(Qt::OtherFocusReason);
}

void TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
    if (key == Qt::Key_P)
        return;
    m_forms.FilesForm->FormKeyDown(key, shift);
}

void TMainForm::FormKeyUp(int key, Qt::KeyboardModifiers shift) {
    m_forms.FilesForm->FormKeyUp(key, shift);
}

void TMainForm::Exit1Click() {
    close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // A run would be killed by closing: the user decides. Then closing asks about unsaved work
    // as New and Open do; Cancel keeps the program open.
    if (m_run->running() &&
        m_forms.context.dialogs.message(
            QStringLiteral("A simulation is running. Closing Lumetrix stops it; the result files "
                           "of the last complete run stay as they are.\n\nStop the run and "
                           "close?"),
            DialogIcon::Warning, {DialogButton::Yes, DialogButton::No}) != DialogButton::Yes) {
        event->ignore();
        return;
    }
    if (!CheckSaveChanges()) {
        event->ignore();
        return;
    }
    m_run->stop();
    settings().setValue(kGeometryKey, saveGeometry());
    event->accept();
    QCoreApplication::quit();
}

void TMainForm::showToolWindow(QWidget* window) {
    // A window shown for the first time stands over the middle of the main window, its top
    // left corner on the screen even where the screen is smaller than the window.
    if (!window->property("placed").toBool()) {
        QPoint at = frameGeometry().center() - window->rect().center();
        if (const QScreen* screen = this->screen()) {
            const QRect room = screen->availableGeometry();
            at.setX(std::max(room.left(), std::min(at.x(), room.right() - window->width())));
            at.setY(std::max(room.top(), std::min(at.y(), room.bottom() - window->height())));
        }
        window->move(at);
        window->setProperty("placed", true);
    }
    window->show();
    window->raise();
    window->activateWindow(); // its keys go to it (Escape closes the About box)
}

void TMainForm::lockForToolWindow(QWidget* window) {
    ToolWindowOpen = true;
    showToolWindow(window);
    setEnabled(false);
}

void TMainForm::toolWindowClosed() {
    ToolWindowOpen = false;
    setEnabled(true);
}

void TMainForm::axisDialogShown(bool shown) {
    ToolWindowOpen = shown;
    Panel1->setEnabled(!shown);
}

bool TMainForm::runInProgress() const {
    return m_runStatus.state == RunStatus::State::Running;
}

void TMainForm::About1Click() {
    lockForToolWindow(m_forms.AboutForm);
}

void TMainForm::cRcTtransform1Click() {
    lockForToolWindow(m_forms.cR_cT_Form);
}

void TMainForm::CalculateLPIF1Click() {
    lockForToolWindow(m_forms.LPIF_Form);
}

void TMainForm::Opimisationtool1Click() {
    showToolWindow(m_forms.LXOpt_Form);
}

Project TMainForm::collectProject() {
    // Every command that reads the pages comes here: a number being typed is committed and
    // checked against its range first.
    PremakniFocus();
    Project project;
    m_forms.StructureForm->fillProject(project);
    m_forms.HazeForm->fillProject(project);
    m_forms.ADFForm->fillProject(project);
    m_forms.RefTransForm->fillProject(project);
    m_forms.SpectrumForm->fillProject(project);
    m_forms.FilesForm->fillProject(project);
    m_forms.TekstForm->fillProject(project);
    return project;
}

WriterContext TMainForm::writerContext() const {
    WriterContext context;
    context.workDir = FolderSettings.WorkDir;
    context.decimalSeparator = RegionalSettings::instance().separators().decimal;
    context.spectrumDir = FolderSettings.SpectrumDir;
    context.addOnPresent = AddOnPresent;
    const AddOnLibrary& addOn = m_forms.SpectrumForm->addOn();
    if (addOn.offersConversion())
        context.makeAm15File = [&addOn](const std::string& source, const std::string& target) {
            return addOn.makeAm15File(source, target);
        };
    return context;
}

void TMainForm::BuildInputFile(std::vector<std::string>& lines) {
    // The lines a save would write, without the file of a spectrum range that a save makes:
    // this build only compares the project with its file, as often as once a second.
    WriterContext context = writerContext();
    if (context.makeAm15File)
        context.makeAm15File = [](const std::string&, const std::string&) {
            return std::optional<std::string>();
        };
    lumetrix::BuildInputFile(collectProject(), context, lines);
}

bool TMainForm::SaveInputFile(const QString& path) {
    const Project project = collectProject();
    WriterContext context = writerContext();
    QString spectrumNote; // told once, after the file is written
    context.note = [&spectrumNote](const std::string& text) {
        spectrumNote = QString::fromStdString(text);
    };
    if (const auto problem = checkProjectForFile(project, context.decimalSeparator)) {
        m_forms.context.dialogs.error(
            QString::fromStdString(cannotCreateFileMessage(path.toStdString(), problem->reason)),
            QString::fromStdString(problem->detail));
        return false;
    }
    std::vector<std::string> lines;
    lumetrix::BuildInputFile(project, context, lines);
    if (const auto failure = writeTextFile(path.toStdString(), lines)) {
        m_forms.context.dialogs.error(
            QString::fromStdString(cannotCreateFileMessage(path.toStdString(), *failure)));
        return false;
    }
    if (!spectrumNote.isEmpty())
        m_forms.context.dialogs.notice(spectrumNote);
    return true;
}

UserDialogs& TMainForm::dialogs() {
    return m_forms.context.dialogs;
}

SettingsStore& TMainForm::settings() {
    return m_forms.context.settings;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        // Seen once, where the key is delivered: at the focused control of this window.
        const QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        if (widget == target && widget->window() == this) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (type == QEvent::KeyPress)
                FormKeyDown(key->key(), key->modifiers());
            else
                FormKeyUp(key->key(), key->modifiers());
        }
    } else if (watched == Panel1 && type == QEvent::MouseButtonPress) {
        PremakniFocus();
    } else if (watched == Panel1 && type == QEvent::Resize) {
        placeRunButton();
    } else if (watched == FormPanel && type == QEvent::DragEnter) {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        if (drag->mimeData()->hasUrls())
            drag->acceptProposedAction();
    } else if (watched == FormPanel && type == QEvent::Drop) {
        QStringList paths;
        for (const QUrl& url : static_cast<QDropEvent*>(event)->mimeData()->urls())
            if (url.isLocalFile())
                paths << url.toLocalFile();
        dropFiles(paths);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    updateStatusBar();
    // Without a window manager a window may never become active; the first show stands in.
    QTimer::singleShot(0, this, &TMainForm::FormActivate);
}

} // namespace lumetrix
