#include "pages/reftransform.h"

#include "core/inputfile_reader.h"

#include "controls/combobox.h"
#include "controls/combolists.h"
#include "controls/pbnumedit.h"
#include "core/folders.h"
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

// A numeric edit with its caption in front, as one cell.
QWidget* valueCell(const QString& caption, TPBNumEdit* edit, QWidget* parent) {
    auto* cell = new QWidget(parent);
    auto* row = new QHBoxLayout(cell);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(caption, cell));
    edit->setParent(cell);
    row->addWidget(edit);
    row->addStretch(1);
    return cell;
}

TPBNumEdit* limitedEdit(const QString& name, double min, double max, QWidget* parent) {
    auto* edit = new TPBNumEdit(parent);
    edit->setObjectName(name);
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(70);
    edit->setMaxValue(max);
    edit->setMinValue(min);
    edit->setValue(1.0);
    return edit;
}

QCheckBox* check(const QString& caption, const QString& name, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

TRefTransForm::TRefTransForm(PageHost& host, QWidget* parent) : TPageForm(host, 3, parent) {
    setObjectName(QStringLiteral("RefTransForm"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(16, 10, 16, 10);
    page->setSpacing(4);

    cbIncludeDecr = check(QStringLiteral("Include following calibration factors to decrease total "
                                         "reflectance at specified interfaces"),
                          QStringLiteral("cbIncludeDecr"), this);
    page->addWidget(cbIncludeDecr);
    auto* factorRow = new QHBoxLayout;
    factorRow->setSpacing(12);
    pIncludeDecr = new QWidget(this);
    pIncludeDecr->setObjectName(QStringLiteral("pIncludeDecr"));
    auto* first = new QGridLayout(pIncludeDecr);
    first->setContentsMargins(20, 0, 0, 0);
    rowCaptions(first, pIncludeDecr, QStringLiteral("values"));
    AdvPanel2 = new QWidget(this);
    AdvPanel2->setObjectName(QStringLiteral("AdvPanel2"));
    auto* others = new QGridLayout(AdvPanel2);
    others->setContentsMargins(0, 0, 0, 0);
    const char* suffixes[] = {"", "_2", "_3"};
    for (int j = 0; j < 3; ++j) {
        QWidget* owner = j == 0 ? pIncludeDecr : AdvPanel2;
        QGridLayout* grid = j == 0 ? first : others;
        const int column = j == 0 ? 1 : j - 1;
        const QString n = QString::number(j + 1);
        FactorColumn& f = factors[j];
        f.interfaces = new QLineEdit(owner);
        f.interfaces->setObjectName(j == 0 ? QStringLiteral("eRTSpecifInterface")
                                           : "eRTSpecifInterface" + n);
        f.interfaces->setFixedWidth(130);
        f.c12 = limitedEdit(QStringLiteral("pbC12") + QLatin1String(suffixes[j]), 0.0, 1.0, owner);
        f.c21 = limitedEdit(QStringLiteral("pbC21") + QLatin1String(suffixes[j]), 0.0, 1.0, owner);
        f.direct = check(QString(), "cbTRdirect" + n, owner);
        grid->addWidget(f.interfaces, 0, column);
        grid->addWidget(valueCell(QStringLiteral("c12 (0..1) = "), f.c12, owner), 1, column);
        grid->addWidget(valueCell(QStringLiteral("c21 (0..1) = "), f.c21, owner), 2, column);
        grid->addWidget(f.direct, 3, column);
    }
    fixRows(first);
    fixRows(others);
    factorRow->addWidget(pIncludeDecr);
    factorRow->addWidget(AdvPanel2);
    factorRow->addStretch(1);
    page->addLayout(factorRow);

    AdvPanel = new QWidget(this);
    AdvPanel->setObjectName(QStringLiteral("AdvPanel"));
    auto* adv = new QVBoxLayout(AdvPanel);
    adv->setContentsMargins(0, 8, 0, 0);
    adv->setSpacing(4);
    cbIncludeFDecrTR = check(QStringLiteral("Include following calibration functions to decrease "
                                            "total reflectance at specified interfaces:"),
                             QStringLiteral("cbIncludeFDecrTR"), AdvPanel);
    adv->addWidget(cbIncludeFDecrTR);
    pIncludeFDecrTR = new QWidget(AdvPanel);
    pIncludeFDecrTR->setObjectName(QStringLiteral("pIncludeFDecrTR"));
    auto* fgrid = new QGridLayout(pIncludeFDecrTR);
    fgrid->setContentsMargins(20, 0, 0, 0);
    rowCaptions(fgrid, pIncludeFDecrTR, QStringLiteral("functions"));
    for (int j = 0; j < 2; ++j) {
        const QString n = QString::number(j + 1);
        FunctionColumn& f = functions[j];
        f.interfaces = new QLineEdit(pIncludeFDecrTR);
        f.interfaces->setObjectName("eRTSpecifInterface_advF" + n);
        f.interfaces->setFixedWidth(130);
        const auto functionBox = [&](const QString& name, const QString& caption) {
            auto* box = new TComboBox(pIncludeFDecrTR);
            box->setObjectName(name);
            box->setMinimumWidth(110);
            auto* cell = new QWidget(pIncludeFDecrTR);
            auto* row = new QHBoxLayout(cell);
            row->setContentsMargins(0, 0, 0, 0);
            row->addWidget(new QLabel(caption, cell));
            box->setParent(cell);
            row->addWidget(box);
            return std::pair{box, cell};
        };
        auto [c12, c12cell] =
            functionBox("cbCalFunc_c12_" + n, QStringLiteral("c12 (wavelength)  = "));
        auto [c21, c21cell] =
            functionBox("cbCalFunc_c21_" + n, QStringLiteral("c21 (wavelength)  = "));
        f.c12 = c12;
        f.c21 = c21;
        f.direct = check(QString(), "cbTRdirect_adv" + n, pIncludeFDecrTR);
        fgrid->addWidget(f.interfaces, 0, j + 1);
        fgrid->addWidget(c12cell, 1, j + 1);
        fgrid->addWidget(c21cell, 2, j + 1);
        fgrid->addWidget(f.direct, 3, j + 1);
    }
    fgrid->setColumnStretch(3, 1);
    fixRows(fgrid);
    adv->addWidget(pIncludeFDecrTR);

    cbIncludeDecr_adv =
        check(QStringLiteral("Include following calibration factor to decrease total "
                             "reflectance of entire structure\nand increase the "
                             "light intensity entering the structure"),
              QStringLiteral("cbIncludeDecr_adv"), AdvPanel);
    adv->addSpacing(6);
    adv->addWidget(cbIncludeDecr_adv);
    pIncludeDecr_adv = new QWidget(AdvPanel);
    pIncludeDecr_adv->setObjectName(QStringLiteral("pIncludeDecr_adv"));
    auto* entire = new QHBoxLayout(pIncludeDecr_adv);
    entire->setContentsMargins(20, 0, 0, 0);
    pbC12entire = limitedEdit(QStringLiteral("pbC12entire"), 0.0, 1.0, pIncludeDecr_adv);
    entire->addWidget(valueCell(QStringLiteral("c12entire = "), pbC12entire, pIncludeDecr_adv));
    entire->addWidget(new QLabel(QStringLiteral("(0..1)"), pIncludeDecr_adv));
    entire->addSpacing(24);
    entire->addWidget(new QLabel(QStringLiteral("R_new = R * (c12entire - R * c12entire + R)\n"
                                                "I_enter_new = I_enter [1 + (1 - c12etire) * R]"),
                                 pIncludeDecr_adv));
    entire->addStretch(1);
    adv->addWidget(pIncludeDecr_adv);

    cbIncludeInc_adv =
        check(QStringLiteral("Include following calibration factor to increase total "
                             "reflectance from the back side for scattered light "
                             "beams\nat specified interfaces"),
              QStringLiteral("cbIncludeInc_adv"), AdvPanel);
    adv->addSpacing(6);
    adv->addWidget(cbIncludeInc_adv);
    pIncludeInc_adv = new QWidget(AdvPanel);
    pIncludeInc_adv->setObjectName(QStringLiteral("pIncludeInc_adv"));
    auto* increase = new QGridLayout(pIncludeInc_adv);
    increase->setContentsMargins(20, 0, 0, 0);
    eRTSpecifInterface_adv = new QLineEdit(pIncludeInc_adv);
    eRTSpecifInterface_adv->setObjectName(QStringLiteral("eRTSpecifInterface_adv"));
    eRTSpecifInterface_adv->setFixedWidth(130);
    pbC21Scatt = limitedEdit(QStringLiteral("pbC21Scatt"), 1.0, 100.0, pIncludeInc_adv);
    increase->addWidget(new QLabel(QStringLiteral("Specify interfaces"), pIncludeInc_adv), 0, 0);
    increase->addWidget(eRTSpecifInterface_adv, 0, 1);
    increase->addWidget(
        new QLabel(QStringLiteral("(e.g. 0,1,4,... ; 0 = front interface)"), pIncludeInc_adv), 0,
        2);
    increase->addWidget(valueCell(QStringLiteral("c21scatt = "), pbC21Scatt, pIncludeInc_adv), 1,
                        1);
    increase->addWidget(new QLabel(QStringLiteral("(>=1)"), pIncludeInc_adv), 1, 2);
    increase->setColumnStretch(3, 1);
    adv->addWidget(pIncludeInc_adv);
    page->addWidget(AdvPanel);
    page->addStretch(1);

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

    host.comboLists().addBinding({[this] { return functionBoxes(); },
                                  [this] { return calibrationListFile(); },
                                  [](QComboBox* box) {
                                      if (box->currentIndex() < 0)
                                          box->setCurrentIndex(0);
                                  }});
    FormCreate();
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
