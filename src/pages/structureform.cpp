#include "pages/structureform.h"

#include "core/inputfile_reader.h"

#include "controls/colorbutton.h"
#include "controls/combobox.h"
#include "controls/combolists.h"
#include "controls/pbnumedit.h"
#include "controls/widget_factory.h"
#include "core/folders.h"
#include "core/number_ranges.h"
#include "core/project.h"
#include "pages/pagehost.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

namespace lumetrix {
namespace {

// The page colour, which the disabled edits take.
const QColor kDisabledColor = QColor::fromRgb(0xD8, 0xDE, 0xEB); // 15458008 as B, G, R bytes
constexpr int kScrollHeightWithAdvanced = 442;
constexpr int kScrollHeightWithout = 617;
constexpr int kTopStrip = 64;
constexpr int kRowsWidth = 670;

TPBNumEdit* rowEdit(QWidget* parent, const QString& name, const QRect& geometry,
                    const NumEditSetup& setup) {
    auto* edit = numEdit(name, parent, setup);
    edit->setFixedSize(geometry.size());
    edit->move(geometry.topLeft());
    edit->setFrame(false);
    edit->setDisabledColor(kDisabledColor);
    return edit;
}

QLabel* caption(QWidget* parent, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

} // namespace

TLayerRow::~TLayerRow() {
    delete layerFile;
    delete thickness;
    delete segments;
    delete roughness;
    delete number;
    delete pv;
}

LayerRow TLayerRow::values() const {
    // An edit's own state: a tool window that disables the main window changes no row.
    const auto enabled = [](const QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); };
    LayerRow v;
    v.creationNumber = creationNumber;
    v.identity = identity;
    v.number = number->text().toStdString();
    v.numberEnabled = enabled(number);
    v.layerFile = layerFile->currentText().toStdString();
    v.thickness = thickness->text().toStdString();
    v.thicknessEnabled = enabled(thickness);
    v.segments = segments->text().toStdString();
    v.segmentsEnabled = enabled(segments);
    v.roughness = roughness ? roughness->text().toStdString() : std::string();
    v.pvActive = pv->isChecked();
    v.pvEnabled = enabled(pv);
    return v;
}

void TLayerRow::show(const LayerRow& v) {
    identity = v.identity;
    layerFile->setProperty("Tag", v.identity);
    number->setText(QString::fromStdString(v.number));
    number->setEnabled(v.numberEnabled);
    if (layerFile->currentText() != QString::fromStdString(v.layerFile))
        layerFile->setEditText(QString::fromStdString(v.layerFile));
    thickness->setText(QString::fromStdString(v.thickness));
    thickness->setEnabled(v.thicknessEnabled);
    segments->setText(QString::fromStdString(v.segments));
    segments->setEnabled(v.segmentsEnabled);
    if (roughness)
        roughness->setText(QString::fromStdString(v.roughness));
    pv->setChecked(v.pvActive);
    pv->setEnabled(v.pvEnabled);
}

TStructureForm::TStructureForm(PageHost& host, QWidget* parent)
    : TPageForm(host, Page::Structure, parent) {
    setObjectName(QStringLiteral("StructureForm"));
    buildColumnCaptions();
    buildLayerCountPanel();
    buildRowArea();
    buildRowMenu();
    buildAdvancedPanel();
    bindComboLists();
    connectHandlers();
    FormCreate();
}

void TStructureForm::buildColumnCaptions() {
    // Column captions stand over their columns, bottom-aligned just above the rows.
    const struct {
        const char* text;
        int left;
        int width;
    } columns[] = {{"PV \nactive", 0, 40},
                   {"Layer (nk)", 54, 325},
                   {"Thickness (nm)", 378, 90},
                   {"No. of segm.", 467, 90},
                   {"Roughness\nrms (nm)", 556, 90}};
    for (const auto& column : columns) {
        QLabel* label = caption(this, QString::fromLatin1(column.text), 0, 0);
        label->setWordWrap(true);
        label->setAlignment(column.left == 54 ? Qt::AlignLeft | Qt::AlignBottom
                                              : Qt::AlignHCenter | Qt::AlignBottom);
        label->setGeometry(10 + column.left, 14, column.width, 46);
    }
}

void TStructureForm::buildLayerCountPanel() {
    caption(this, QStringLiteral("No. of layers"), 700, 20);
    pbAddRemoveLayer = numEdit(QStringLiteral("pbAddRemoveLayer"), this,
                               {.max = LayerRows::kMaxLayers, .alignment = Qt::AlignCenter});
    pbAddRemoveLayer->setReadOnly(true);
    pbAddRemoveLayer->move(700, 40);
    LbSpeedButton1 = commandButton(QStringLiteral("ADD"), QStringLiteral("LbSpeedButton1"), this);
    LbSpeedButton1->move(700, 72);
    LbSpeedButton2 =
        commandButton(QStringLiteral("REMOVE"), QStringLiteral("LbSpeedButton2"), this);
    LbSpeedButton2->move(700, 104);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(300);
}

void TStructureForm::buildRowArea() {
    ScrollBox1 = named<QScrollArea>(this, QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setGeometry(10, kTopStrip, kRowsWidth, kScrollHeightWithout);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_rowsHost = named<QWidget>(nullptr, QStringLiteral("ScrollBox1Rows"));
    m_rowsHost->resize(kRowsWidth - 20, kRowPitch);
    ScrollBox1->setWidget(m_rowsHost);
    parkFocusOnClick(m_rowsHost);
}

void TStructureForm::buildRowMenu() {
    PopupMenu1 = new QMenu(this);
    AddLayer = PopupMenu1->addAction(QStringLiteral("&Add Layer above"));
    AddLayer->setObjectName(QStringLiteral("AddLayer"));
    DeleteLayer = PopupMenu1->addAction(QStringLiteral("&Delete layer"));
    DeleteLayer->setObjectName(QStringLiteral("DeleteLayer"));
}

void TStructureForm::buildAdvancedPanel() {
    AdvPanel = named<QWidget>(this, QStringLiteral("AdvPanel"));
    AdvPanel->setGeometry(10, kTopStrip + kScrollHeightWithAdvanced, 806, 175);
    QLabel* heading = boldLabel(
        QStringLiteral("LAYER INCOHERENCY CONDITIONS  (up to 3 icoherent layers considered)"),
        AdvPanel);
    heading->move(0, 12);
    heading->adjustSize();
    caption(AdvPanel,
            QStringLiteral("Lower thickness limit (d_incoh) for a fully incoherent layer:"), 0, 40);
    caption(AdvPanel, QStringLiteral("d_incoh = d_incoh_init * I_factor"), 20, 62);
    caption(AdvPanel, QStringLiteral("I_factor = "), 420, 62);
    caption(AdvPanel, QStringLiteral("Upper thickness limit (d_coh) for a fully coherent layer:"),
            0, 92);
    caption(AdvPanel, QStringLiteral("d_coh = d_incoh / C_factor"), 20, 114);
    caption(AdvPanel, QStringLiteral("C_factor = "), 420, 114);
    caption(AdvPanel, QStringLiteral("d_incoh_init (nm) = lambda (nm) ^2 / (2 * 4nm * refr. ind.)"),
            0, 146);
    pbIfactor = numEdit(
        QStringLiteral("pbIfactor"), AdvPanel,
        {.min = ranges::kIncoherentFactor.min, .max = ranges::kIncoherentFactor.max, .value = 1.0});
    pbIfactor->move(500, 59);
    pbCfactor = numEdit(
        QStringLiteral("pbCfactor"), AdvPanel,
        {.min = ranges::kCoherentFactor.min, .max = ranges::kCoherentFactor.max, .value = 1.0});
    pbCfactor->move(500, 111);
    parkFocusOnClick(AdvPanel);
}

void TStructureForm::bindComboLists() {
    m_host.comboLists().addBinding({[this] {
                                        QList<QComboBox*> boxes;
                                        for (const auto& record : RowList)
                                            boxes << record->layerFile;
                                        return boxes;
                                    },
                                    [this] { return layerListFile(); },
                                    {}});
}

void TStructureForm::connectHandlers() {
    connect(pbAddRemoveLayer, &QLineEdit::textChanged, this, &TStructureForm::LayerEditChange);
    connect(LbSpeedButton1, &QPushButton::pressed, this, &TStructureForm::LbSpeedButton1MouseDown);
    connect(LbSpeedButton2, &QPushButton::pressed, this, &TStructureForm::LbSpeedButton2MouseDown);
    connect(LbSpeedButton1, &QPushButton::released, this, &TStructureForm::LbSpeedButton1MouseUp);
    connect(LbSpeedButton2, &QPushButton::released, this, &TStructureForm::LbSpeedButton1MouseUp);
    connect(Timer1, &QTimer::timeout, this, &TStructureForm::Timer1Timer);
    connect(AddLayer, &QAction::triggered, this, &TStructureForm::AddLayerClick);
    connect(DeleteLayer, &QAction::triggered, this, &TStructureForm::DeleteLayerClick);
}

void TStructureForm::FormCreate() {
    RowList.clear();
    LayerEditChange();
    LayerEditChange();
}

void TStructureForm::FormShow() {
    AdvPanel->setVisible(advanced());
    ScrollBox1->setFixedHeight(AdvPanel->isVisibleTo(this) ? kScrollHeightWithAdvanced
                                                           : kScrollHeightWithout);
}

int TStructureForm::rowCount() const {
    return static_cast<int>(RowList.size());
}

TLayerRow& TStructureForm::row(int r) const {
    return *RowList[static_cast<std::size_t>(r - 1)];
}

QString TStructureForm::layerName(int r) const {
    return row(r).layerFile->currentText();
}

int TStructureForm::rowIdentity(int r) const {
    return row(r).identity;
}

void TStructureForm::renumberIdentities() {
    for (int r = 1; r <= rowCount(); ++r)
        row(r).identity = r;
}

int TStructureForm::findRow(int identity) const {
    return pullRows().findRow(identity);
}

LayerRows TStructureForm::pullRows() const {
    LayerRows rows;
    for (const auto& record : RowList)
        rows.rows().push_back(record->values());
    return rows;
}

void TStructureForm::pushRows(const LayerRows& rows) {
    auto& list = RowList;
    while (static_cast<int>(list.size()) > rows.count())
        list.pop_back();
    for (int r = 1; r <= rows.count(); ++r) {
        if (r > static_cast<int>(list.size()))
            list.emplace_back(createRow(r));
        list[static_cast<std::size_t>(r - 1)]->show(rows.rows()[static_cast<std::size_t>(r - 1)]);
    }
    m_rowsHost->resize(m_rowsHost->width(), rows.count() * kRowPitch + 4);
}

QString TStructureForm::layerListFile() const {
    return QString::fromStdString(joinPath(m_host.folders().ListDir, "layer.dat"));
}

TLayerRow* TStructureForm::createRow(int c) {
    auto* record = new TLayerRow;
    record->creationNumber = c;
    record->identity = c;
    const int top = (c - 1) * kRowPitch;
    const QString n = QString::number(c);

    record->pv = named<QCheckBox>(m_rowsHost, "G" + n);
    record->pv->setGeometry(0, top - 2, 15, 25);

    record->number =
        rowEdit(m_rowsHost, "Ln" + n, QRect(35, top, 20, 22), {.alignment = Qt::AlignLeft});
    record->number->setReadOnly(true);
    record->number->setFocusPolicy(Qt::ClickFocus);
    record->number->setToolTip(QStringLiteral("Right click to add or remove layer"));
    if (c > 1) {
        record->number->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(record->number, &QWidget::customContextMenuRequested, this,
                [this, edit = record->number](const QPoint& pos) {
                    const auto& list = RowList;
                    for (std::size_t i = 0; i < list.size(); ++i)
                        if (list[i]->number == edit)
                            popUpRowMenu(static_cast<int>(i) + 1, edit->mapToGlobal(pos));
                });
    }

    record->layerFile = comboBox("L" + n, m_rowsHost, true);
    record->layerFile->setGeometry(54, top, 325, 22);
    {
        const QSignalBlocker blocker(record->layerFile);
        if (c == 1) {
            m_host.comboLists().LoadComboList(record->layerFile, layerListFile());
        } else {
            const TComboBox* first = row(1).layerFile;
            for (int i = 0; i < first->count(); ++i)
                record->layerFile->addItem(first->itemText(i));
        }
        record->layerFile->setCurrentIndex(-1);
    }

    record->thickness =
        rowEdit(m_rowsHost, "T" + n, QRect(378, top, 90, 22), {.max = ranges::kThickness.max});
    record->thickness->setToolTip(QStringLiteral("Value range: 0..1cm"));
    record->segments =
        rowEdit(m_rowsHost, "P" + n, QRect(467, top, 90, 22),
                {.min = ranges::kSegments.min, .max = ranges::kSegments.max, .decimals = 0});
    record->segments->setToolTip(QStringLiteral("Value range: 1..1000"));
    if (c > 1) {
        record->roughness = rowEdit(m_rowsHost, "R" + n, QRect(556, top - 10, 90, 22),
                                    {.max = ranges::kRoughness.max});
        record->roughness->setToolTip(QStringLiteral("Value range: 0..10000"));
        record->roughness->raise(); // it stands on the boundary above the row
    }
    for (QWidget* w :
         {static_cast<QWidget*>(record->pv), static_cast<QWidget*>(record->number),
          static_cast<QWidget*>(record->layerFile), static_cast<QWidget*>(record->thickness),
          static_cast<QWidget*>(record->segments)})
        w->show();
    if (record->roughness)
        record->roughness->show();
    return record;
}

void TStructureForm::LayerEditChange() {
    ScrollBox1->verticalScrollBar()->setValue(0);
    const int v = static_cast<int>(pbAddRemoveLayer->Value());
    const int c = rowCount();
    LayerRows rows = pullRows();
    if (c >= v + 2 && c >= 2)
        rows.removeRow();
    else
        rows.addRow();
    pushRows(rows);
}

void TStructureForm::step(int delta) {
    const int layers = static_cast<int>(pbAddRemoveLayer->Value());
    if ((delta > 0 && layers < LayerRows::kMaxLayers) || (delta < 0 && layers > 0))
        pbAddRemoveLayer->setValue(layers + delta);
}

void TStructureForm::startRepeat(bool adding) {
    m_adding = adding;
    Timer1Timer(); // one step at once
    Timer1->setInterval(500);
    Timer1->start();
}

void TStructureForm::LbSpeedButton1MouseDown() {
    startRepeat(true);
}

void TStructureForm::LbSpeedButton2MouseDown() {
    startRepeat(false);
}

void TStructureForm::LbSpeedButton1MouseUp() {
    Timer1->stop();
}

void TStructureForm::Timer1Timer() {
    Timer1->setInterval(100);
    step(m_adding ? 1 : -1);
}

void TStructureForm::popUpRowMenu(int r, const QPoint& globalPos) {
    m_popupRow = r;
    PopupMenu1->popup(globalPos);
}

void TStructureForm::AddLayerClick() {
    const int r = m_popupRow;
    if (r < 2 || r >= rowCount() ||
        static_cast<int>(pbAddRemoveLayer->Value()) >= LayerRows::kMaxLayers)
        return;
    step(1);
    LayerRows rows = pullRows();
    rows.bringLastLayerTo(r - 1);
    pushRows(rows);
}

void TStructureForm::DeleteLayerClick() {
    const int r = m_popupRow;
    if (r < 2 || r >= rowCount())
        return;
    LayerRows rows = pullRows();
    rows.sendLayerToEnd(r - 1);
    pushRows(rows);
    step(-1);
}

void TStructureForm::fillProject(Project& project) const {
    project.structure.rows = pullRows().rows();
    project.structure.pbIfactor = pbIfactor->text().toStdString();
    project.structure.pbCfactor = pbCfactor->text().toStdString();
}

void TStructureForm::takeLoaded(const LoadedProject& loaded) {
    // The rows come by stepping the layer count one row at a time.
    const int wanted = static_cast<int>(loaded.rows.size());
    while (rowCount() < wanted)
        step(1);
    while (rowCount() > wanted)
        step(-1);
    for (int r = 1; r <= wanted; ++r) {
        const LoadedRow& values = loaded.rows[static_cast<std::size_t>(r - 1)];
        TLayerRow& record = row(r);
        showComboText(record.layerFile, QString::fromStdString(values.layerFile));
        if (values.thickness)
            record.thickness->setText(QString::fromStdString(*values.thickness));
        if (values.segments)
            record.segments->setText(QString::fromStdString(*values.segments));
        if (values.roughness && record.roughness)
            record.roughness->setText(QString::fromStdString(*values.roughness));
        record.pv->setChecked(values.pvActive);
    }
    if (loaded.factorsCarried) {
        pbIfactor->setText(QString::fromStdString(loaded.values.structure.pbIfactor));
        pbCfactor->setText(QString::fromStdString(loaded.values.structure.pbCfactor));
    }
}

} // namespace lumetrix
