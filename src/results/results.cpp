#include "results/results.h"

#include "controls/colorbutton.h"
#include "controls/combobox.h"
#include "controls/combolists.h"
#include "controls/pbnumedit.h"
#include "controls/userdialogs.h"
#include "controls/widget_factory.h"
#include "core/folders.h"
#include "core/result_files.h"
#include "core/result_list.h"
#include "core/run_status.h"
#include "pages/pagehost.h"
#include "pages/structureform.h"
#include "results/resultchart.h"
#include "results/resulttablemodel.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSizePolicy>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <utility>

namespace lumetrix {
namespace {

constexpr int kOnLineEntry = 0;
constexpr int kImportEntry = 10;
const QString kOnLineMarker = QStringLiteral("OnLine results");

// The header skip of an entry of the result list: the generation and photocurrent files have
// the lines of run information above their header.
int entryHeaderSkip(int index) {
    return index == 4 || index == 5 ? static_cast<int>(kRunInformationLines) : 0;
}

// The size and time of a file, which change as a run writes it; empty for a missing file.
QString fileStamp(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return QStringLiteral("%1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
}

} // namespace

TResults::TResults(PageHost& host, TStructureForm& structure, QWidget* parent)
    : TPageForm(host, Page::Results, parent), m_structure(structure) {
    setObjectName(QStringLiteral("Results"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(12, 10, 12, 10);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Show results"), this));
    cbIzberiGraf = comboBox(QStringLiteral("cbIzberiGraf"), this, false, 240);
    cbIzberiGraf->setMaxVisibleItems(11);
    top->addWidget(cbIzberiGraf);
    lRunState = named<QLabel>(this, QStringLiteral("lRunState"));
    lRunState->setTextFormat(Qt::PlainText);
    // A long state is cut at the page's edge (its tool tip holds it whole) rather than widen
    // the page beyond the window.
    lRunState->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    top->addWidget(lRunState, 1);
    page->addLayout(top);
    buildViewButtons(page);
    Notebook1 = named<QStackedWidget>(this, QStringLiteral("Notebook1"));
    buildGraphPage();
    buildTablePage();
    auto* views = new QHBoxLayout;
    views->addWidget(buildOnLinePanel());
    views->addWidget(Notebook1, 1);
    page->addLayout(views, 1);
    parkFocusOnClick(Notebook1);
    GraphTableChange(btGraph);
    setResultList(resultListEntries(host.folders().OutFileName));
    connect(cbIzberiGraf, &QComboBox::activated, this, &TResults::cbIzberiGrafChange);
}

TResults::~TResults() = default;

void TResults::buildViewButtons(QVBoxLayout* page) {
    auto* row = new QHBoxLayout;
    for (auto [button, caption, name] :
         {std::tuple{&btGraph, "Graph", "btGraph"}, std::tuple{&btTable, "Table", "btTable"},
          std::tuple{&btComments, "Comments", "btComments"}}) {
        auto* view = new TLbSpeedButton(QString::fromLatin1(caption), this);
        view->setObjectName(QString::fromLatin1(name));
        view->setFixedSize(90, 24);
        *button = view;
        row->addWidget(view);
        connect(view, &QPushButton::clicked, this, [this, view] { GraphTableChange(view); });
    }
    row->addStretch(1);
    page->addLayout(row);
}

QWidget* TResults::buildOnLinePanel() {
    auto* panel = new QWidget(this);
    panel->setFixedWidth(190);
    auto* column = layoutOn<QVBoxLayout>(panel, {0, 0, 0, 0});
    auto* headings = new QHBoxLayout;
    // The two lines of each heading are joined by a line feed and a carriage return.
    lPlot = new QLabel(QStringLiteral("Plot\n\rR/T/A Layer"), panel);
    lPlot->setObjectName(QStringLiteral("lPlot"));
    lcalcJsc = new QLabel(QStringLiteral("Jsc <photo>\n\r(mA/cm2)"), panel);
    lcalcJsc->setObjectName(QStringLiteral("lcalcJsc"));
    lcalcJsc->setTextFormat(Qt::PlainText);
    headings->addWidget(lPlot);
    headings->addWidget(lcalcJsc);
    column->addLayout(headings);
    sbOnLineData = named<QScrollArea>(panel, QStringLiteral("sbOnLineData"));
    sbOnLineData->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sbOnLineData->setWidget(new QWidget);
    sbOnLineData->widget()->setFixedWidth(176);
    column->addWidget(sbOnLineData, 1);
    pbJscTotal = numEdit(QStringLiteral("pbJscTotal"), panel, {.decimals = 2, .value = 0});
    pbJscTotal->setReadOnly(true);
    pbJscTotal->hide();
    column->addWidget(pbJscTotal);
    OnLineItems.push_back(makeOnLineItem(QStringLiteral("R"), kReflectanceLine));
    OnLineItems.push_back(makeOnLineItem(QStringLiteral("T"), kTransmittanceLine));
    return panel;
}

OnLineItem TResults::makeOnLineItem(const QString& caption, int quantity) {
    QWidget* host = sbOnLineData->widget();
    const int top = 15 * static_cast<int>(OnLineItems.size());
    OnLineItem item;
    item.quantity = quantity;
    item.box = new QCheckBox(caption, host);
    item.box->setGeometry(0, top, 100, 15);
    item.jsc = new TPBNumEdit(host);
    item.jsc->setDecimals(2);
    item.jsc->setReadOnly(true);
    item.jsc->setFrame(false);
    item.jsc->setGeometry(110, top, 65, 15);
    item.jsc->setValue(0);
    host->setFixedHeight(top + 15);
    item.box->show();
    item.jsc->show();
    const int index = static_cast<int>(OnLineItems.size());
    connect(item.box, &QCheckBox::toggled, this, [this, index] { OnLineItemClick(index); });
    return item;
}

void TResults::removeOnLineItemsFrom(std::size_t count) {
    while (OnLineItems.size() > count) {
        delete OnLineItems.back().box;
        delete OnLineItems.back().jsc;
        OnLineItems.pop_back();
    }
    sbOnLineData->widget()->setFixedHeight(15 * static_cast<int>(count));
}

void TResults::buildTablePage() {
    auto* table = new QWidget(Notebook1);
    auto* column = new QVBoxLayout(table);
    column->setContentsMargins(0, 0, 0, 0);
    auto* above = new QHBoxLayout;
    LOpenedFile = named<QLabel>(table, QStringLiteral("LOpenedFile"));
    above->addWidget(LOpenedFile, 1);
    lbAddLineToGraph =
        pushButton(QStringLiteral("Add line to graph"), QStringLiteral("lbAddLineToGraph"), table);
    connect(lbAddLineToGraph, &QPushButton::clicked, this, &TResults::Addline1Click);
    above->addWidget(lbAddLineToGraph);
    column->addLayout(above);
    sgTable = named<QTableView>(table, QStringLiteral("sgTable"));
    m_model = new ResultTableModel(sgTable);
    sgTable->setModel(m_model);
    makeColumnsSizable(sgTable);
    sgTable->verticalHeader()->hide();
    sgTable->horizontalHeader()->setDefaultSectionSize(72);
    sgTable->verticalHeader()->setDefaultSectionSize(20);
    sgTable->installEventFilter(this);
    connect(sgTable, &QTableView::pressed, this, &TResults::sgTableMouseDown);
    column->addWidget(sgTable, 1);
    pLoading = new QLabel(QStringLiteral("Loading table ..."), sgTable);
    pLoading->setObjectName(QStringLiteral("pLoading"));
    pLoading->setFrameShape(QFrame::Box);
    pLoading->setAutoFillBackground(true);
    pLoading->move(40, 40);
    pLoading->hide();
    Notebook1->addWidget(table);
    auto* comments = new QWidget(Notebook1);
    auto* commentColumn = new QVBoxLayout(comments);
    commentColumn->addWidget(
        new QLabel(QStringLiteral("Result comments (will be printed with results)"), comments));
    mComments = named<QPlainTextEdit>(comments, QStringLiteral("mComments"));
    mComments->setLineWrapMode(QPlainTextEdit::NoWrap);
    commentColumn->addWidget(mComments, 1);
    Notebook1->addWidget(comments);
}

void TResults::setResultList(const std::vector<std::string>& entries) {
    cbIzberiGraf->clear();
    for (const std::string& entry : entries)
        cbIzberiGraf->addItem(QString::fromStdString(entry));
}

void TResults::GraphTableChange(QPushButton* Sender) {
    for (QPushButton* button : {btGraph, btTable, btComments}) {
        static_cast<TLbSpeedButton*>(button)->setLook(switchLook(button == Sender));
        button->setChecked(button == Sender);
    }
    Notebook1->setCurrentIndex(Sender == btGraph ? 0 : Sender == btTable ? 1 : 2);
}

void TResults::ClearResultTable() {
    m_model->setTable(ResultTable::cleared());
}

void TResults::cbIzberiGrafChange(int index) {
    m_imported = false;
    QString path;
    int headerSkip = entryHeaderSkip(index);
    const QString entry = cbIzberiGraf->itemText(index);
    if (index == kOnLineEntry)
        path = kOnLineMarker;
    else if (index == kImportEntry)
        path = ImportResultFile(headerSkip);
    else if (index > kOnLineEntry && index < kImportEntry)
        path = QString::fromStdString(joinPath(m_host.folders().OutFileDir, entry.toStdString()));
    const QString name = QString::fromStdString(lastPathComponent(path.toStdString()));
    LOpenedFile->setText(index == kOnLineEntry   ? QString()
                         : index == kImportEntry ? "Opened file: " + name
                                                 : "On-line results: " + name);
    ClearResultTable();
    if (path == kOnLineMarker)
        showOnLineView();
    else if (index < kImportEntry && !path.isEmpty() && !QFileInfo::exists(path))
        LOpenedFile->setText(LOpenedFile->text() + QStringLiteral(": not written yet"));
    else if (!path.isEmpty())
        LoadResultTable(path, headerSkip);
    if (index > kOnLineEntry)
        GraphTableChange(btTable);
}

QString TResults::ImportResultFile(int& headerSkip) {
    const QString path = m_host.dialogs().openFile(
        {QString::fromStdString(m_host.folders().OutFileDir),
         QStringLiteral("Lumetrix result files|*.jph;*.gl;*.jsc;*.rta;*.gen;*.adf|All files|*.*"),
         QString()});
    if (!path.isEmpty())
        headerSkip = importHeaderSkip(lastPathComponent(path.toStdString()));
    m_imported = true;
    return path;
}

bool TResults::LoadResultTable(const QString& path, int headerSkip) {
    pLoading->show();
    pLoading->repaint();
    auto table = readResultTable(path.toStdString(), headerSkip);
    pLoading->hide();
    if (!table) {
        m_host.dialogs().error(cannotOpenFileText(path, table.error()));
        const QSignalBlocker blocker(cbIzberiGraf);
        cbIzberiGraf->setCurrentIndex(kOnLineEntry);
        return false;
    }
    m_model->setTable(std::move(table).value());
    fitColumns(sgTable);
    return true;
}

void TResults::FormShow() {
    SaveTarvo1->setVisible(true);
    SyncOnLineItems();
    cbIzberiGraf->setCurrentIndex(kOnLineEntry);
    if (!showOnLineView())
        return; // no rows: the page says why, and no on-line lines are added
    const int palette = m_lines.paletteIndex(), before = m_lines.count();
    for (auto item = OnLineItems.rbegin(); item != OnLineItems.rend(); ++item)
        item->box->setChecked(true);
    // The lines made here, on top of the legend, take the palette in item order, R first, so
    // that R and the first layer never get the same or a like colour.
    const int made = m_lines.count() - before;
    for (int i = 0; i < made; ++i)
        m_lines.line(i).colour =
            kLinePalette[static_cast<std::size_t>(palette + i) % kLinePalette.size()];
    if (made > 0)
        refreshGraph();
}

QString TResults::onLineFilePath() const {
    return QString::fromStdString(
        joinPath(m_host.folders().OutFileDir, cbIzberiGraf->itemText(1).toStdString()));
}

QString TResults::partialFilePath() const {
    return QString::fromStdString(
        joinPath(m_host.folders().OutFileDir,
                 m_host.folders().OutFileName + std::string(kPartialResultSuffix)));
}

bool TResults::showOnLineView() {
    m_imported = false;
    LOpenedFile->clear();
    ClearResultTable();
    const RunStatus run = m_host.runStatus();
    // A run in progress, or stopped, shows its own rows; otherwise the complete set is shown.
    const bool partial =
        run.state == RunStatus::State::Running || run.state == RunStatus::State::Stopped;
    const QString path = partial ? partialFilePath() : onLineFilePath();
    const QString name = QFileInfo(path).fileName();
    std::optional<JscTotals> totals;
    QString state;
    if (partial) {
        loadRunningResult(path);
        state = QString::fromStdString(run.text()) + " (" + name + ")";
        if (run.state == RunStatus::State::Stopped)
            state += QStringLiteral(", no photocurrents");
    } else if (!QFileInfo::exists(path)) {
        state = QStringLiteral("No complete run of the output name \"%1\" yet")
                    .arg(QString::fromStdString(m_host.folders().OutFileName));
    } else if (auto table = readResultTable(path.toStdString(), 0); !table) {
        state = QStringLiteral("%1 cannot be read: %2")
                    .arg(name, QString::fromStdString(table.error().describe()));
    } else {
        m_model->setTable(std::move(table).value());
        state =
            QStringLiteral("Complete run of %1 (%2)")
                .arg(QFileInfo(path).lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm")),
                     name);
        const std::string sums = totalsPath(path.toStdString());
        const auto read = readJscTotals(sums, static_cast<int>(OnLineItems.size()));
        if (read)
            totals = read.value();
        else
            state += QStringLiteral("; its photocurrents cannot be read: ") +
                     QString::fromStdString(read.error().describe());
    }
    if (run.state == RunStatus::State::Failed)
        state = QStringLiteral("The last run failed. ") + state;
    lRunState->setText(state);
    lRunState->setToolTip(state);
    const ResultTable& shown = m_model->table();
    m_onLine = shown.resized(shown.rowCount() - 1, shown.columnCount() - 1);
    showTotals(totals);
    pLoading->show();
    pLoading->repaint();
    m_model->setTable(m_onLine);
    fitColumns(sgTable);
    pLoading->hide();
    // The graph's on-line lines show the rows the table shows.
    renewOnLineLines();
    return partial || m_onLine.rowCount() > 1;
}

void TResults::loadRunningResult(const QString& path) {
    m_followed = fileStamp(path); // taken first: a later change is read again
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = file.read(static_cast<qint64>(kMaxResultFileBytes));
    bytes.truncate(bytes.lastIndexOf('\n') + 1); // a line being written is not read yet
    if (auto table = parseResultTable(bytes.toStdString(), 0, path.toStdString()))
        m_model->setTable(std::move(table).value());
}

void TResults::followRun() {
    if (!m_host.runInProgress() || !isVisible() || cbIzberiGraf->currentIndex() != kOnLineEntry)
        return;
    if (fileStamp(partialFilePath()) == m_followed)
        return;
    showOnLineView();
}

void TResults::showTotals(const std::optional<JscTotals>& totals) {
    for (std::size_t i = 0; i < OnLineItems.size(); ++i) {
        OnLineItems[i].jscValue = totals ? totals->items[i] : 0;
        OnLineItems[i].jsc->setValue(OnLineItems[i].jscValue);
        OnLineItems[i].jsc->setVisible(totals.has_value());
    }
    pbJscTotal->setValue(totals ? totals->total : 0);
    pbJscTotal->setVisible(totals.has_value());
}

void TResults::SyncOnLineItems() {
    sbOnLineData->verticalScrollBar()->setValue(0);
    const int rows = m_structure.rowCount();
    const auto count = static_cast<std::size_t>(rows);
    bool changed = count != OnLineItems.size();
    for (int k = static_cast<int>(OnLineItems.size()); k < rows; ++k)
        OnLineItems.push_back(makeOnLineItem(m_structure.layerName(k), k));
    removeOnLineItemsFrom(count);
    for (int k = 2; k < rows; ++k) {
        const QString caption = m_structure.layerName(k);
        if (OnLineItems[static_cast<std::size_t>(k)].box->text() != caption) {
            OnLineItems[static_cast<std::size_t>(k)].box->setText(caption);
            changed = true;
        }
    }
    if (!changed)
        return;
    m_matching = true;
    for (int k = 2; k < rows; ++k)
        OnLineItems[static_cast<std::size_t>(k)].box->setChecked(false);
    std::vector<int> identity(count + 1, 0);
    std::vector<std::string> caption(count + 1);
    for (int p = 1; p <= rows; ++p) {
        identity[static_cast<std::size_t>(p)] = m_structure.rowIdentity(p);
        caption[static_cast<std::size_t>(p)] = m_structure.layerName(p).toStdString();
    }
    for (int p : m_lines.followRows(identity, caption))
        OnLineItems[static_cast<std::size_t>(p)].box->setChecked(true);
    m_matching = false;
    m_structure.renumberIdentities();
    m_onLine = ResultTable::cleared();
    showTotals(std::nullopt);
    for (int id : {kReflectanceLine, kTransmittanceLine})
        if (const int index = m_lines.find(id); index >= 0)
            m_lines.line(index).data = GraphLine{m_lines.line(index).data.label, {}, {}};
    refreshGraph();
}

QString TResults::selectedCellsText() const {
    const QModelIndexList cells = sgTable->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return {};
    int top = cells.first().row(), bottom = top, left = cells.first().column(), right = left;
    for (const QModelIndex& cell : cells) {
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
    }
    QStringList lines;
    for (int r = top; r <= bottom; ++r) {
        QStringList fields;
        for (int c = left; c <= right; ++c)
            fields << (sgTable->selectionModel()->isSelected(m_model->index(r, c))
                           ? m_model->index(r, c).data().toString()
                           : QString());
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool TResults::eventFilter(QObject* watched, QEvent* event) {
    // A press on a legend swatch or label; a right click opens the legend menu instead. The
    // command runs once the press has been delivered, as it rebuilds the legend and so deletes
    // the control pressed; the presses of a double click start it once.
    if (event->type() == QEvent::MouseButtonPress && watched->property("lineId").isValid()) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const int id = watched->property("lineId").toInt();
        const Qt::MouseButton button = press->button();
        const bool swatch =
            watched->objectName() == QLatin1String("swatch") && button != Qt::RightButton;
        const bool label =
            watched->objectName() == QLatin1String("label") && button == Qt::LeftButton;
        if (!swatch && !label)
            return false;
        if (!m_legendCommandPending) {
            m_legendCommandPending = true;
            const QPoint at = press->globalPosition().toPoint();
            QMetaObject::invokeMethod(
                this,
                [this, id, button, at, label] {
                    if (label)
                        LabelClick(id);
                    else
                        ColorLineMouseDown(id, button, at);
                    m_legendCommandPending = false;
                },
                Qt::QueuedConnection);
        }
        return true;
    }
    if (watched == sgTable && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(selectedCellsText());
        return true;
    }
    return TPageForm::eventFilter(watched, event);
}

} // namespace lumetrix
