#include "results/results.h"

#include "controls/combobox.h"
#include "controls/combolists.h"
#include "controls/userdialogs.h"
#include "controls/widget_factory.h"
#include "core/folders.h"
#include "core/result_files.h"
#include "core/result_list.h"
#include "pages/pagehost.h"
#include "results/resulttablemodel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace lumetrix {
namespace {

constexpr int kOnLineEntry = 0;
constexpr int kImportEntry = 10;

// The header skip of an entry of the result list: the generation and photocurrent files have
// four lines above their header.
int entryHeaderSkip(int index) {
    return index == 4 || index == 5 ? 4 : 0;
}

} // namespace

TResults::TResults(PageHost& host, QWidget* parent) : TPageForm(host, 7, parent) {
    setObjectName(QStringLiteral("Results"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(12, 10, 12, 10);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Show results"), this));
    cbIzberiGraf = comboBox(QStringLiteral("cbIzberiGraf"), this, false, 240);
    cbIzberiGraf->setMaxVisibleItems(11);
    top->addWidget(cbIzberiGraf);
    top->addStretch(1);
    page->addLayout(top);
    buildViewButtons(page);
    buildTablePage();
    page->addWidget(Notebook1, 1);
    setResultList(resultListEntries(host.folders().OutFileName));
    connect(cbIzberiGraf, &QComboBox::activated, this, &TResults::cbIzberiGrafChange);
}

void TResults::buildViewButtons(QVBoxLayout* page) {
    auto* row = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    for (auto [button, caption, name] :
         {std::tuple{&btGraph, "Graph", "btGraph"}, std::tuple{&btTable, "Table", "btTable"},
          std::tuple{&btComments, "Comments", "btComments"}}) {
        *button = pushButton(QString::fromLatin1(caption), QString::fromLatin1(name), this);
        (*button)->setCheckable(true);
        group->addButton(*button);
        row->addWidget(*button);
        connect(*button, &QPushButton::clicked, this, [this, b = *button] { GraphTableChange(b); });
    }
    row->addStretch(1);
    page->addLayout(row);
    btGraph->setChecked(true);
}

void TResults::buildTablePage() {
    Notebook1 = named<QStackedWidget>(this, QStringLiteral("Notebook1"));
    Notebook1->addWidget(new QWidget(Notebook1)); // the graph
    auto* table = new QWidget(Notebook1);
    auto* column = new QVBoxLayout(table);
    column->setContentsMargins(0, 0, 0, 0);
    LOpenedFile = named<QLabel>(table, QStringLiteral("LOpenedFile"));
    column->addWidget(LOpenedFile);
    sgTable = named<QTableView>(table, QStringLiteral("sgTable"));
    m_model = new ResultTableModel(sgTable);
    sgTable->setModel(m_model);
    sgTable->horizontalHeader()->hide();
    sgTable->verticalHeader()->hide();
    sgTable->horizontalHeader()->setDefaultSectionSize(72);
    sgTable->verticalHeader()->setDefaultSectionSize(20);
    sgTable->installEventFilter(this);
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
    Sender->setChecked(true);
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
    if (index == kImportEntry)
        path = ImportResultFile(headerSkip);
    else if (index > kOnLineEntry && index < kImportEntry)
        path = QString::fromStdString(joinPath(m_host.folders().OutFileDir, entry.toStdString()));
    const QString name = QString::fromStdString(lastPathComponent(path.toStdString()));
    LOpenedFile->setText(index == kOnLineEntry   ? QString()
                         : index == kImportEntry ? "Opened file: " + name
                                                 : "On-line results: " + name);
    ClearResultTable();
    if (!path.isEmpty())
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
    return true;
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
    if (watched == sgTable && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(selectedCellsText());
        return true;
    }
    return TPageForm::eventFilter(watched, event);
}

TSelectGraphForm::TSelectGraphForm() {
    setObjectName(QStringLiteral("SelectGraphForm"));
    setWindowTitle(QStringLiteral("Select graph"));
}

} // namespace lumetrix
