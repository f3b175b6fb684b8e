#include "tools/toolwindows.h"

#include "controls/combolists.h"
#include "controls/userdialogs.h"
#include "controls/widget_factory.h"
#include "core/folders.h"
#include "kernel/tools.h"
#include "pages/pagehost.h"
#include "tools/lpif_table.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace lumetrix {
namespace {

const QString kBrowse = QStringLiteral("Browse...");
const QString kBrowseCaption = QStringLiteral("Please select directory...");
constexpr int kColumnWidth = 72;
constexpr int kRowHeight = 20;

// The result row: the range of the wavelengths with an LPIF, their number, the mean, the
// minimum and the maximum with the wavelength of each, and the LPIF at each wavelength of
// note of the calculation. Row 0 holds these headings, row 1 the values.
constexpr int kSummaryColumns = 8;
QStringList resultHeadings() {
    QStringList headings = {QStringLiteral("λ from"),  QStringLiteral("λ to"),
                            QStringLiteral("points"),  QStringLiteral("mean"),
                            QStringLiteral("minimum"), QStringLiteral("at λ"),
                            QStringLiteral("maximum"), QStringLiteral("at λ")};
    for (const double nm : kernel::kLpifWavelengths)
        headings << QString::number(nm) + QStringLiteral(" nm");
    return headings;
}

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

std::string toStd(const QString& text) {
    return text.trimmed().toStdString();
}

QString wavelength(double nm) {
    return QString::number(nm, 'g', 10);
}

QString factor(double value) {
    return std::isnan(value) ? QStringLiteral("-") : QString::number(value, 'f', 4);
}

// The LPIF that the summary gives at a wavelength, NaN when it has none there.
double lpifAt(const kernel::LpifSummary& summary, double nm) {
    for (const auto& [at, value] : summary.notable)
        if (at == nm)
            return value;
    return std::nan("");
}

QTableView* dataGrid(QWidget* parent, const QString& name) {
    auto* grid = named<QTableView>(parent, name);
    makeColumnsSizable(grid);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return grid;
}

} // namespace

TLPIF_Form::TLPIF_Form(PageHost& host)
    : TToolWindow(QStringLiteral("Calculate LPIF"), true,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint),
      m_host(host) {
    setObjectName(QStringLiteral("LPIF_Form"));
    setFixedSize(896, 644);
    fillBackground(this, kDialogColor);

    auto* column = layoutOn<QVBoxLayout>(this, {16, 12, 16, 12}, 8);
    lDescription = named<QLabel>(this, QStringLiteral("lDescription"));
    lDescription->setText(QStringLiteral(
        "The transform calculates the Light Path Improvement Factor - LPIF of a selected layer in "
        "the improved structure with respect to the reference structure."));
    lDescription->setWordWrap(true);
    column->addWidget(lDescription);

    auto* tables = new QHBoxLayout;
    tables->setSpacing(16);
    tables->addWidget(buildFileColumn(
        QStringLiteral("Select the \"*_ratio.jph\" file of the REFERENCE structure:"), eReference,
        btRef, sgTable1, m_model1, "1"));
    tables->addWidget(
        buildFileColumn(QStringLiteral("Select the \"*_ratio.jph\" file of the IMPROVEDstructure:"),
                        eImproved, btImpr, sgTable2, m_model2, "2"));
    column->addLayout(tables, 1);
    column->addWidget(buildOutputRows());
    column->addWidget(buildResults());

    btRef->setObjectName(QStringLiteral("btRef"));
    btImpr->setObjectName(QStringLiteral("btImpr"));
    eReference->setObjectName(QStringLiteral("eReference"));
    eImproved->setObjectName(QStringLiteral("eImproved"));
    connect(btRef, &QPushButton::clicked, this, &TLPIF_Form::btRefClick);
    connect(btImpr, &QPushButton::clicked, this, &TLPIF_Form::btImprClick);
    connect(eReference, &QLineEdit::editingFinished, this,
            [this] { typedPath(eReference, sgTable1, m_model1, RefColumn, m_loaded1); });
    connect(eImproved, &QLineEdit::editingFinished, this,
            [this] { typedPath(eImproved, sgTable2, m_model2, ImprColumn, m_loaded2); });
    connect(btFolder, &QPushButton::clicked, this, &TLPIF_Form::btFolderClick);
    connect(brRUNLPIF, &QPushButton::clicked, this, &TLPIF_Form::brRUNLPIFClick);
}

QWidget* TLPIF_Form::buildFileColumn(const QString& caption, QLineEdit*& edit, QPushButton*& button,
                                     QTableView*& table, LpifTableModel*& model,
                                     const char* suffix) {
    auto* panel = new QWidget(this);
    auto* layout = layoutOn<QGridLayout>(panel, {0, 0, 0, 0});
    layout->setVerticalSpacing(4);
    edit = new QLineEdit(panel);
    button = new QPushButton(kBrowse, panel);
    table = dataGrid(panel, QStringLiteral("sgTable") + QLatin1String(suffix));
    model = new LpifTableModel(table);
    table->setModel(model);
    table->viewport()->installEventFilter(this);
    layout->addWidget(new QLabel(caption, panel), 0, 0, 1, 2);
    layout->addWidget(edit, 1, 0);
    layout->addWidget(button, 1, 1);
    layout->addWidget(boldLabel(QStringLiteral("SELECT THE LAYER (column)"), panel), 2, 0, 1, 2);
    layout->addWidget(table, 3, 0, 1, 2);
    layout->setRowStretch(3, 1);
    return panel;
}

QWidget* TLPIF_Form::buildOutputRows() {
    auto* panel = new QWidget(this);
    auto* layout = layoutOn<QGridLayout>(panel, {0, 4, 0, 0});
    eFileName = named<QLineEdit>(panel, QStringLiteral("eFileName"));
    eFileName->setText(QStringLiteral("LPIF_out"));
    eFileDir = named<QLineEdit>(panel, QStringLiteral("eFileDir"));
    btFolder = pushButton(kBrowse, QStringLiteral("btFolder"), panel);
    brRUNLPIF = pushButton(QStringLiteral("RUN"), QStringLiteral("brRUNLPIF"), panel);
    brRUNLPIF->setMinimumSize(90, 40);
    layout->addWidget(
        new QLabel(QStringLiteral("Specify the name of the LPIF output file (w/o extension)"),
                   panel),
        0, 0);
    layout->addWidget(eFileName, 0, 1);
    layout->addWidget(
        new QLabel(QStringLiteral("Specify the folder of the LIPF output file:"), panel), 1, 0);
    layout->addWidget(eFileDir, 1, 1);
    layout->addWidget(btFolder, 1, 2);
    layout->addWidget(brRUNLPIF, 0, 3, 2, 1);
    layout->setColumnStretch(1, 1);
    layout->setColumnMinimumWidth(3, 110);
    return panel;
}

QWidget* TLPIF_Form::buildResults() {
    auto* panel = new QWidget(this);
    auto* layout = layoutOn<QVBoxLayout>(panel, {0, 0, 0, 0}, 4);
    layout->addWidget(boldLabel(QStringLiteral("RESULTS"), panel));
    sgResult = named<QTableWidget>(panel, QStringLiteral("sgResult"));
    sgResult->setRowCount(2);
    const QStringList headings = resultHeadings();
    sgResult->setColumnCount(static_cast<int>(headings.size()));
    sgResult->horizontalHeader()->hide();
    sgResult->verticalHeader()->hide();
    sgResult->verticalHeader()->setDefaultSectionSize(kRowHeight);
    // The summary's columns keep their headings whole; the wavelengths of note share the rest.
    for (int c = 0; c < headings.size(); ++c)
        sgResult->horizontalHeader()->setSectionResizeMode(
            c, c < kSummaryColumns ? QHeaderView::ResizeToContents : QHeaderView::Stretch);
    sgResult->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgResult->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgResult->setFixedHeight(2 * kRowHeight + 2 * sgResult->frameWidth());
    for (int c = 0; c < headings.size(); ++c) {
        sgResult->setItem(0, c, new QTableWidgetItem(headings[c]));
        sgResult->setItem(1, c, new QTableWidgetItem);
    }
    layout->addWidget(sgResult);
    return panel;
}

void TLPIF_Form::loadTable(QLineEdit* edit, QTableView* grid, LpifTableModel* model, int& column,
                           QString& loaded) {
    column = 1;
    loaded = edit->text();
    const QString path = fromStd(expandWorkDir(toStd(edit->text()), m_host.folders().WorkDir));
    Result<LpifTable> table = readLpifTable(path.toStdString());
    if (table) {
        model->setTable(std::move(table).value());
        fitColumns(grid);
    } else
        m_host.dialogs().error(cannotOpenFileText(path, table.error()));
    if (eFileDir->text().trimmed().isEmpty())
        eFileDir->setText(fromStd(withoutTrailingSeparator(folderPart(path.toStdString()))));
}

void TLPIF_Form::typedPath(QLineEdit* edit, QTableView* grid, LpifTableModel* model, int& column,
                           QString& loaded) {
    if (edit->text() == loaded)
        return;
    if (edit->text().trimmed().isEmpty()) {
        loaded = edit->text();
        return;
    }
    loadTable(edit, grid, model, column, loaded);
}

void TLPIF_Form::browseTable(QLineEdit* edit, QTableView* grid, LpifTableModel* model,
                             int& column) {
    column = 1;
    const QString current = edit->text().trimmed();
    const std::string start =
        current.isEmpty() ? m_host.folders().OutFileDir : folderPart(current.toStdString());
    // The open dialog wants a plain extension; "_ratio.jph" files end in ".jph".
    const QString chosen = m_host.dialogs().openFile(
        {fromStd(start), QStringLiteral("Jph file|*_ratio.jph|All files|*.*"),
         QStringLiteral("jph")});
    if (chosen.isEmpty())
        return;
    edit->setText(chosen);
    loadTable(edit, grid, model, column, edit == eReference ? m_loaded1 : m_loaded2);
}

void TLPIF_Form::btRefClick() {
    browseTable(eReference, sgTable1, m_model1, RefColumn);
}

void TLPIF_Form::btImprClick() {
    browseTable(eImproved, sgTable2, m_model2, ImprColumn);
}

bool TLPIF_Form::tableMouseDown(QTableView* table, int& column, const QPoint& position) {
    const QModelIndex cell = table->indexAt(position);
    if (!cell.isValid())
        return false; // outside the cells nothing changes
    column = cell.column();
    if (cell.row() != 0 || cell.column() == 0)
        return false; // the grid selects the cell as usual
    QAbstractItemModel* model = table->model();
    table->selectionModel()->select(
        QItemSelection(model->index(model->rowCount() - 1, column), model->index(0, column)),
        QItemSelectionModel::ClearAndSelect);
    return true;
}

bool TLPIF_Form::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (watched == sgTable1->viewport())
            return tableMouseDown(sgTable1, RefColumn, position);
        if (watched == sgTable2->viewport())
            return tableMouseDown(sgTable2, ImprColumn, position);
    }
    return TToolWindow::eventFilter(watched, event);
}

void TLPIF_Form::btFolderClick() {
    const QString chosen = m_host.dialogs().browseFolder(kBrowseCaption, eFileDir->text());
    if (!chosen.isEmpty())
        eFileDir->setText(chosen);
}

QString TLPIF_Form::outputPath() const {
    return fromStd(joinPath(toStd(eFileDir->text()),
                            toStd(eFileName->text()) + kOutputExtension.toStdString()));
}

QString TLPIF_Form::missingInput() const {
    if (eReference->text().trimmed().isEmpty())
        return QStringLiteral("Select the \"*_ratio.jph\" file of the REFERENCE structure.");
    if (eImproved->text().trimmed().isEmpty())
        return QStringLiteral("Select the \"*_ratio.jph\" file of the IMPROVED structure.");
    if (RefColumn < 1)
        return QStringLiteral("Select the layer (column) in the table of the REFERENCE structure.");
    if (ImprColumn < 1)
        return QStringLiteral("Select the layer (column) in the table of the IMPROVED structure.");
    if (eFileName->text().trimmed().isEmpty())
        return QStringLiteral("Specify the name of the LPIF output file.");
    if (eFileDir->text().trimmed().isEmpty())
        return QStringLiteral("Specify the folder of the LPIF output file.");
    return {};
}

void TLPIF_Form::showSummary(const QStringList& cells) {
    for (int c = 0; c < sgResult->columnCount(); ++c)
        sgResult->item(1, c)->setText(c < cells.size() ? cells[c] : QString());
}

void TLPIF_Form::brRUNLPIFClick() {
    if (const QString problem = missingInput(); !problem.isEmpty()) {
        m_host.dialogs().error(problem);
        return;
    }
    const std::string workDir = m_host.folders().WorkDir;
    kernel::LpifRequest request;
    request.reference = expandWorkDir(toStd(eReference->text()), workDir);
    request.improved = expandWorkDir(toStd(eImproved->text()), workDir);
    request.columnReference = m_model1->table().resultColumn(RefColumn);
    request.columnImproved = m_model2->table().resultColumn(ImprColumn);
    request.outFile = expandWorkDir(outputPath().toStdString(), workDir);

    showSummary({});
    const Result<kernel::LpifSummary> result = kernel::computeLpif(request);
    if (!result) {
        m_host.dialogs().error(QStringLiteral("The LPIF calculation failed:\n") +
                               fromStd(result.error().describe()));
        return;
    }
    const kernel::LpifSummary& s = result.value();
    QStringList cells = {wavelength(s.first), wavelength(s.last),     QString::number(s.points),
                         factor(s.mean),      factor(s.minimum),      wavelength(s.minimumAt),
                         factor(s.maximum),   wavelength(s.maximumAt)};
    for (const double nm : kernel::kLpifWavelengths)
        cells << factor(lpifAt(s, nm));
    showSummary(cells);
}

} // namespace lumetrix
