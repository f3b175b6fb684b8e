#pragma once

#include <QWidget>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTableWidget;

namespace lumetrix {

class LpifTableModel;
class PageHost;
class TComboBox;
class TPBNumEdit;

// A tool window of the Tools menu. A locking one gives the main window back when it closes.
class TToolWindow : public QWidget {
    Q_OBJECT
public:
    TToolWindow(const QString& title, bool locksMainWindow, Qt::WindowFlags flags = Qt::Window);

signals:
    // A locking window has closed: the main window is given back.
    void lockReleased();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_locksMainWindow;
};

// The cR_cT transform window: turns measured haze data into the calibration function cR (haze
// of reflected light) or cT (haze of transmitted light), written as "<eFileDir>/<eFileName>.cal".
class TcR_cT_Form : public TToolWindow {
    Q_OBJECT
public:
    explicit TcR_cT_Form(PageHost& host);

    QLabel* lDescription = nullptr;
    QRadioButton* rb_cR = nullptr;
    QRadioButton* rb_cT = nullptr;
    QLineEdit* eHazeDataFileName = nullptr;
    QPushButton* btHazeData = nullptr;
    TPBNumEdit* pbRMS = nullptr;
    TComboBox* cbIncidentLay = nullptr;
    TComboBox* cbTransLay = nullptr;
    QLineEdit* eNKdir = nullptr;
    QPushButton* btNKDir = nullptr;
    QLineEdit* eFileName = nullptr;
    QLineEdit* eFileDir = nullptr;
    QPushButton* btFolder = nullptr;
    QWidget* Panel1 = nullptr; // the HT power factor, for cT only
    QRadioButton* rbHTfactor2 = nullptr;
    QRadioButton* rbHTfactor3 = nullptr;
    QRadioButton* rbHTfactorCustom = nullptr;
    TPBNumEdit* ePowerHT = nullptr;
    QPlainTextEdit* eResultMemo = nullptr;
    QPushButton* brRUNTransf = nullptr;

    void FormCreate();
    void rb_cRClick();
    void btHazeDataClick();
    void btFolderClick(QPushButton* Sender);
    void FormClick();
    void brRUNTransfClick();

    // The path of the calibration file that RUN writes.
    QString outputPath() const;

signals:
    // RUN has written a calibration file into the calibration folder and added its name to
    // the listing of its kind (cR.dat or cT.dat): the lists that offer it are read again.
    void calibrationListed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildKindRow();
    QWidget* buildPowerPanel();
    // Why RUN cannot start, or empty when it can.
    QString missingInput() const;
    double powerFactor() const;

    PageHost& m_host;
};

// The LPIF calculation window: the light path improvement factor of one layer, from the
// "_ratio.jph" files of a reference and an improved structure.
class TLPIF_Form : public TToolWindow {
    Q_OBJECT
public:
    explicit TLPIF_Form(PageHost& host);

    QLabel* lDescription = nullptr;
    QLineEdit* eReference = nullptr;
    QPushButton* btRef = nullptr;
    QTableView* sgTable1 = nullptr;
    QLineEdit* eImproved = nullptr;
    QPushButton* btImpr = nullptr;
    QTableView* sgTable2 = nullptr;
    QLineEdit* eFileName = nullptr;
    QLineEdit* eFileDir = nullptr;
    QPushButton* btFolder = nullptr;
    QPushButton* brRUNLPIF = nullptr;
    QTableWidget* sgResult = nullptr;

    // The layer chosen in each table: a column of the table as shown.
    int RefColumn = 0;
    int ImprColumn = 0;

    void btRefClick();
    void btImprClick();
    void btFolderClick();
    void brRUNLPIFClick();

    // The extension of the output file, after the name given in eFileName.
    static inline const QString kOutputExtension = QStringLiteral(".lpif");
    QString outputPath() const;

    LpifTableModel* table1() const { return m_model1; }
    LpifTableModel* table2() const { return m_model2; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildFileColumn(const QString& caption, QLineEdit*& edit, QPushButton*& button,
                             QTableView*& table, LpifTableModel*& model, const char* suffix);
    QWidget* buildOutputRows();
    QWidget* buildResults();
    // Browse for a "_ratio.jph" file into the edit and the table; the table's layer column
    // becomes 1 whether or not a file is chosen.
    void browseTable(QLineEdit* edit, QTableView* table, LpifTableModel* model, int& column);
    // Reads the file of the edit's text into the table (its layer column becomes 1) and keeps
    // that text in `loaded`; an error is shown.
    void loadTable(QLineEdit* edit, QTableView* table, LpifTableModel* model, int& column,
                   QString& loaded);
    // Enter in an edit, or leaving it, loads the path typed there once per change of the text.
    void typedPath(QLineEdit* edit, QTableView* table, LpifTableModel* model, int& column,
                   QString& loaded);
    // A press on a table's cell chooses its column; one on a heading cell selects the column.
    bool tableMouseDown(QTableView* table, int& column, const QPoint& position);
    QString missingInput() const;
    void showSummary(const QStringList& cells);

    PageHost& m_host;
    LpifTableModel* m_model1 = nullptr;
    LpifTableModel* m_model2 = nullptr;
    // The text of each edit whose file the table was last loaded from.
    QString m_loaded1, m_loaded2;
};

} // namespace lumetrix
