#pragma once

#include "pages/pageform.h"

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableView;
class QVBoxLayout;

namespace lumetrix {

class ResultTableModel;
class TComboBox;

// The Results page: the result list of the kernel's files for the current output name, and
// the chosen file as a table.
class TResults : public TPageForm {
    Q_OBJECT
public:
    TResults(PageHost& host, QWidget* parent);

    TComboBox* cbIzberiGraf = nullptr;
    QPushButton* btGraph = nullptr;
    QPushButton* btTable = nullptr;
    QPushButton* btComments = nullptr;
    QStackedWidget* Notebook1 = nullptr;
    QLabel* LOpenedFile = nullptr;
    QLabel* pLoading = nullptr;
    QTableView* sgTable = nullptr;
    QPlainTextEdit* mComments = nullptr;

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

    bool imported() const { return m_imported; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildViewButtons(QVBoxLayout* page);
    void buildTablePage();
    // The file chosen for the import entry, with its header skip; empty when cancelled.
    QString ImportResultFile(int& headerSkip);

    ResultTableModel* m_model = nullptr;
    bool m_imported = false;
};

// The axis selection dialog of the Results page.
class TSelectGraphForm : public QDialog {
    Q_OBJECT
public:
    TSelectGraphForm();
};

} // namespace lumetrix
