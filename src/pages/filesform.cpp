#include "pages/filesform.h"

#include "core/inputfile_reader.h"

#include "controls/combolists.h"
#include "controls/platform_hooks.h"
#include "controls/settingsstore.h"
#include "controls/userdialogs.h"
#include "controls/widget_factory.h"
#include "core/folders.h"
#include "core/project.h"
#include "pages/pagehost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumetrix {
namespace {

// The Tags of the Browse buttons: the output folder first, the listing-files folder last.
constexpr int kOutputFolderTag = 1;
constexpr int kListingFolderTag = 7;

const QString kBrowseCaption = QStringLiteral("Please select directory...");
const QString kOverwriteKey = QStringLiteral("OverwriteOutFiles");
// Both parts of the page share one label column, so that their edits line up.
constexpr int kLabelColumnWidth = 250;
constexpr int kGridSpacing = 8;

const QString kBrowse = QStringLiteral("Browse...");
const QString kCtrlTip = QStringLiteral("Press CTRL to change ALL paths");

QLineEdit* folderEdit(QWidget* parent, const char* name, bool readOnly) {
    auto* edit = named<QLineEdit>(parent, QString::fromLatin1(name));
    edit->setReadOnly(readOnly);
    return edit;
}

// The grid of a part of the page: captions, edits that take the room, Browse buttons.
QGridLayout* folderGrid(QWidget* owner = nullptr) {
    auto* grid = new QGridLayout(owner);
    grid->setHorizontalSpacing(kGridSpacing);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(0, kLabelColumnWidth);
    return grid;
}

} // namespace

TFilesForm::TFilesForm(PageHost& host, QWidget* parent) : TPageForm(host, Page::Files, parent) {
    setObjectName(QStringLiteral("FilesForm"));
    auto* page = layoutOn<QVBoxLayout>(this, {24, 20, 24, 20}, 14);
    page->addLayout(buildOutputPanel());
    page->addWidget(buildAdvancedPanel());
    page->addStretch(1);
    connectHandlers();
    FormCreate();
}

QLayout* TFilesForm::buildOutputPanel() {
    auto* basic = folderGrid();
    eWorkDir = folderEdit(this, "eWorkDir", true);
    eOutFileName = folderEdit(this, "eOutFileName", false);
    eOutFileName->setText(QString::fromLatin1(kDefaultOutFileName.data(),
                                              static_cast<int>(kDefaultOutFileName.size())));
    eOutFileDir = folderEdit(this, "eOutFileDir", false);
    btOutFileDir = pushButton(kBrowse, QStringLiteral("btOutFileDir"), this);
    basic->addWidget(new QLabel(QStringLiteral("Working folder <WORKDIR>"), this), 0, 0);
    basic->addWidget(eWorkDir, 0, 1);
    basic->addWidget(new QLabel(QStringLiteral("Name of the output files"), this), 1, 0);
    basic->addWidget(eOutFileName, 1, 1);
    basic->addWidget(new QLabel(QStringLiteral("Folder of the output files"), this), 2, 0);
    basic->addWidget(eOutFileDir, 2, 1);
    basic->addWidget(btOutFileDir, 2, 2);
    cbOverwriteLXOut = checkBox(QStringLiteral("Ask if overwrite output files"),
                                QStringLiteral("cbOverwriteLXOut"), this);
    basic->addWidget(cbOverwriteLXOut, 3, 1);
    return basic;
}

QWidget* TFilesForm::buildAdvancedPanel() {
    AdvPanel = named<QWidget>(this, QStringLiteral("AdvPanel"));
    parkFocusOnClick(AdvPanel);
    auto* adv = folderGrid(AdvPanel);
    adv->setContentsMargins(0, 0, 0, 0);
    buildFolderRows(adv);
    adv->addLayout(buildPathButtons(), 6, 1); // under the edits, clear of the Browse buttons
    return AdvPanel;
}

void TFilesForm::buildFolderRows(QGridLayout* adv) {
    eDir_nk = folderEdit(AdvPanel, "eDir_nk", true);
    eDir_cRcT = folderEdit(AdvPanel, "eDir_cRcT", true);
    eDir_HRHT = folderEdit(AdvPanel, "eDir_HRHT", true);
    eDir_ars = folderEdit(AdvPanel, "eDir_ars", true);
    eDir_spk = folderEdit(AdvPanel, "eDir_spk", true);
    eDir_dat = folderEdit(AdvPanel, "eDir_dat", true);
    const std::array<std::pair<const char*, QLineEdit*>, 6> advRows = {{
        {"Folder with layer files (*.nk)", eDir_nk},
        {"Folder with calibration files (*.cal)", eDir_cRcT},
        {"Folder with haze files (*.tis)", eDir_HRHT},
        {"Folder with external ADF files (*.ars)", eDir_ars},
        {"Folder with illum. spectrum files (*.spk)", eDir_spk},
        {"Folder of listing files (*.dat)", eDir_dat},
    }};
    const std::array<const char*, 6> advButtonNames = {"btDir_nk",  "btDir_cal", "btDir_tis",
                                                       "btDir_ars", "btDir_spk", "brDir_dat"};
    for (int i = 0; i < 6; ++i) {
        auto* button = pushButton(kBrowse, QString::fromLatin1(advButtonNames[i]), AdvPanel);
        adv->addWidget(new QLabel(QString::fromLatin1(advRows[i].first), AdvPanel), i, 0);
        adv->addWidget(advRows[i].second, i, 1);
        adv->addWidget(button, i, 2);
        m_browseButtons[i + 1] = button;
    }
    m_browseButtons[0] = btOutFileDir;
    btDir_nk = m_browseButtons[1];
    btDir_cal = m_browseButtons[2];
    btDir_tis = m_browseButtons[3];
    btDir_ars = m_browseButtons[4];
    btDir_spk = m_browseButtons[5];
    brDir_dat = m_browseButtons[6];
    for (int i = 0; i < 7; ++i)
        m_browseButtons[i]->setProperty("Tag", i + 1);
}

QLayout* TFilesForm::buildPathButtons() {
    // The two buttons share the width of the edits, with the grid's spacing between them.
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kGridSpacing);
    btDefault = pushButton(kAssignPaths, QStringLiteral("btDefault"), AdvPanel);
    btDefault->setToolTip(kCtrlTip);
    btDefault->installEventFilter(this);
    btProjectDir = pushButton(QStringLiteral("Set project directory"),
                              QStringLiteral("btProjectDir"), AdvPanel);
    btProjectDir->setToolTip(kCtrlTip);
    buttons->addWidget(btDefault, 1);
    buttons->addWidget(btProjectDir, 1);
    return buttons;
}

void TFilesForm::connectHandlers() {
    for (QPushButton* button : m_browseButtons)
        connect(button, &QPushButton::clicked, this, [this, button] { btDirClick(button); });
    connect(btDefault, &QPushButton::clicked, this, &TFilesForm::btDefaultClick);
    connect(btProjectDir, &QPushButton::clicked, this, &TFilesForm::btProjectDirClick);
    connect(cbOverwriteLXOut, &QCheckBox::clicked, this, &TFilesForm::cbOverwriteLXOutClick);
    connect(eOutFileName, &QLineEdit::textChanged, this, &TFilesForm::eOutFileNameChange);
    eOutFileDir->installEventFilter(this); // leaving the edit and Enter apply the folder
}

QString TFilesForm::shown(const std::string& path) const {
    return QString::fromStdString(toWorkDirDisplay(path, m_host.folders().WorkDir));
}

void TFilesForm::FormCreate() {
    btProjectDir->show();
    m_overDefault = false;
    auto& folders = m_host.folders();
    eWorkDir->setText(QString::fromStdString(folders.WorkDir));
    const FolderSettings defaults = FolderSettings::defaults(folders.WorkDir);
    folders = defaults;
    setFolders(defaults, kOutputFolderTag, kListingFolderTag, true);
    eOutFileName->setText(QString::fromStdString(defaults.OutFileName));
}

void TFilesForm::FormShow() {
    AdvPanel->setVisible(advanced());
}

TFilesForm::FolderRow TFilesForm::rowForTag(int tag) const {
    switch (tag) {
    case 1:
        return {eOutFileDir, &FolderSettings::OutFileDir};
    case 2:
        return {eDir_nk, &FolderSettings::LayerFileDir};
    case 3:
        return {eDir_cRcT, &FolderSettings::CalibrationDir};
    case 4:
        return {eDir_HRHT, &FolderSettings::HazeFileDir};
    case 5:
        return {eDir_ars, &FolderSettings::ExternalAdfDir};
    case 6:
        return {eDir_spk, &FolderSettings::SpectrumDir};
    default:
        return {eDir_dat, &FolderSettings::ListDir};
    }
}

void TFilesForm::setFolders(const FolderSettings& from, int firstTag, int lastTag,
                            bool withMarker) {
    auto& folders = m_host.folders();
    for (int tag = firstTag; tag <= lastTag; ++tag) {
        const FolderRow row = rowForTag(tag);
        const std::string& path = from.*row.field;
        folders.*row.field = path;
        row.edit->setText(withMarker ? shown(path) : QString::fromStdString(path));
    }
}

void TFilesForm::btDirClick(QPushButton* Sender) {
    const int tag = Sender->property("Tag").toInt();
    const FolderRow row = rowForTag(tag);
    auto& folders = m_host.folders();
    const QString start =
        QString::fromStdString(browseStartFolder(row.edit->text().toStdString(), folders.WorkDir));
    const QString chosen = m_host.dialogs().browseFolder(kBrowseCaption, start);
    if (chosen.isEmpty())
        return;
    folders.*row.field = chosen.toStdString();
    if (row.field == &FolderSettings::ListDir)
        ReloadListBoxes();
    row.edit->setText(shown(chosen.toStdString()));
}

void TFilesForm::ReloadListBoxes() {
    m_host.comboLists().reloadAll();
}

void TFilesForm::fillProject(Project& project) const {
    FilesSettings& f = project.files;
    f.eOutFileDir = eOutFileDir->text().toStdString();
    f.eOutFileName = eOutFileName->text().toStdString();
    f.eDir_nk = eDir_nk->text().toStdString();
    f.eDir_HRHT = eDir_HRHT->text().toStdString();
    f.eDir_cRcT = eDir_cRcT->text().toStdString();
    f.eDir_ars = eDir_ars->text().toStdString();
    f.eDir_spk = eDir_spk->text().toStdString();
    f.eDir_dat = eDir_dat->text().toStdString();
}

void TFilesForm::eOutFileNameChange() {
    m_host.folders().OutFileName = eOutFileName->text().toStdString();
    emit outFileNameChanged(eOutFileName->text());
}

void TFilesForm::ApplyOutFileDir() {
    QString text = eOutFileDir->text();
    if (text.endsWith(QLatin1Char('/')) || text.endsWith(QLatin1Char('\\'))) {
        text.chop(1);
        eOutFileDir->setText(text);
    }
    auto& folders = m_host.folders();
    folders.OutFileDir = expandWorkDir(text.toStdString(), folders.WorkDir);
    const QString path = QString::fromStdString(folders.OutFileDir);
    if (path.isEmpty() || QDir(path).exists())
        return;
    UserDialogs& dialogs = m_host.dialogs();
    const auto answer =
        dialogs.message("Directory " + path + " does no exist! Create it?", DialogIcon::Error,
                        {DialogButton::Ok, DialogButton::Cancel});
    if (answer == DialogButton::Ok && !QDir().mkpath(path))
        dialogs.error("Cannot create " + path);
}

void TFilesForm::btDefaultClick() {
    auto& folders = m_host.folders();
    const FolderSettings defaults = FolderSettings::defaults(folders.WorkDir);
    setFolders(defaults, kOutputFolderTag + 1, kListingFolderTag, true);
    folders.InputFileDir = defaults.InputFileDir;

    if (btDefault->text() == kAssignAllPaths) {
        const std::string component = lastPathComponent(eOutFileDir->text().toStdString());
        eOutFileDir->setText(QString::fromStdString(joinPath(kWorkDirMarker, component)));
        folders.OutFileDir = joinPath(folders.WorkDir, component);
        ApplyOutFileDir();
    }
}

void TFilesForm::btProjectDirClick() {
    auto& folders = m_host.folders();
    const QString chosen =
        m_host.dialogs().browseFolder(kBrowseCaption, QString::fromStdString(folders.WorkDir));
    if (chosen.isEmpty())
        return;
    const FolderSettings under = FolderSettings::defaults(chosen.toStdString());
    setFolders(under, kOutputFolderTag, kListingFolderTag, false);
    folders.InputFileDir = under.InputFileDir;
}

void TFilesForm::cbOverwriteLXOutClick() {
    SettingsStore& store = m_host.settings();
    store.setValue(kOverwriteKey, cbOverwriteLXOut->isChecked());
    store.sync();
}

void TFilesForm::updateDefaultCaption() {
    if (!AdvPanel->isVisible() || !m_overDefault)
        return;
    const bool ctrl = hooks::keyboardModifiers() & Qt::ControlModifier;
    btDefault->setText(ctrl ? kAssignAllPaths : kAssignPaths);
}

void TFilesForm::FormKeyDown(int, Qt::KeyboardModifiers) {
    updateDefaultCaption();
}

void TFilesForm::FormKeyUp(int, Qt::KeyboardModifiers) {
    updateDefaultCaption();
}

bool TFilesForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == btDefault) {
        if (event->type() == QEvent::Enter) {
            m_overDefault = true;
        } else if (event->type() == QEvent::Leave) {
            m_overDefault = false;
            btDefault->setText(kAssignPaths);
        }
    } else if (watched == eOutFileDir) {
        if (event->type() == QEvent::FocusOut) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                ApplyOutFileDir();
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                ApplyOutFileDir();
        }
    }
    return TPageForm::eventFilter(watched, event);
}

void TFilesForm::takeLoaded(const LoadedProject& loaded) {
    eOutFileName->setText(QString::fromStdString(loaded.values.files.eOutFileName));
    if (!loaded.folders) {
        ReloadListBoxes();
        return;
    }
    // An old file names its folders; they are shown in <WORKDIR> form.
    const LegacyFolders& old = *loaded.folders;
    FolderSettings named = m_host.folders();
    named.OutFileDir = old.outFileDir;
    named.LayerFileDir = old.layerFileDir;
    named.CalibrationDir = old.calibrationDir;
    named.HazeFileDir = old.hazeFileDir;
    named.ExternalAdfDir = old.externalAdfDir;
    named.SpectrumDir = old.spectrumDir;
    setFolders(named, kOutputFolderTag, kListingFolderTag - 1, true);
}

} // namespace lumetrix
