#pragma once

#include "core/graph_lines.h"
#include "core/result_files.h"
#include "pages/pageform.h"

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTableView;
class QVBoxLayout;

namespace lumetrix {

class ResultChart;
class ResultTableModel;
class TComboBox;
class TPBNumEdit;
class TSelectGraphForm;
class TStructureForm;
enum class ChartAxis;

// A quantity the on-line view can plot: R, T or the absorption in one layer.
struct OnLineItem {
    QCheckBox* box = nullptr; // caption: "R", "T" or the layer; checked: its line is shown
    TPBNumEdit* jsc = nullptr;
    int quantity = 0; // -2 R, -1 T, k the layer at row position k
    double jscValue = 0;
};

// The Results page: the result list of the kernel's files for the current output name, the
// chosen file as a table, the on-line view with its photocurrents, and the graph.
class TResults : public TPageForm {
    Q_OBJECT
public:
    TResults(PageHost& host, TStructureForm& structure, QWidget* parent);
    ~TResults() override;

    TComboBox* cbIzberiGraf = nullptr;
    QPushButton* btGraph = nullptr;
    QPushButton* btTable = nullptr;
    QPushButton* btComments = nullptr;
    QStackedWidget* Notebook1 = nullptr;
    QLabel* LOpenedFile = nullptr;
    QLabel* lRunState = nullptr; // which run the on-line view shows, and how it ended
    QLabel* pLoading = nullptr;
    QTableView* sgTable = nullptr;
    QPushButton* lbAddLineToGraph = nullptr;
    QPlainTextEdit* mComments = nullptr;
    QScrollArea* sbOnLineData = nullptr;
    QLabel* lPlot = nullptr;
    QLabel* lcalcJsc = nullptr;
    TPBNumEdit* pbJscTotal = nullptr;
    std::vector<OnLineItem> OnLineItems;

    // The graph.
    ResultChart* Graf = nullptr;
    QScrollArea* sbGraphData = nullptr;
    QCheckBox* cbDeleteOnLinePlots = nullptr;
    QPushButton* btKeepLines = nullptr; // KeepOldLines: the next run draws beside the copies
    QMenu* PopupMenu1 = nullptr;        // the legend's
    QAction* Renameline1 = nullptr;
    QAction* Removeline1 = nullptr;
    QAction* Cleargraph2 = nullptr;
    QMenu* PopupMenu2 = nullptr; // the chart's
    QAction* Addseconday1 = nullptr;
    QAction* Removesecondaryaxis1 = nullptr;
    QAction* Cleargraph1 = nullptr;
    QAction* SaveTarvo1 = nullptr;
    QAction* SavePicture1 = nullptr;

    // The graph settings.
    QWidget* Panel1 = nullptr;
    QWidget* pRightAxis = nullptr;
    TPBNumEdit *pbXMin = nullptr, *pbXMax = nullptr, *pbXStep = nullptr;
    TPBNumEdit *pbYMin = nullptr, *pbYMax = nullptr, *pbYStep = nullptr;
    TPBNumEdit *pbY2Min = nullptr, *pbY2Max = nullptr, *pbY2Step = nullptr;
    QLineEdit *eXLabel = nullptr, *eYLabel = nullptr, *eY2Label = nullptr;
    QCheckBox *cbXLog = nullptr, *cbYLog = nullptr, *cbY2Log = nullptr;
    QCheckBox *cbXAuto = nullptr, *cbYAuto = nullptr, *cbY2Auto = nullptr;
    QPushButton* btApplyGraphSettings = nullptr;

    void FormShow() override;

    // Replaces the entries of the result list.
    void setResultList(const std::vector<std::string>& entries);
    // Shows the result of entry `index` of the result list.
    void cbIzberiGrafChange(int index);
    void GraphTableChange(QPushButton* Sender);
    void ClearResultTable();
    // Reads a result file into sgTable; false (with a message) when it cannot be read.
    bool LoadResultTable(const QString& path, int headerSkip);
    // The selected cells of sgTable as TAB-separated lines, as Ctrl+C copies them.
    QString selectedCellsText() const;
    // The on-line items follow the rows of the Structure page, and so do the layer lines.
    void SyncOnLineItems();
    const ResultTable& onLineTable() const { return m_onLine; }
    // While a run is in progress: the on-line view, when shown, reads the growing result file
    // again when it has changed, and the on-line lines take its new rows.
    void followRun();

    bool imported() const { return m_imported; }

    // The graph's lines and their commands.
    const GraphLines& lines() const { return m_lines; }
    void OnLineItemClick(int item);
    // A line of table columns cx (x) and cy (y).
    void AddTableLine(int cx, int cy);
    void LineCheckClick(int id, bool checked);
    // Rename and axis of the line with this id.
    void LabelClick(int id);
    // A press on the swatch of the line with this id.
    void ColorLineMouseDown(int id, Qt::MouseButton button, const QPoint& globalPos);
    // The legend menu for the line with this id (none: the empty legend).
    void popUpLegendMenu(std::optional<int> id, const QPoint& globalPos);
    void Removeline1Click();
    void Cleargraph1Click();
    void KeepOldLines();
    // The Results steps of a new project; `startedByOpenInputFile` keeps the lines.
    void resetForNewProject(bool startedByOpenInputFile);

    // The graph settings and the chart's menu.
    void btApplyGraphSettingsClick(QObject* Sender);
    void autoClick(ChartAxis axis);
    void logClick(ChartAxis axis);
    void Addseconday1Click();
    void Removesecondaryaxis1Click();
    void SaveTarvo1Click();
    void SavePicture1Click();

    // The axis selection dialog, which the page opens and whose columns it feeds.
    void attachAxisDialog(TSelectGraphForm* dialog) { m_axisDialog = dialog; }
    void Addline1Click();

signals:
    // The axis selection dialog opens (true) or closes (false): the main window locks its
    // side panel meanwhile.
    void axisDialogShown(bool shown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TSelectGraphForm;
    void buildViewButtons(QVBoxLayout* page);
    QWidget* buildOnLinePanel();
    void buildTablePage();
    void buildGraphPage();
    QWidget* buildGraphSettings();
    struct AxisRow;
    void buildAxisRow(QGridLayout* into, QWidget* owner, int line, const AxisRow& row);
    void buildGraphMenus();
    // The file chosen for the import entry, with its header skip; empty when cancelled.
    QString ImportResultFile(int& headerSkip);
    // The on-line view, one row and column fewer than its file, and the totals: the rows of a
    // run in progress or stopped (as far as they are written), else the last complete run
    // (entry 1's file) with its totals. The page says which, or why there is none; false when
    // there is no run to show.
    bool showOnLineView();
    // The photocurrents of the on-line items and their total; none hides them.
    void showTotals(const std::optional<JscTotals>& totals);
    // The rows of a run in progress: "<output name>_partial.rta".
    QString partialFilePath() const;
    // The complete lines of the result file that a run is writing; no message when it is not
    // there yet.
    void loadRunningResult(const QString& path);
    // The points of on-line quantity q from the on-line table; while a run is in progress its
    // last row is left out, as it may be half written.
    Result<GraphLine> onLinePoints(int quantity) const;
    // The on-line lines on the graph take their points from the on-line table again.
    void renewOnLineLines();
    QString onLineFilePath() const;
    OnLineItem makeOnLineItem(const QString& caption, int quantity);
    void removeOnLineItemsFrom(std::size_t count);
    // Redraws the chart and the legend from the lines.
    void refreshGraph();
    void rebuildLegend();
    void applyAxisSettings(ChartAxis axis, TPBNumEdit* min, TPBNumEdit* max, TPBNumEdit* step,
                           QLineEdit* title);
    void sgTableMouseDown(const QModelIndex& cell);

    TStructureForm& m_structure;
    ResultTableModel* m_model = nullptr;
    ResultTable m_onLine = ResultTable::cleared();
    GraphLines m_lines;
    QWidget* m_legend = nullptr;
    std::optional<int> m_popupId; // the legend line the menu was opened for
    TSelectGraphForm* m_axisDialog = nullptr;
    bool m_imported = false;
    bool m_matching = false;
    QString m_followed;                  // the size and time of the running result file last read
    bool m_legendCommandPending = false; // a legend press waits for its command to run
};

// The axis selection dialog: two columns of the result table become a line of the graph.
class TSelectGraphForm : public QDialog {
    Q_OBJECT
public:
    explicit TSelectGraphForm(TResults& results);

    QComboBox* cbXAxis = nullptr;
    QComboBox* cbYAxis = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCancel = nullptr;

    void FormShow();
    void btOKClick();
    void btCancelClick();
    // A click on the title of table column c (c >= 1) while the dialog is open.
    void columnTitleClicked(int column);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TResults& m_results;
    QComboBox* m_entered = nullptr; // the box entered last
};

} // namespace lumetrix
