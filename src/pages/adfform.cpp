#include "pages/adfform.h"

#include "core/inputfile_reader.h"

#include "controls/colorbutton.h"
#include "controls/combobox.h"
#include "controls/combolists.h"
#include "controls/pbnumedit.h"
#include "controls/pbspinedit.h"
#include "controls/widget_factory.h"
#include "core/folders.h"
#include "core/project.h"
#include "pages/pagehost.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace lumetrix {
namespace {

constexpr int kPageNone = 2;
// Between the controls of the group rows.
constexpr int kRowSpacing = 8;

TPBNumEdit* parameterEdit(const QString& name, QWidget* parent) {
    return numEdit(name, parent, {.decimals = 2, .value = 1.0, .width = 70});
}

// A parameter panel: page 0 shows the Lambertian power, page 1 the ellipse ratio, page 2 none.
QStackedWidget* notebook(const QString& name, TPBNumEdit* lambertian, TPBNumEdit* ellipse,
                         QWidget* parent) {
    auto* stack = named<QStackedWidget>(parent, name);
    stack->addWidget(captionedRow(QStringLiteral("Lambertian power n = "), lambertian, stack, 16));
    stack->addWidget(
        captionedRow(QStringLiteral("Ellipsis radius ratio b:a = "), ellipse, stack, 16));
    stack->addWidget(new QWidget(stack));
    stack->setFixedHeight(28);
    return stack;
}

// The selected item for a stored 1-based choice ("0" or no number: none).
int itemForChoice(const std::string& choice) {
    try {
        return std::stoi(choice) - 1;
    } catch (const std::exception&) {
        return -1;
    }
}

} // namespace

TADFForm::TADFForm(PageHost& host, QWidget* parent) : TPageForm(host, Page::Adf, parent) {
    setObjectName(QStringLiteral("ADFForm"));
    auto* page = layoutOn<QVBoxLayout>(this, {20, 12, 20, 12}, 8);
    page->addLayout(buildAnglesRow());
    page->addLayout(buildFunctionColumns());
    page->addWidget(buildAdvancedPanel());
    page->addStretch(1);
    connectHandlers();
    bindComboLists();
    FormCreate();
}

QLayout* TADFForm::buildAnglesRow() {
    auto* angles = new QHBoxLayout;
    angles->addWidget(new QLabel(QStringLiteral("No. of equivalent angles per 90 degrees:"), this));
    pbNoAngles = numEdit(QStringLiteral("pbNoAngles"), this);
    angles->addWidget(pbNoAngles);
    angles->addStretch(1);
    return angles;
}

QLayout* TADFForm::buildFunctionColumns() {
    auto* main = new QGridLayout;
    main->setHorizontalSpacing(24);
    const char* headings[] = {"Select ADF1 - for perpendicular incidence of coherent specular beam",
                              "Select ADF2 - for incidence of incoherent scattered beam"};
    for (int i = 0; i < 2; ++i) {
        QLabel* heading = boldLabel(QString::fromLatin1(headings[i]), this);
        heading->setWordWrap(true);
        main->addWidget(heading, 0, i);
    }
    adf1 = buildColumn(1, false, this, main, 1);
    adf2 = buildColumn(2, false, this, main, 1);
    return main;
}

QWidget* TADFForm::buildAdvancedPanel() {
    AdvPanel = named<QWidget>(this, QStringLiteral("AdvPanel"));
    auto* adv = layoutOn<QVBoxLayout>(AdvPanel, {0, 8, 0, 0});
    cbOtherADF = checkBox(QStringLiteral("Use other ADFs for specified interface groups"),
                          QStringLiteral("cbOtherADF"), AdvPanel);
    addSwitchedPanel(adv, cbOtherADF, buildGroupPanel());
    return AdvPanel;
}

QWidget* TADFForm::buildGroupPanel() {
    pUseOtherADF = named<QWidget>(AdvPanel, QStringLiteral("pUseOtherADF"));
    auto* groups = layoutOn<QGridLayout>(pUseOtherADF, {24, 0, 0, 0});
    groups->setHorizontalSpacing(24);
    groups->addLayout(buildGroupRow(), 0, 0, 1, 2);
    groups->addLayout(buildInterfacesRow(), 1, 0, 1, 2);
    adf1_adv = buildColumn(1, true, pUseOtherADF, groups, 2);
    adf2_adv = buildColumn(2, true, pUseOtherADF, groups, 2);
    return pUseOtherADF;
}

QLayout* TADFForm::buildGroupRow() {
    auto* groupRow = new QHBoxLayout;
    groupRow->setSpacing(kRowSpacing);
    auto* LbStaticText5 = new QLabel(QStringLiteral("ADF interface group:"), pUseOtherADF);
    LbStaticText5->setObjectName(QStringLiteral("LbStaticText5"));
    groupRow->addWidget(LbStaticText5);
    ADFGroupSpin = named<TPBSpinEdit>(pUseOtherADF, QStringLiteral("ADFGroupSpin"));
    ADFGroupSpin->setRange(1, 1);
    ADFGroupSpin->setIncrement(0);
    ADFGroupSpin->setFixedWidth(60);
    groupRow->addWidget(ADFGroupSpin);
    // ADD and REMOVE look as the Structure page's do.
    btAddADFGroup =
        commandButton(QStringLiteral("ADD"), QStringLiteral("btAddADFGroup"), pUseOtherADF);
    btAddADFGroup->setToolTip(QStringLiteral("Add new ADF group at the end"));
    btRemoveADFGroup =
        commandButton(QStringLiteral("REMOVE"), QStringLiteral("btRemoveADFGroup"), pUseOtherADF);
    btRemoveADFGroup->setToolTip(QStringLiteral("Remove selected ADF group"));
    groupRow->addWidget(btAddADFGroup);
    groupRow->addWidget(btRemoveADFGroup);
    groupRow->addStretch(1);
    return groupRow;
}

QLayout* TADFForm::buildInterfacesRow() {
    auto* interfacesRow = new QHBoxLayout;
    interfacesRow->setSpacing(kRowSpacing);
    interfacesRow->addWidget(
        new QLabel(QStringLiteral("Apply to selected interfaces"), pUseOtherADF));
    eADFSpecInterface = named<QLineEdit>(pUseOtherADF, QStringLiteral("eADFSpecInterface"));
    eADFSpecInterface->setFixedWidth(160);
    interfacesRow->addWidget(eADFSpecInterface);
    interfacesRow->addWidget(
        new QLabel(QStringLiteral("(e.g. 0,1,4,... ; 0 = front interface)"), pUseOtherADF));
    interfacesRow->addStretch(1);
    return interfacesRow;
}

void TADFForm::connectHandlers() {
    onChecked(adf1.internal, this, [this] { IntExtADF1Click(); });
    onChecked(adf1.external, this, [this] { IntExtADF1Click(); });
    onChecked(adf2.internal, this, [this] { IntExtADF2Click(); });
    onChecked(adf2.external, this, [this] { IntExtADF2Click(); });
    for (QRadioButton* b : {adf1_adv.internal, adf1_adv.external})
        onChecked(b, this, [this, b] { IntExtADF1Click_adv(b); });
    for (QRadioButton* b : {adf2_adv.internal, adf2_adv.external})
        onChecked(b, this, [this, b] { IntExtADF2Click_adv(b); });
    for (AdfColumn* column : {&adf1, &adf2, &adf1_adv, &adf2_adv}) {
        connect(column->r, &QComboBox::currentIndexChanged, this,
                [this, column] { adfBoxChange(*column, true); });
        connect(column->t, &QComboBox::currentIndexChanged, this,
                [this, column] { adfBoxChange(*column, false); });
    }
    // Leaving a group control stores what it edits in the selected group.
    for (QWidget* w : std::initializer_list<QWidget*>{eADFSpecInterface, adf1_adv.r, adf1_adv.t,
                                                      adf2_adv.r, adf2_adv.t})
        w->installEventFilter(this);
    for (const AdfColumn* column : {&adf1_adv, &adf2_adv})
        for (TPBNumEdit* edit : {column->lambR, column->lambT, column->ellipsR, column->ellipsT})
            connect(edit, &TPBNumEdit::exited, this, [this, edit] { GroupDataChange(edit); });
    connect(cbOtherADF, &QCheckBox::toggled, this, &TADFForm::cbOtherADFClick);
    connect(ADFGroupSpin, &QSpinBox::valueChanged, this, &TADFForm::ADFGroupSpinChange);
    connect(btAddADFGroup, &QPushButton::clicked, this, &TADFForm::btAddADFGroupClick);
    connect(btRemoveADFGroup, &QPushButton::clicked, this, &TADFForm::btRemoveADFGroupClick);
    parkFocusOnClick(AdvPanel);
    parkFocusOnClick(pUseOtherADF);
}

void TADFForm::bindComboLists() {
    ComboLists& lists = m_host.comboLists();
    for (const AdfColumn* column : {&adf1, &adf2, &adf1_adv, &adf2_adv})
        lists.addBinding(
            {[column] {
                 return QList<QComboBox*>{column->r, column->t};
             },
             [this, column] { return listingFile(column->adf, column->internal->isChecked()); },
             {}});
}

AdfColumn TADFForm::buildColumn(int adf, bool groupControls, QWidget* parent, QGridLayout* grid,
                                int row) {
    const QString n = QString::number(adf);
    const QString suffix = groupControls ? QStringLiteral("_adv") : QString();
    // Notebook numbers: ADF1R, ADF1T, ADF2R, ADF2T are 1, 3, 2, 4, and 5, 7, 6, 8 for groups.
    const int base = (groupControls ? 4 : 0) + adf;
    AdfColumn c;
    c.adf = adf;
    auto* box = new QWidget(parent);
    auto* layout = layoutOn<QVBoxLayout>(box, {0, 0, 0, 0}, 3);
    c.internal =
        radio(QStringLiteral("Use internally defined ADF") + n, "rbInternalADF" + n + suffix, box);
    c.external =
        radio(QStringLiteral("Use externally defined ADF") + n, "rbExternalADF" + n + suffix, box);
    exclusiveGroup(box, {c.internal, c.external});
    layout->addWidget(c.internal);
    layout->addWidget(c.external);
    c.r = comboBox("cbADF" + n + "R" + suffix, box, true, 300);
    c.t = comboBox("cbADF" + n + "T" + suffix, box, true, 300);
    c.lambR = parameterEdit("pbLambADF" + n + "R" + suffix, box);
    c.ellipsR = parameterEdit("pbEllipsADF" + n + "R" + suffix, box);
    c.lambT = parameterEdit("pbLambADF" + n + "T" + suffix, box);
    c.ellipsT = parameterEdit("pbEllipsADF" + n + "T" + suffix, box);
    c.notebookR = notebook("Notebook" + QString::number(base), c.lambR, c.ellipsR, box);
    c.notebookT = notebook("Notebook" + QString::number(base + 2), c.lambT, c.ellipsT, box);
    layout->addWidget(new QLabel("for reflected light (ADF" + n + "R)", box));
    layout->addWidget(c.r);
    layout->addWidget(c.notebookR);
    layout->addWidget(new QLabel("for transmitted light (ADF" + n + "T)", box));
    layout->addWidget(c.t);
    layout->addWidget(c.notebookT);
    grid->addWidget(box, row, adf - 1);
    return c;
}

QString TADFForm::listingFile(int adf, bool internal) const {
    const FolderSettings& f = m_host.folders();
    const std::string name = "ADF" + std::to_string(adf) + (internal ? ".dat" : "ext.dat");
    return QString::fromStdString(joinPath(internal ? f.WorkDir : f.ListDir, name));
}

int TADFForm::selectedGroup() const {
    return ADFGroupSpin->value();
}

void TADFForm::FormCreate() {
    pbNoAngles->setValue(45);
    eADFSpecInterface->clear();
    for (const AdfColumn* column : {&adf1, &adf2, &adf1_adv, &adf2_adv})
        column->internal->setChecked(true);
    cbOtherADF->setChecked(false);
    ComboLists& lists = m_host.comboLists();
    lists.LoadComboLists({adf1.r, adf1.t, adf1_adv.r, adf1_adv.t}, listingFile(1, true));
    lists.LoadComboLists({adf2.r, adf2.t, adf2_adv.r, adf2_adv.t}, listingFile(2, true));
    for (const AdfColumn* column : {&adf1, &adf2, &adf1_adv, &adf2_adv}) {
        selectFirstItem(column->r);
        selectFirstItem(column->t);
        column->notebookR->setCurrentIndex(kPageNone);
        column->notebookT->setCurrentIndex(kPageNone);
    }
    resetGroups();
    cbOtherADF->setChecked(true);
    cbOtherADFClick();
}

void TADFForm::FormShow() {
    AdvPanel->setVisible(advanced());
    ADFGroupSpinChange();
}

void TADFForm::loadColumn(const AdfColumn& column, bool internal) {
    m_host.comboLists().LoadComboLists({column.r, column.t}, listingFile(column.adf, internal));
    selectFirstItem(column.r);
    selectFirstItem(column.t);
    adfBoxChange(column, true);
    adfBoxChange(column, false);
}

void TADFForm::IntExtADF1Click() {
    loadColumn(adf1, adf1.internal->isChecked());
}

void TADFForm::IntExtADF2Click() {
    loadColumn(adf2, adf2.internal->isChecked());
}

void TADFForm::adfBoxChange(const AdfColumn& column, bool reflected) {
    const TComboBox* box = reflected ? column.r : column.t;
    QStackedWidget* panel = reflected ? column.notebookR : column.notebookT;
    panel->setCurrentIndex(
        adfParameterPage(column.adf, column.external->isChecked(), box->currentIndex()));
}

void TADFForm::cbOtherADFClick() {
    pUseOtherADF->setVisible(cbOtherADF->isChecked());
}

AdfSet& TADFForm::groupSet(const AdfColumn& column) {
    AdfGroup& group = m_groups.group(selectedGroup());
    return column.adf == 1 ? group.adf1 : group.adf2;
}

void TADFForm::storeGroupChoice(const AdfColumn& column, bool reflected) {
    AdfSet& set = groupSet(column);
    const TComboBox* box = reflected ? column.r : column.t;
    if (!column.external->isChecked())
        (reflected ? set.rChoice : set.tChoice) = std::to_string(box->currentIndex() + 1);
    else
        (reflected ? set.rFile : set.tFile) = box->currentText().toStdString();
    if (reflected) {
        set.parameters[AdfSet::LambertianR] = static_cast<double>(column.lambR->Value());
        set.parameters[AdfSet::EllipseR] = static_cast<double>(column.ellipsR->Value());
    } else {
        set.parameters[AdfSet::LambertianT] = static_cast<double>(column.lambT->Value());
        set.parameters[AdfSet::EllipseT] = static_cast<double>(column.ellipsT->Value());
    }
}

void TADFForm::GroupDataChange(QObject* Sender) {
    if (m_showingGroup)
        return; // the controls are being filled from the table, not edited
    if (Sender == eADFSpecInterface) {
        m_groups.group(selectedGroup()).interfaces = eADFSpecInterface->text().toStdString();
        return;
    }
    for (const AdfColumn* column : {&adf1_adv, &adf2_adv}) {
        if (Sender == column->internal || Sender == column->external) {
            groupSet(*column).external = column->external->isChecked();
            return;
        }
        if (Sender == column->r || Sender == column->lambR || Sender == column->ellipsR)
            return storeGroupChoice(*column, true);
        if (Sender == column->t || Sender == column->lambT || Sender == column->ellipsT)
            return storeGroupChoice(*column, false);
    }
}

void TADFForm::showGroupSet(const AdfColumn& column, const AdfSet& set) {
    if (set.external) {
        column.external->setChecked(true);
        showComboText(column.r, QString::fromStdString(set.rFile));
        showComboText(column.t, QString::fromStdString(set.tFile));
    } else {
        column.internal->setChecked(true);
        column.r->setCurrentIndex(itemForChoice(set.rChoice));
        column.t->setCurrentIndex(itemForChoice(set.tChoice));
    }
    column.lambR->setValue(set.parameters[AdfSet::LambertianR]);
    column.ellipsR->setValue(set.parameters[AdfSet::EllipseR]);
    column.lambT->setValue(set.parameters[AdfSet::LambertianT]);
    column.ellipsT->setValue(set.parameters[AdfSet::EllipseT]);
}

void TADFForm::ADFGroupSpinChange() {
    const QScopedValueRollback<bool> showing(m_showingGroup, true);
    const AdfGroup group = m_groups.group(selectedGroup());
    eADFSpecInterface->setText(QString::fromStdString(group.interfaces));
    showGroupSet(adf1_adv, group.adf1);
    showGroupSet(adf2_adv, group.adf2);
    for (const AdfColumn* column : {&adf1_adv, &adf2_adv}) {
        adfBoxChange(*column, true);
        adfBoxChange(*column, false);
    }
}

void TADFForm::switchGroupSource(const AdfColumn& column) {
    const AdfSet& set = groupSet(column);
    const bool internal = column.internal->isChecked();
    m_host.comboLists().LoadComboLists({column.r, column.t}, listingFile(column.adf, internal));
    adfBoxChange(column, true);
    adfBoxChange(column, false);
    if (internal) {
        column.r->setCurrentIndex(itemForChoice(set.rChoice));
        column.t->setCurrentIndex(itemForChoice(set.tChoice));
        for (TComboBox* box : {column.r, column.t})
            if (box->currentIndex() < 0)
                box->setCurrentIndex(0);
    } else {
        showComboText(column.t, QString::fromStdString(set.tFile));
        showComboText(column.r, QString::fromStdString(set.rFile));
    }
}

void TADFForm::IntExtADF1Click_adv(QObject* Sender) {
    switchGroupSource(adf1_adv);
    GroupDataChange(Sender);
}

void TADFForm::IntExtADF2Click_adv(QObject* Sender) {
    switchGroupSource(adf2_adv);
    GroupDataChange(Sender);
    GroupDataChange(adf2_adv.r);
    GroupDataChange(adf2_adv.t);
}

void TADFForm::setGroupCount(int count) {
    const QSignalBlocker blocker(ADFGroupSpin);
    ADFGroupSpin->setMaximum(count);
    ADFGroupSpin->setIncrement(count > 1 ? 1 : 0);
}

void TADFForm::btAddADFGroupClick() {
    ADFGroupSpin->setFocus(Qt::OtherFocusReason); // a pending edit is stored on leaving
    const int count = m_groups.add();
    setGroupCount(count);
    ADFGroupSpin->setValue(count);
}

void TADFForm::btRemoveADFGroupClick() {
    if (m_groups.count() <= 1)
        return;
    const int selected = m_groups.remove(selectedGroup());
    setGroupCount(m_groups.count());
    {
        const QSignalBlocker blocker(ADFGroupSpin);
        ADFGroupSpin->setValue(selected);
    }
    ADFGroupSpinChange();
}

void TADFForm::resetGroups() {
    m_groups.reset();
    {
        const QSignalBlocker blocker(ADFGroupSpin);
        ADFGroupSpin->setValue(1);
    }
    setGroupCount(1);
}

void TADFForm::fillProject(Project& project) const {
    AdfSettings& a = project.adf;
    a.pbNoAngles = pbNoAngles->text().toStdString();
    const auto fill = [](const AdfColumn& c, AdfFunction& f) {
        f.external = c.external->isChecked();
        f.t = {c.t->currentIndex(), c.t->currentText().toStdString()};
        f.r = {c.r->currentIndex(), c.r->currentText().toStdString()};
        f.lambertianT = c.lambT->text().toStdString();
        f.lambertianR = c.lambR->text().toStdString();
        f.ellipseT = c.ellipsT->text().toStdString();
        f.ellipseR = c.ellipsR->text().toStdString();
    };
    fill(adf1, a.adf1);
    fill(adf2, a.adf2);
    a.cbOtherADF = cbOtherADF->isChecked();
    a.groups = m_groups;
    const auto items = [](const TComboBox* box) {
        std::vector<std::string> out;
        for (int i = 0; i < box->count(); ++i)
            out.push_back(box->itemText(i).toStdString());
        return out;
    };
    a.adf1List = items(adf1.r);
    a.adf2List = items(adf2.r);
}

bool TADFForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            GroupDataChange(watched);
    }
    return TPageForm::eventFilter(watched, event);
}

void TADFForm::takeLoaded(const LoadedProject& loaded) {
    const AdfSettings& a = loaded.values.adf;
    resetGroups();
    pbNoAngles->setText(QString::fromStdString(a.pbNoAngles));
    const auto take = [](const AdfColumn& column, const AdfFunction& f) {
        (f.external ? column.external : column.internal)->setChecked(true);
        for (const auto& [box, choice] : {std::pair{column.t, &f.t}, std::pair{column.r, &f.r}}) {
            if (f.external)
                showComboText(box, QString::fromStdString(choice->text));
            else
                box->setCurrentIndex(choice->selected < box->count() ? choice->selected : -1);
        }
        column.lambT->setText(QString::fromStdString(f.lambertianT));
        column.lambR->setText(QString::fromStdString(f.lambertianR));
        column.ellipsT->setText(QString::fromStdString(f.ellipseT));
        column.ellipsR->setText(QString::fromStdString(f.ellipseR));
    };
    take(adf1, a.adf1);
    take(adf2, a.adf2);
    m_groups = a.groups;
    setGroupCount(m_groups.count());
    cbOtherADF->setChecked(a.cbOtherADF);
    for (const AdfColumn* column : {&adf1, &adf2, &adf1_adv, &adf2_adv}) {
        adfBoxChange(*column, true);
        adfBoxChange(*column, false);
    }
    ADFGroupSpinChange();
}

} // namespace lumetrix
