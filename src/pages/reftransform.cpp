#include "pages/reftransform.h"

#include "core/inputfile_reader.h"

#include "controls/combobox.h"
#include "controls/combolists.h"
#include "controls/pbnumedit.h"
#include "controls/widget_factory.h"
#include "core/folders.h"
#include "core/number_ranges.h"
#include "core/project.h"
#include "pages/pagehost.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace lumetrix {
namespace {

const QString kSpecifyInterfaces =
    QStringLiteral("Specify interfaces (e.g. 0,1,4,... ; 0 = front interface)");
// The check boxes of the advanced part.
const QString kFunctionsCaption = QStringLiteral(
    "Include following calibration functions to decrease total reflectance at specified "
    "interfaces:");
const QString kEntireCaption =
    QStringLiteral("Include following calibration factor to decrease total reflectance of entire "
                   "structure\nand increase the light intensity entering the structure");
const QString kBackSideCaption =
    QStringLiteral("Include following calibration factor to increase total reflectance from the "
                   "back side for scattered light beams\nat specified interfaces");
constexpr int kCaptionWidth = 230;
// Every row of the factor and function columns has this height, so that the columns in
// separate panels line up.
constexpr int kRowHeight = 34;

void fixRows(QGridLayout* grid) {
    grid->setVerticalSpacing(0);
    for (int row = 0; row < 4; ++row)
        grid->setRowMinimumHeight(row, kRowHeight);
}

// The four row captions of a block of columns, in column 0 of its grid.
void rowCaptions(QGridLayout* grid, QWidget* parent, const QString& kind) {
    const QString captions[] = {
        kSpecifyInterfaces,
        QStringLiteral("For light approaching the interface from front side of the structure"),
        QStringLiteral("For light approaching the interface from back side of the structure"),
        "Use specified " + kind + " c12 and c21 as total reflectance directly"};
    for (int row = 0; row < 4; ++row) {
        auto* label = new QLabel(captions[row], parent);
        label->setWordWrap(true);
        label->setFixedSize(kCaptionWidth, kRowHeight);
        grid->addWidget(label, row, 0);
    }
}

// The factor edits: 0 to 1, starting at 1, as wide as the interface edits above them.
constexpr int kFactorEditWidth = 80;
const NumEditSetup kUnitFactor{
    .max = ranges::kFraction.max, .value = 1.0, .width = kFactorEditWidth};
// The interface edits and function boxes of the function columns.
constexpr int kFunctionBoxWidth = 120;
// The caption of a value in a column keeps this distance from what stands left of it.
constexpr int kColumnGap = 12;

QLineEdit* interfacesEdit(const QString& name, QWidget* parent, int width = 130) {
    auto* edit = named<QLineEdit>(parent, name);
    edit->setFixedWidth(width);
    return edit;
}

// Puts a column into two columns of the grid, from the given one: the captions of the values,
// then the interface edit with the value controls and the use-directly mark under it, so that
// the controls line up on the left.
void placeColumn(QGridLayout* grid, int column, QWidget* interfaces, const QString& what,
                 QWidget* c12, QWidget* c21, QWidget* direct) {
    QWidget* parent = interfaces->parentWidget();
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    grid->addWidget(interfaces, 0, column + 1, left);
    for (int row : {1, 2}) {
        auto* label = new QLabel((row == 1 ? "c12 " : "c21 ") + what + " = ", parent);
        label->setContentsMargins(kColumnGap, 0, 0, 0);
        grid->addWidget(label, row, column);
        grid->addWidget(row == 1 ? c12 : c21, row, column + 1, left);
    }
    grid->addWidget(direct, 3, column + 1, left);
}

// Column j (0-based) of calibration factors, in two columns of the owner's grid from column.
FactorColumn factorColumn(int j, QWidget* owner, QGridLayout* grid, int column) {
    const char* suffixes[] = {"", "_2", "_3"};
    const QString n = QString::number(j + 1);
    FactorColumn f;
    f.interfaces =
        interfacesEdit(j == 0 ? QStringLiteral("eRTSpecifInterface") : "eRTSpecifInterface" + n,
                       owner, kFactorEditWidth);
    f.c12 = numEdit(QStringLiteral("pbC12") + QLatin1String(suffixes[j]), owner, kUnitFactor);
    f.c21 = numEdit(QStringLiteral("pbC21") + QLatin1String(suffixes[j]), owner, kUnitFactor);
    f.direct = checkBox(QString(), "cbTRdirect" + n, owner);
    placeColumn(grid, column, f.interfaces, QStringLiteral("(0..1)"), f.c12, f.c21, f.direct);
    return f;
}

// Column j (0-based) of calibration functions, in columns 2j + 1 and 2j + 2 of the grid.
FunctionColumn functionColumn(int j, QWidget* parent, QGridLayout* grid) {
    const QString n = QString::number(j + 1);
    FunctionColumn f;
    f.interfaces = interfacesEdit("eRTSpecifInterface_advF" + n, parent, kFunctionBoxWidth);
    f.c12 = comboBox("cbCalFunc_c12_" + n, parent, false);
    f.c21 = comboBox("cbCalFunc_c21_" + n, parent, false);
    for (TComboBox* box : {f.c12, f.c21})
        box->setFixedWidth(kFunctionBoxWidth);
    f.direct = checkBox(QString(), "cbTRdirect_adv" + n, parent);
    placeColumn(grid, 2 * j + 1, f.interfaces, QStringLiteral("(wavelength)"), f.c12, f.c21,
                f.direct);
    return f;
}

} // namespace

TRefTransForm::TRefTransForm(PageHost& host, QWidget* parent)
    : TPageForm(host, Page::RefTrans, parent) {
    setObjectName(QStringLiteral("RefTransForm"));
    auto* page = layoutOn<QVBoxLayout>(this, {16, 10, 16, 10}, 4);
    buildFactorPanel(page);
    page->addWidget(buildAdvancedPanel());
    page->addStretch(1);
    connectHandlers();
    bindComboLists();
    FormCreate();
}

void TRefTransForm::buildFactorPanel(QBoxLayout* page) {
    cbIncludeDecr =
        checkBox(QStringLiteral("Include following calibration factors to decrease total "
                                "reflectance at specified interfaces"),
                 QStringLiteral("cbIncludeDecr"), this);
    page->addWidget(cbIncludeDecr);
    auto* factorRow = new QHBoxLayout;
    factorRow->setSpacing(12);
    pIncludeDecr = named<QWidget>(this, QStringLiteral("pIncludeDecr"));
    auto* first = layoutOn<QGridLayout>(pIncludeDecr, {20, 0, 0, 0});
    rowCaptions(first, pIncludeDecr, QStringLiteral("values"));
    AdvPanel2 = named<QWidget>(this, QStringLiteral("AdvPanel2"));
    auto* others = layoutOn<QGridLayout>(AdvPanel2, {0, 0, 0, 0});
    // The first column stands beside the captions; the others show only when advanced.
    factors[0] = factorColumn(0, pIncludeDecr, first, 1);
    for (int j = 1; j < 3; ++j)
        factors[j] = factorColumn(j, AdvPanel2, others, 2 * (j - 1));
    fixRows(first);
    fixRows(others);
    factorRow->addWidget(pIncludeDecr);
    factorRow->addWidget(AdvPanel2);
    factorRow->addStretch(1);
    page->addLayout(factorRow);
}

QWidget* TRefTransForm::buildAdvancedPanel() {
    AdvPanel = named<QWidget>(this, QStringLiteral("AdvPanel"));
    auto* adv = layoutOn<QVBoxLayout>(AdvPanel, {0, 8, 0, 0}, 4);
    cbIncludeFDecrTR = checkBox(kFunctionsCaption, QStringLiteral("cbIncludeFDecrTR"), AdvPanel);
    addSwitchedPanel(adv, cbIncludeFDecrTR, buildFunctionPanel());
    cbIncludeDecr_adv = checkBox(kEntireCaption, QStringLiteral("cbIncludeDecr_adv"), AdvPanel);
    addSwitchedPanel(adv, cbIncludeDecr_adv, buildEntireStructurePanel(), 6);
    cbIncludeInc_adv = checkBox(kBackSideCaption, QStringLiteral("cbIncludeInc_adv"), AdvPanel);
    addSwitchedPanel(adv, cbIncludeInc_adv, buildBackSidePanel(), 6);
    return AdvPanel;
}

QWidget* TRefTransForm::buildFunctionPanel() {
    pIncludeFDecrTR = named<QWidget>(AdvPanel, QStringLiteral("pIncludeFDecrTR"));
    auto* fgrid = layoutOn<QGridLayout>(pIncludeFDecrTR, {20, 0, 0, 0});
    rowCaptions(fgrid, pIncludeFDecrTR, QStringLiteral("functions"));
    for (int j = 0; j < 2; ++j)
        functions[j] = functionColumn(j, pIncludeFDecrTR, fgrid);
    fgrid->setColumnStretch(5, 1);
    fixRows(fgrid);
    return pIncludeFDecrTR;
}

QWidget* TRefTransForm::buildEntireStructurePanel() {
    pIncludeDecr_adv = named<QWidget>(AdvPanel, QStringLiteral("pIncludeDecr_adv"));
    auto* entire = layoutOn<QHBoxLayout>(pIncludeDecr_adv, {20, 0, 0, 0});
    pbC12entire = numEdit(QStringLiteral("pbC12entire"), pIncludeDecr_adv, kUnitFactor);
    entire->addWidget(captionedRow(QStringLiteral("c12entire = "), pbC12entire, pIncludeDecr_adv));
    entire->addWidget(new QLabel(QStringLiteral("(0..1)"), pIncludeDecr_adv));
    entire->addSpacing(24);
    entire->addWidget(new QLabel(QStringLiteral("R_new = R * (c12entire - R * c12entire + R)\n"
                                                "I_enter_new = I_enter [1 + (1 - c12etire) * R]"),
                                 pIncludeDecr_adv));
    entire->addStretch(1);
    return pIncludeDecr_adv;
}

QWidget* TRefTransForm::buildBackSidePanel() {
    pIncludeInc_adv = named<QWidget>(AdvPanel, QStringLiteral("pIncludeInc_adv"));
    auto* increase = layoutOn<QGridLayout>(pIncludeInc_adv, {20, 0, 0, 0});
    eRTSpecifInterface_adv =
        interfacesEdit(QStringLiteral("eRTSpecifInterface_adv"), pIncludeInc_adv);
    pbC21Scatt = numEdit(QStringLiteral("pbC21Scatt"), pIncludeInc_adv,
                         {.min = ranges::kBackSideIncrease.min,
                          .max = ranges::kBackSideIncrease.max,
                          .value = 1.0,
                          .width = 70});
    increase->addWidget(new QLabel(QStringLiteral("Specify interfaces"), pIncludeInc_adv), 0, 0);
    increase->addWidget(eRTSpecifInterface_adv, 0, 1);
    increase->addWidget(
        new QLabel(QStringLiteral("(e.g. 0,1,4,... ; 0 = front interface)"), pIncludeInc_adv), 0,
        2);
    // c21scatt stands under the interfaces: its caption under theirs, its edit under theirs.
    increase->addWidget(new QLabel(QStringLiteral("c21scatt = "), pIncludeInc_adv), 1, 0);
    increase->addWidget(pbC21Scatt, 1, 1, Qt::AlignLeft | Qt::AlignVCenter);
    increase->addWidget(new QLabel(QStringLiteral("(>=1)"), pIncludeInc_adv), 1, 2);
    increase->setColumnStretch(3, 1);
    return pIncludeInc_adv;
}

void TRefTransForm::connectHandlers() {
    connect(cbIncludeDecr, &QCheckBox::toggled, this, &TRefTransForm::cbIncludeDecrClick);
    connect(cbIncludeFDecrTR, &QCheckBox::toggled, this, &TRefTransForm::cbIncludeFDecrTRClick);
    connect(cbIncludeDecr_adv, &QCheckBox::toggled, this, &TRefTransForm::cbIncludeDecr_advClick);
    connect(cbIncludeInc_adv, &QCheckBox::toggled, this, &TRefTransForm::cbIncludeInc_advClick);
    // Enter leaves a numeric edit, so that its limits apply.
    QList<TPBNumEdit*> numeric{pbC12entire, pbC21Scatt};
    for (const FactorColumn& f : factors)
        numeric << f.c12 << f.c21;
    for (TPBNumEdit* edit : numeric)
        connect(edit, &QLineEdit::returnPressed, this, [this] { m_host.PremakniFocus(); });
    for (QWidget* panel :
         {AdvPanel, pIncludeDecr_adv, pIncludeDecr, AdvPanel2, pIncludeFDecrTR, pIncludeInc_adv})
        parkFocusOnClick(panel);
}

void TRefTransForm::bindComboLists() {
    m_host.comboLists().addBinding({[this] { return functionBoxes(); },
                                    [this] { return calibrationListFile(); },
                                    [](QComboBox* box) {
                                        if (box->currentIndex() < 0)
                                            box->setCurrentIndex(0);
                                    }});
}

QString TRefTransForm::calibrationListFile() const {
    return QString::fromStdString(joinPath(m_host.folders().ListDir, "ReflCal.dat"));
}

QList<QComboBox*> TRefTransForm::functionBoxes() const {
    return {functions[0].c12, functions[0].c21, functions[1].c12, functions[1].c21};
}

void TRefTransForm::FormCreate() {
    for (QCheckBox* box : {cbIncludeDecr, cbIncludeDecr_adv, cbIncludeInc_adv, cbIncludeFDecrTR})
        box->setChecked(false);
    for (const FactorColumn& f : factors) {
        f.direct->setChecked(false);
        f.interfaces->clear();
        f.c12->setValue(1.0);
        f.c21->setValue(1.0);
    }
    for (const FunctionColumn& f : functions) {
        f.direct->setChecked(false);
        f.interfaces->clear();
    }
    eRTSpecifInterface_adv->clear();
    pbC12entire->setValue(1.0);
    pbC21Scatt->setValue(1.0);
    m_host.comboLists().LoadComboLists(functionBoxes(), calibrationListFile());
    for (QComboBox* box : functionBoxes())
        if (box->currentIndex() < 0)
            box->setCurrentIndex(0);
    cbIncludeDecrClick();
    cbIncludeFDecrTRClick();
    cbIncludeDecr_advClick();
    cbIncludeInc_advClick();
}

void TRefTransForm::FormShow() {
    AdvPanel->setVisible(advanced());
    AdvPanel2->setVisible(cbIncludeDecr->isChecked() && advanced());
}

void TRefTransForm::cbIncludeDecrClick() {
    pIncludeDecr->setVisible(cbIncludeDecr->isChecked());
    FormShow();
}

void TRefTransForm::cbIncludeFDecrTRClick() {
    pIncludeFDecrTR->setVisible(cbIncludeFDecrTR->isChecked());
}

void TRefTransForm::cbIncludeDecr_advClick() {
    pIncludeDecr_adv->setVisible(cbIncludeDecr_adv->isChecked());
}

void TRefTransForm::cbIncludeInc_advClick() {
    pIncludeInc_adv->setVisible(cbIncludeInc_adv->isChecked());
}

void TRefTransForm::fillProject(Project& project) const {
    RefTransSettings& rt = project.refTrans;
    rt.cbIncludeDecr = cbIncludeDecr->isChecked();
    for (std::size_t j = 0; j < factors.size(); ++j) {
        const FactorColumn& f = factors[j];
        rt.factors[j] = {f.interfaces->text().toStdString(), f.c12->text().toStdString(),
                         f.c21->text().toStdString(), f.direct->isChecked()};
    }
    rt.cbIncludeFDecrTR = cbIncludeFDecrTR->isChecked();
    for (std::size_t j = 0; j < functions.size(); ++j) {
        const FunctionColumn& f = functions[j];
        rt.functions[j] = {f.interfaces->text().toStdString(), f.c12->currentText().toStdString(),
                           f.c21->currentText().toStdString(), f.direct->isChecked()};
    }
    rt.cbIncludeDecr_adv = cbIncludeDecr_adv->isChecked();
    rt.pbC12entire = pbC12entire->text().toStdString();
    rt.cbIncludeInc_adv = cbIncludeInc_adv->isChecked();
    rt.eRTSpecifInterface_adv = eRTSpecifInterface_adv->text().toStdString();
    rt.pbC21Scatt = pbC21Scatt->text().toStdString();
}

void TRefTransForm::takeLoaded(const LoadedProject& loaded) {
    const RefTransSettings& rt = loaded.values.refTrans;
    cbIncludeDecr->setChecked(rt.cbIncludeDecr);
    const std::size_t sets = loaded.allFactorSetsCarried ? factors.size() : 1;
    for (std::size_t j = 0; j < sets; ++j) {
        const FactorColumn& f = factors[j];
        f.interfaces->setText(QString::fromStdString(rt.factors[j].interfaces));
        f.c12->setText(QString::fromStdString(rt.factors[j].c12));
        f.c21->setText(QString::fromStdString(rt.factors[j].c21));
        if (loaded.allFactorSetsCarried)
            f.direct->setChecked(rt.factors[j].direct);
    }
    using Functions = LoadedProject::Functions;
    if (loaded.functionsCarried == Functions::All) {
        for (QComboBox* box : functionBoxes())
            box->setCurrentIndex(-1);
        cbIncludeFDecrTR->setChecked(true);
        for (std::size_t j = 0; j < functions.size(); ++j) {
            const FunctionColumn& f = functions[j];
            f.interfaces->setText(QString::fromStdString(rt.functions[j].interfaces));
            showComboText(f.c12, QString::fromStdString(rt.functions[j].c12));
            showComboText(f.c21, QString::fromStdString(rt.functions[j].c21));
            f.direct->setChecked(rt.functions[j].direct);
        }
    } else if (loaded.functionsCarried == Functions::None) {
        cbIncludeFDecrTR->setChecked(false);
        for (const FunctionColumn& f : functions) {
            f.interfaces->clear();
            f.direct->setChecked(false);
        }
        for (QComboBox* box : functionBoxes())
            box->setCurrentIndex(0);
    } else { // an old file: one column with its c12 function
        cbIncludeFDecrTR->setChecked(rt.cbIncludeFDecrTR);
        functions[0].interfaces->setText(QString::fromStdString(rt.functions[0].interfaces));
        showComboText(functions[0].c12, QString::fromStdString(rt.functions[0].c12));
        functions[0].direct->setChecked(rt.functions[0].direct);
    }
    cbIncludeDecr_adv->setChecked(rt.cbIncludeDecr_adv);
    pbC12entire->setText(QString::fromStdString(rt.pbC12entire));
    cbIncludeInc_adv->setChecked(rt.cbIncludeInc_adv);
    eRTSpecifInterface_adv->setText(QString::fromStdString(rt.eRTSpecifInterface_adv));
    pbC21Scatt->setText(QString::fromStdString(rt.pbC21Scatt));
    for (QComboBox* box : functionBoxes())
        ComboLists::SelectComboText(box);
}

} // namespace lumetrix
