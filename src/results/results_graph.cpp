// The graph view of the Results page: the lines and their legend, the graph settings, the
// chart's menu, and the axis selection dialog.
#include "controls/combobox.h"
#include "controls/pbnumedit.h"
#include "controls/regional.h"
#include "controls/userdialogs.h"
#include "controls/widget_factory.h"
#include "core/folders.h"
#include "core/textfile.h"
#include "pages/pagehost.h"
#include "results/resultchart.h"
#include "results/results.h"
#include "results/resulttablemodel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace lumetrix {
namespace {

const char* const kLineIdProperty = "lineId";

std::optional<int> lineIdOf(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget())
        if (const QVariant id = widget->property(kLineIdProperty); id.isValid())
            return id.toInt();
    return std::nullopt;
}

Rgb toRgb(const QColor& colour) {
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

} // namespace

void TResults::buildGraphPage() {
    auto* graph = new QWidget(Notebook1);
    auto* column = layoutOn<QVBoxLayout>(graph, {0, 0, 0, 0});
    Graf = new ResultChart(graph);
    connect(Graf, &ResultChart::menuRequested, this,
            [this](const QPoint& at) { PopupMenu2->popup(at); });
    connect(Graf, &ResultChart::clicked, this, [this] {
        if (!m_axisDialog || !m_axisDialog->isVisible())
            m_host.PremakniFocus();
    });
    column->addWidget(Graf, 1);
    auto* below = new QHBoxLayout;
    auto* legendColumn = new QVBoxLayout;
    legendColumn->addWidget(boldLabel(QStringLiteral("Graph legend"), graph));
    sbGraphData = named<QScrollArea>(graph, QStringLiteral("sbGraphData"));
    sbGraphData->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_legend = new QWidget;
    m_legend->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_legend, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        popUpLegendMenu(lineIdOf(m_legend->childAt(at)), m_legend->mapToGlobal(at));
    });
    sbGraphData->setWidget(m_legend);
    sbGraphData->setWidgetResizable(true);
    sbGraphData->setFixedHeight(130);
    sbGraphData->setMinimumWidth(120);
    legendColumn->addWidget(sbGraphData);
    cbDeleteOnLinePlots =
        checkBox(QStringLiteral("Replace last on-line plots with new plots in next simulation"),
                 QStringLiteral("cbDeleteOnLinePlots"), graph);
    cbDeleteOnLinePlots->setEnabled(false);
    below->addLayout(legendColumn, 1);
    below->addWidget(buildGraphSettings());
    column->addLayout(below);
    column->addWidget(cbDeleteOnLinePlots);
    Notebook1->insertWidget(0, graph);
    buildGraphMenus();
    rebuildLegend();
}

// One axis's row of the graph settings: caption, Min, Max, Step, label, log and auto scale.
struct TResults::AxisRow {
    const char* caption;
    const char* prefix;
    TPBNumEdit **min, **max, **step;
    QLineEdit** label;
    QCheckBox **log, **automatic;
    double minValue, maxValue, stepValue;
    const char* title;
    ChartAxis axis;
};

void TResults::buildAxisRow(QGridLayout* into, QWidget* owner, int line, const AxisRow& row) {
    const QString prefix = QString::fromLatin1(row.prefix);
    auto* caption = new QLabel(QString::fromLatin1(row.caption), owner);
    caption->setFixedWidth(50); // fixed widths line the Y2 row up with the others
    into->addWidget(caption, line, 0);
    int c = 1;
    for (auto [edit, name, value] :
         {std::tuple{row.min, "Min", row.minValue}, std::tuple{row.max, "Max", row.maxValue},
          std::tuple{row.step, "Step", row.stepValue}}) {
        *edit = numEdit("pb" + prefix + QString::fromLatin1(name), owner,
                        {.decimals = -1, .value = value, .width = 48});
        connect(*edit, &QLineEdit::returnPressed, this,
                [this, e = *edit] { btApplyGraphSettingsClick(e); });
        into->addWidget(*edit, line, c++);
    }
    *row.label = named<QLineEdit>(owner, "e" + prefix + "Label");
    (*row.label)->setText(QString::fromLatin1(row.title));
    (*row.label)->setCursorPosition(0); // a title longer than the field shows its start
    (*row.label)->setFixedWidth(88);
    connect(*row.label, &QLineEdit::returnPressed, this,
            [this, e = *row.label] { btApplyGraphSettingsClick(e); });
    into->addWidget(*row.label, line, c++);
    *row.log = checkBox(QString(), "cb" + prefix + "Log", owner);
    (*row.log)->setFixedWidth(34);
    connect(*row.log, &QCheckBox::clicked, this, [this, a = row.axis] { logClick(a); });
    into->addWidget(*row.log, line, c++);
    *row.automatic = checkBox(QString(), "cb" + prefix + "Auto", owner);
    (*row.automatic)->setFixedWidth(34);
    connect(*row.automatic, &QCheckBox::clicked, this, [this, a = row.axis] { autoClick(a); });
    into->addWidget(*row.automatic, line, c++);
}

QWidget* TResults::buildGraphSettings() {
    Panel1 = named<QWidget>(this, QStringLiteral("Panel1"));
    auto* grid = layoutOn<QGridLayout>(Panel1, {4, 0, 4, 0}, 3);
    grid->addWidget(boldLabel(QStringLiteral("Graph settings"), Panel1), 0, 0, 1, 7);
    const char* headings[] = {"Min", "Max", "Step", "Label", "Log\nscale", "Auto\nscale"};
    for (int c = 0; c < 6; ++c) {
        auto* heading = new QLabel(QString::fromLatin1(headings[c]), Panel1);
        if (c >= 4)
            heading->setFixedWidth(34);
        grid->addWidget(heading, 1, c + 1);
    }
    pRightAxis = named<QWidget>(Panel1, QStringLiteral("pRightAxis"));
    const AxisRow rows[] = {{"X axis", "X", &pbXMin, &pbXMax, &pbXStep, &eXLabel, &cbXLog, &cbXAuto,
                             300, 1100, 50, "Wavelength (nm)", ChartAxis::Bottom},
                            {"Y axis", "Y", &pbYMin, &pbYMax, &pbYStep, &eYLabel, &cbYLog, &cbYAuto,
                             0, 1, 0.1, "R/T/A Layer", ChartAxis::Left},
                            {"Y2 axis", "Y2", &pbY2Min, &pbY2Max, &pbY2Step, &eY2Label, &cbY2Log,
                             &cbY2Auto, 0, 1, 0.1, "Y2", ChartAxis::Right}};
    auto* rightGrid = layoutOn<QGridLayout>(pRightAxis, {0, 0, 0, 0}, 3);
    for (int r = 0; r < 3; ++r)
        buildAxisRow(r == 2 ? rightGrid : grid, r == 2 ? pRightAxis : Panel1, r == 2 ? 0 : r + 2,
                     rows[r]);
    rightGrid->setColumnStretch(7, 1);
    grid->addWidget(pRightAxis, 4, 0, 1, 7);
    pRightAxis->hide();
    btApplyGraphSettings =
        pushButton(QStringLiteral("Apply"), QStringLiteral("btApplyGraphSettings"), Panel1);
    connect(btApplyGraphSettings, &QPushButton::clicked, this,
            [this] { btApplyGraphSettingsClick(btApplyGraphSettings); });
    grid->addWidget(btApplyGraphSettings, 5, 4, 1, 3);
    // Runs are compared by keeping the lines of one as old copies: the next RUN draws beside
    // them, as a new project does when the lines are kept.
    btKeepLines = pushButton(QStringLiteral("Keep lines for comparison"),
                             QStringLiteral("btKeepLines"), Panel1);
    btKeepLines->setToolTip(
        QStringLiteral("Keeps the on-line lines as old copies; the next run draws beside them"));
    btKeepLines->setEnabled(false); // no on-line lines yet
    connect(btKeepLines, &QPushButton::clicked, this, &TResults::KeepOldLines);
    grid->addWidget(btKeepLines, 5, 0, 1, 4);
    grid->setRowStretch(6, 1);
    parkFocusOnClick(Panel1);
    return Panel1;
}

void TResults::buildGraphMenus() {
    PopupMenu1 = new QMenu(this);
    Renameline1 = PopupMenu1->addAction(QStringLiteral("Rename &line and select vertical axis"),
                                        this, [this] {
                                            if (m_popupId)
                                                LabelClick(*m_popupId);
                                        });
    Removeline1 = PopupMenu1->addAction(QStringLiteral("&Remove line from graph"), this,
                                        &TResults::Removeline1Click);
    Cleargraph2 =
        PopupMenu1->addAction(QStringLiteral("&Clear graph"), this, &TResults::Cleargraph1Click);
    PopupMenu2 = new QMenu(this);
    Addseconday1 = PopupMenu2->addAction(QStringLiteral("&Add seconday axis"), this,
                                         &TResults::Addseconday1Click);
    Removesecondaryaxis1 = PopupMenu2->addAction(QStringLiteral("&Remove secondary axis"), this,
                                                 &TResults::Removesecondaryaxis1Click);
    Removesecondaryaxis1->setEnabled(false);
    Cleargraph1 =
        PopupMenu2->addAction(QStringLiteral("&Clear graph"), this, &TResults::Cleargraph1Click);
    SaveTarvo1 =
        PopupMenu2->addAction(QStringLiteral("Save Tarvo"), this, &TResults::SaveTarvo1Click);
    SavePicture1 = PopupMenu2->addAction(QStringLiteral("Save picture..."), this,
                                         &TResults::SavePicture1Click);
}

void TResults::refreshGraph() {
    Graf->showLines(m_lines);
    rebuildLegend();
    bool onLine = false;
    for (int i = 0; i < m_lines.count(); ++i)
        onLine = onLine || isOnLineId(m_lines.line(i).id);
    btKeepLines->setEnabled(onLine);
}

void TResults::rebuildLegend() {
    for (QWidget* child : m_legend->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        delete child;
    for (int i = 0; i < m_lines.count(); ++i) {
        const LineContent& line = m_lines.line(i);
        const int top = 15 * i;
        auto* box = new QCheckBox(m_legend);
        box->setGeometry(0, top, 15, 15);
        box->setChecked(line.checked);
        connect(box, &QCheckBox::clicked, this,
                [this, id = line.id](bool checked) { LineCheckClick(id, checked); });
        auto* swatch = new QFrame(m_legend);
        swatch->setObjectName(QStringLiteral("swatch"));
        swatch->setGeometry(20, top + 3, 25, 9);
        swatch->setFrameShape(QFrame::Box);
        swatch->setAutoFillBackground(true);
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, QColor(line.colour.r, line.colour.g, line.colour.b));
        swatch->setPalette(palette);
        swatch->installEventFilter(this);
        auto* label = new QLabel(QString::fromStdString(line.data.label), m_legend);
        label->setObjectName(QStringLiteral("label"));
        label->move(55, top);
        label->setFixedHeight(15);
        label->installEventFilter(this);
        for (QWidget* control : {static_cast<QWidget*>(box), static_cast<QWidget*>(swatch),
                                 static_cast<QWidget*>(label)}) {
            control->setProperty(kLineIdProperty, line.id);
            control->show();
        }
    }
    m_legend->setMinimumHeight(15 * m_lines.count());
}

void TResults::OnLineItemClick(int item) {
    if (m_matching || item < 0 || item >= static_cast<int>(OnLineItems.size()))
        return;
    const OnLineItem& onLine = OnLineItems[static_cast<std::size_t>(item)];
    const int q = onLine.quantity;
    if (!onLine.box->isChecked()) {
        if (m_lines.remove(q))
            refreshGraph();
        return;
    }
    if (m_lines.find(q) >= 0)
        return;
    sbGraphData->verticalScrollBar()->setValue(0);
    auto points = onLinePoints(q);
    if (!points) {
        m_host.dialogs().error(QString::fromStdString(points.error().reason));
        return;
    }
    GraphLine line = std::move(points).value();
    line.label = onLine.box->text().toStdString();
    m_lines.addOnLine(q, std::move(line));
    refreshGraph();
}

Result<GraphLine> TResults::onLinePoints(int quantity) const {
    const int rows = m_onLine.rowCount();
    const int last = rows - (m_host.runInProgress() ? 2 : 1);
    if (rows < 3 || last < 1)
        return GraphLine{};
    const int column = quantity == kReflectanceLine     ? 2
                       : quantity == kTransmittanceLine ? 3
                                                        : quantity + 2;
    return tablePoints(m_onLine, 1, column, last);
}

void TResults::renewOnLineLines() {
    bool renewed = false;
    for (int i = 0; i < m_lines.count(); ++i) {
        LineContent& line = m_lines.line(i);
        if (!isOnLineId(line.id))
            continue;
        auto points = onLinePoints(line.id);
        if (!points) {
            // Followed while running, a bad cell waits for the next read; at the end it is told.
            if (!m_host.runInProgress())
                m_host.dialogs().error(QString::fromStdString(points.error().reason));
            break;
        }
        GraphLine renewedPoints = std::move(points).value();
        line.data.x = std::move(renewedPoints.x);
        line.data.y = std::move(renewedPoints.y);
        renewed = true;
    }
    if (renewed)
        refreshGraph();
}

void TResults::AddTableLine(int cx, int cy) {
    sbGraphData->verticalScrollBar()->setValue(0);
    const ResultTable& table = m_model->table();
    auto points = tablePoints(table, cx, cy, table.rowCount() - 1);
    if (!points) {
        m_host.dialogs().error(QString::fromStdString(points.error().reason));
        return;
    }
    GraphLine line = std::move(points).value();
    line.label = (m_imported ? "ext. " : "") + table.cell(0, cy);
    m_lines.addTableLine(std::move(line));
    refreshGraph();
}

void TResults::LineCheckClick(int id, bool checked) {
    const int index = m_lines.find(id);
    if (index < 0)
        return;
    m_lines.line(index).checked = checked;
    m_lines.line(index).visible = checked;
    Graf->showLines(m_lines);
}

void TResults::LabelClick(int id) {
    const int index = m_lines.find(id);
    if (index < 0)
        return;
    const LineContent& line = m_lines.line(index);
    const auto chosen = m_host.dialogs().editSeries(
        {QString::fromStdString(line.data.label), line.rightAxis}, !pRightAxis->isHidden());
    if (!chosen)
        return;
    m_lines.line(index).rightAxis = chosen->rightAxis;
    if (const auto item = m_lines.rename(index, chosen->label.toStdString()))
        if (*item < static_cast<int>(OnLineItems.size()))
            OnLineItems[static_cast<std::size_t>(*item)].box->setChecked(false);
    refreshGraph();
}

void TResults::ColorLineMouseDown(int id, Qt::MouseButton button, const QPoint& globalPos) {
    if (button == Qt::RightButton) {
        popUpLegendMenu(id, globalPos);
        return;
    }
    const int index = m_lines.find(id);
    if (index < 0 || (button != Qt::LeftButton && button != Qt::MiddleButton))
        return;
    const Rgb now = m_lines.line(index).colour;
    if (const auto colour = m_host.dialogs().chooseColor(QColor(now.r, now.g, now.b))) {
        m_lines.line(index).colour = toRgb(*colour);
        refreshGraph();
    }
}

void TResults::popUpLegendMenu(std::optional<int> id, const QPoint& globalPos) {
    m_popupId = id;
    Removeline1->setEnabled(id.has_value());
    Renameline1->setEnabled(id.has_value());
    PopupMenu1->popup(globalPos);
}

void TResults::Removeline1Click() {
    if (!m_popupId)
        return;
    const int q = *m_popupId;
    if (!isOnLineId(q))
        m_lines.remove(q);
    else if (const int item = onLineItemOf(q); item < static_cast<int>(OnLineItems.size()))
        OnLineItems[static_cast<std::size_t>(item)].box->setChecked(false);
    m_lines.restartPaletteWhenEmpty();
    refreshGraph();
}

void TResults::Cleargraph1Click() {
    if (m_host.dialogs().message(
            QStringLiteral("Do you really want to delete all lines from graph?"),
            DialogIcon::Warning, {DialogButton::Yes, DialogButton::No}) != DialogButton::Yes)
        return;
    for (OnLineItem& item : OnLineItems)
        item.box->setChecked(false);
    m_lines.clear();
    cbDeleteOnLinePlots->setEnabled(false);
    refreshGraph();
}

void TResults::KeepOldLines() {
    sbGraphData->verticalScrollBar()->setValue(0);
    m_lines.keepOldLines();
    refreshGraph();
}

void TResults::resetForNewProject(bool startedByOpenInputFile) {
    if (cbDeleteOnLinePlots->isChecked() && !startedByOpenInputFile) {
        m_lines.clear();
        cbDeleteOnLinePlots->setChecked(false);
        cbDeleteOnLinePlots->setEnabled(false);
    }
    for (OnLineItem& item : OnLineItems) {
        item.jscValue = 0;
        item.jsc->setValue(0);
        item.box->setChecked(false);
    }
    removeOnLineItemsFrom(2);
    cbIzberiGraf->setCurrentIndex(0);
    GraphTableChange(btGraph);
    ClearResultTable();
    m_onLine = ResultTable::cleared();
    refreshGraph();
}

void TResults::applyAxisSettings(ChartAxis axis, TPBNumEdit* min, TPBNumEdit* max, TPBNumEdit* step,
                                 QLineEdit* title) {
    Graf->setRange(axis, static_cast<double>(min->Value()), static_cast<double>(max->Value()));
    Graf->setStep(axis, static_cast<double>(step->Value()));
    Graf->setTitle(axis, title->text());
}

void TResults::btApplyGraphSettingsClick(QObject* Sender) {
    const struct {
        TPBNumEdit *min, *max;
        QCheckBox* automatic;
        ChartAxis axis;
    } axes[] = {{pbXMin, pbXMax, cbXAuto, ChartAxis::Bottom},
                {pbYMin, pbYMax, cbYAuto, ChartAxis::Left},
                {pbY2Min, pbY2Max, cbY2Auto, ChartAxis::Right}};
    for (const auto& a : axes)
        if (Sender == a.min || Sender == a.max) {
            Graf->setAutomatic(a.axis, false);
            a.automatic->setChecked(false);
        }
    // An axis whose range is empty is refused with its message; the axes before it stay set.
    const auto refused = [this](const TPBNumEdit* min, const TPBNumEdit* max, const char* axis) {
        if (max->Value() > min->Value())
            return false;
        m_host.dialogs().error(
            QStringLiteral("Max value for %1 axis must be greater then MIN Value!")
                .arg(QLatin1String(axis)));
        return true;
    };
    if (refused(pbXMin, pbXMax, "X") || refused(pbYMin, pbYMax, "Y"))
        return;
    applyAxisSettings(ChartAxis::Bottom, pbXMin, pbXMax, pbXStep, eXLabel);
    applyAxisSettings(ChartAxis::Left, pbYMin, pbYMax, pbYStep, eYLabel);
    if (!pRightAxis->isHidden() && !refused(pbY2Min, pbY2Max, "Y2"))
        applyAxisSettings(ChartAxis::Right, pbY2Min, pbY2Max, pbY2Step, eY2Label);
}

void TResults::autoClick(ChartAxis axis) {
    const struct {
        QCheckBox* box;
        TPBNumEdit *min, *max;
    } rows[] = {{cbXAuto, pbXMin, pbXMax}, {cbYAuto, pbYMin, pbYMax}, {cbY2Auto, pbY2Min, pbY2Max}};
    const auto& row = rows[static_cast<int>(axis)];
    Graf->setAutomatic(axis, row.box->isChecked());
    if (row.box->isChecked()) {
        row.min->setValue(Graf->minimum(axis));
        row.max->setValue(Graf->maximum(axis));
    }
}

void TResults::logClick(ChartAxis axis) {
    const QCheckBox* boxes[] = {cbXLog, cbYLog, cbY2Log};
    Graf->setLogarithmic(axis, boxes[static_cast<int>(axis)]->isChecked());
}

void TResults::Addseconday1Click() {
    pRightAxis->show();
    Addseconday1->setEnabled(false);
    Removesecondaryaxis1->setEnabled(true);
    Graf->setRightAxisShown(true);
}

void TResults::Removesecondaryaxis1Click() {
    pRightAxis->hide();
    Addseconday1->setEnabled(true);
    Removesecondaryaxis1->setEnabled(false);
    Graf->setRightAxisShown(false);
    for (int i = 0; i < m_lines.count(); ++i)
        m_lines.line(i).rightAxis = false;
    refreshGraph();
}

void TResults::SaveTarvo1Click() {
    const QString path = m_host.dialogs().saveFile(
        {QString::fromStdString(m_host.folders().OutFileDir),
         QStringLiteral("Results|*.res|All files|*.*"), QStringLiteral("res")});
    if (path.isEmpty())
        return;
    const auto lines =
        graphDataLines(m_lines.data(), RegionalSettings::instance().separators().decimal);
    if (const auto reason = writeTextFile(path.toStdString(), lines))
        m_host.dialogs().error(
            QString::fromStdString(cannotCreateFileMessage(path.toStdString(), *reason)));
}

void TResults::SavePicture1Click() {
    const SaveChoice choice = m_host.dialogs().saveFileAs(
        {QString::fromStdString(m_host.folders().OutFileDir),
         QStringLiteral("PNG picture|*.png|PDF document|*.pdf|All files|*.*"),
         QStringLiteral("png")});
    if (choice.path.isEmpty())
        return;
    // The filter chosen decides the format; with "All files" the name's extension does.
    const bool pdf = choice.filter == 1 ||
                     (choice.filter > 1 && choice.path.endsWith(".pdf", Qt::CaseInsensitive));
    const QString extension = pdf ? QStringLiteral(".pdf") : QStringLiteral(".png");
    QString path = choice.path;
    if (!path.endsWith(extension, Qt::CaseInsensitive))
        path += extension;
    if (!Graf->savePicture(path, pdf ? PictureFormat::Pdf : PictureFormat::Png))
        m_host.dialogs().error(QString::fromStdString(
            cannotCreateFileMessage(path.toStdString(), "the picture could not be written")));
}

void TResults::Addline1Click() {
    emit axisDialogShown(true);
    GraphTableChange(btTable);
    m_axisDialog->show();
    m_axisDialog->FormShow();
}

void TResults::sgTableMouseDown(const QModelIndex& cell) {
    if (cell.row() != 0 || cell.column() < 1)
        return;
    // A click on a column's title takes the whole column, for Ctrl+C and for the axis dialog.
    sgTable->selectColumn(cell.column());
    if (m_axisDialog && m_axisDialog->isVisible())
        m_axisDialog->columnTitleClicked(cell.column());
}

TSelectGraphForm::TSelectGraphForm(TResults& results) : m_results(results) {
    setObjectName(QStringLiteral("SelectGraphForm"));
    setWindowTitle(QStringLiteral("Select axes"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint);
    setFixedSize(268, 182);
    fillBackground(this, kDialogColor);
    auto* grid = layoutOn<QGridLayout>(this, {16, 16, 16, 12}, 8);
    grid->addWidget(new QLabel(QStringLiteral("X Axis"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Y Axis"), this), 1, 0);
    cbXAxis = named<QComboBox>(this, QStringLiteral("cbXAxis"));
    cbYAxis = named<QComboBox>(this, QStringLiteral("cbYAxis"));
    for (QComboBox* box : {cbXAxis, cbYAxis}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setFixedWidth(145);
        box->installEventFilter(this);
    }
    grid->addWidget(cbXAxis, 0, 1);
    grid->addWidget(cbYAxis, 1, 1);
    btOK = pushButton(QStringLiteral("OK"), QStringLiteral("btOK"), this);
    btOK->setDefault(true);
    btCancel = pushButton(QStringLiteral("Cancel"), QStringLiteral("btCancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    connect(btOK, &QPushButton::clicked, this, &TSelectGraphForm::btOKClick);
    connect(btCancel, &QPushButton::clicked, this, &TSelectGraphForm::btCancelClick);
    results.attachAxisDialog(this);
}

void TSelectGraphForm::FormShow() {
    cbXAxis->clear();
    cbYAxis->clear();
    const ResultTable& table = m_results.m_model->table();
    for (int c = 1; c < table.columnCount(); ++c) {
        cbXAxis->addItem(QString::fromStdString(table.cell(0, c)));
        cbYAxis->addItem(QString::fromStdString(table.cell(0, c)));
    }
    cbXAxis->setCurrentIndex(0);
    cbYAxis->setCurrentIndex(-1);
    cbYAxis->setEditText(QString());
    cbYAxis->setFocus();
    m_entered = cbYAxis;
}

void TSelectGraphForm::columnTitleClicked(int column) {
    m_results.sgTable->selectColumn(column);
    if (m_entered)
        m_entered->setCurrentIndex(column - 1);
}

// A box whose text is no entry counts as column 0, the row numbers.
static int chosenColumn(const QComboBox* box) {
    const int entry = box->findText(box->currentText());
    return entry < 0 ? 0 : entry + 1;
}

void TSelectGraphForm::btOKClick() {
    if (cbXAxis->currentText().isEmpty() || cbYAxis->currentText().isEmpty()) {
        m_results.m_host.dialogs().error(QStringLiteral("Please select both axes!"));
        cbYAxis->setFocus();
        return;
    }
    m_results.AddTableLine(chosenColumn(cbXAxis), chosenColumn(cbYAxis));
    btCancelClick();
}

void TSelectGraphForm::btCancelClick() {
    hide();
    emit m_results.axisDialogShown(false);
    m_results.GraphTableChange(m_results.btGraph);
}

void TSelectGraphForm::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    btCancelClick();
}

bool TSelectGraphForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == cbXAxis || watched == cbYAxis))
        m_entered = static_cast<QComboBox*>(watched); // cbYAxisEnter
    return QDialog::eventFilter(watched, event);
}

} // namespace lumetrix
