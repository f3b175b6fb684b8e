#pragma once

#include "core/layer_rows.h"
#include "pages/pageform.h"

#include <QList>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QMenu;
class QAction;
class QPushButton;
class QScrollArea;
class QTimer;

namespace lumetrix {

class TComboBox;
class TPBNumEdit;
struct Project;

// One row of the Structure page: its controls, which show the row's values.
struct TLayerRow {
    int creationNumber = 0;
    int identity = 0;
    TComboBox* layerFile = nullptr;
    TPBNumEdit* thickness = nullptr;
    TPBNumEdit* segments = nullptr;
    TPBNumEdit* roughness = nullptr; // none in row 1
    TPBNumEdit* number = nullptr;
    QCheckBox* pv = nullptr;

    ~TLayerRow();
    LayerRow values() const;
    void show(const LayerRow& values);
};

// The Structure page: the layer stack from the top medium to the bottom medium.
class TStructureForm : public TPageForm {
    Q_OBJECT
public:
    static constexpr int kRowPitch = 21;

    TStructureForm(PageHost& host, QWidget* parent);

    TPBNumEdit* pbAddRemoveLayer = nullptr;
    QPushButton* LbSpeedButton1 = nullptr; // ADD
    QPushButton* LbSpeedButton2 = nullptr; // REMOVE
    QTimer* Timer1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* AddLayer = nullptr;
    QAction* DeleteLayer = nullptr;
    QWidget* AdvPanel = nullptr;
    TPBNumEdit* pbIfactor = nullptr;
    TPBNumEdit* pbCfactor = nullptr;
    // The rows from the top medium to the bottom medium.
    std::vector<std::unique_ptr<TLayerRow>> RowList;

    void FormCreate() override;
    void FormShow() override;
    void LayerEditChange();
    void LbSpeedButton1MouseDown();
    void LbSpeedButton2MouseDown();
    void LbSpeedButton1MouseUp();
    void Timer1Timer();
    // The row menu's commands on the row whose layer-number edit was right-clicked.
    void AddLayerClick();
    void DeleteLayerClick();
    // Opens the row menu for a row (1-based) as a right click on its layer-number edit does.
    void popUpRowMenu(int row, const QPoint& globalPos);
    int popupRow() const { return m_popupRow; }

    // The rows as the row list holds them, and the row with an identity (0 when none).
    int rowCount() const;
    TLayerRow& row(int r) const;
    int findRow(int identity) const;
    // What the Results page follows of the rows (1-based): the layer name, and the identity,
    // the position the row had when the Results page last matched its lines to the rows;
    // renumbering makes every identity its row's position again.
    QString layerName(int r) const;
    int rowIdentity(int r) const;
    void renumberIdentities();

    // Takes the values of a file that was read, with the side effects of reading.
    void takeLoaded(const struct LoadedProject& loaded);
    void fillProject(Project& project) const;

private:
    // The parts of the page, made in this order by the constructor.
    void buildColumnCaptions();
    void buildLayerCountPanel();
    void buildRowArea();
    void buildRowMenu();
    void buildAdvancedPanel();
    void bindComboLists();
    void connectHandlers();

    LayerRows pullRows() const;
    void pushRows(const LayerRows& rows);
    TLayerRow* createRow(int creationNumber);
    QString layerListFile() const;
    void step(int delta);
    // ADD or REMOVE pressed: a step now, again after 500 ms, then every 100 ms.
    void startRepeat(bool adding);

    QWidget* m_rowsHost = nullptr;
    bool m_adding = true;
    int m_popupRow = 0;
};

} // namespace lumetrix
