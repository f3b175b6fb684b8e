#include "tools/optform.h"

#include "controls/kernelprogram.h"
#include "controls/pbnumedit.h"
#include "controls/userdialogs.h"
#include "controls/widget_factory.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>

namespace lumetrix {
namespace {

using kernel::OptimisedParameter;
using kernel::OptimiseSettings;

const QColor kEditColor(Qt::white);

QFrame* box(QWidget* parent, const QString& name = {}) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    return frame;
}

QLabel* label(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLabel* heading(const QString& text, QWidget* parent) {
    QLabel* l = boldLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    return l;
}

// White while enabled, the button face while disabled.
void paintEdit(QLineEdit* edit) {
    QPalette p = edit->palette();
    p.setColor(QPalette::Active, QPalette::Base, kEditColor);
    p.setColor(QPalette::Inactive, QPalette::Base, kEditColor);
    p.setColor(QPalette::Disabled, QPalette::Base, p.color(QPalette::Button));
    edit->setPalette(p);
    if (auto* num = qobject_cast<TPBNumEdit*>(edit))
        num->setDisabledColor(p.color(QPalette::Button));
}

TPBNumEdit* interval(const QString& name, QWidget* parent) {
    return numEdit(name, parent, {.decimals = -1, .value = 0, .width = 80});
}

TPBNumEdit* result(const QString& name, int decimals, QWidget* parent) {
    TPBNumEdit* edit = numEdit(name, parent, {.decimals = decimals, .value = 0, .width = 90});
    edit->setReadOnly(true);
    paintEdit(edit);
    return edit;
}

// "Specify (a)" [a]  "Specify (b)" [b]
QHBoxLayout* intervalRow(TPBNumEdit* a, TPBNumEdit* b, QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(label(QStringLiteral("Specify (a)"), parent));
    row->addWidget(a);
    row->addSpacing(12);
    row->addWidget(label(QStringLiteral("Specify (b)"), parent));
    row->addWidget(b);
    row->addStretch(1);
    return row;
}

// "Find the optimal ... of layer:" [edit] "(specify layer No.)"
QHBoxLayout* targetRow(const QString& caption, QWidget* edit, const QString& note,
                       QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(label(caption, parent));
    row->addWidget(edit);
    row->addWidget(label(note, parent));
    row->addStretch(1);
    return row;
}

// Whole numbers of at least `least`, separated by spaces, commas or semicolons; none when
// the text holds anything else or nothing.
std::optional<std::vector<int>> numberList(const QString& text, int least) {
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    const QStringList words = text.split(separators, Qt::SkipEmptyParts);
    if (words.isEmpty())
        return std::nullopt;
    std::vector<int> numbers;
    for (const QString& word : words) {
        bool ok = false;
        const int n = word.toInt(&ok);
        if (!ok || n < least || n > 100000)
            return std::nullopt;
        numbers.push_back(n);
    }
    return numbers;
}

// A layer number of an edit: a whole number from 1 up.
std::optional<int> layerOf(const TPBNumEdit* edit) {
    const long double v = edit->Value();
    if (v < 1 || v > 100000 || v != std::floor(v))
        return std::nullopt;
    return static_cast<int>(v);
}

// The interval of a parameter from its edits: "absolute" as it stands, relative ones as
// -(a) .. +(b).
OptimisedParameter withInterval(OptimisedParameter p, OptimisedParameter::Interval kind,
                                const TPBNumEdit* a, const TPBNumEdit* b) {
    p.interval = kind;
    const double av = static_cast<double>(a->Value()), bv = static_cast<double>(b->Value());
    p.from = kind == OptimisedParameter::Interval::Absolute ? av : -av;
    p.to = bv;
    return p;
}

} // namespace

TLXOpt_Form::TLXOpt_Form(UserDialogs& dialogs)
    : TToolWindow(QStringLiteral("LXOpt - optical optimisation tool (add-on for Lumetrix)"), false),
      m_dialogs(dialogs) {
    setObjectName(QStringLiteral("LXOpt_Form"));
    // A single border with the system menu and the minimise icon, always on top.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    // The designed client area is the content's; a smaller screen gets a smaller window whose
    // content scrolls.
    setMaximumSize(kDesignedSize);
    resize(kDesignedSize);
    fillBackground(this, kDialogColor);
    QFont small = font(); // the captions fit the fixed client area in this size
    small.setPointSizeF(8);
    setFont(small);
    auto* scroll = named<QScrollArea>(this, QStringLiteral("OptScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    m_content = new QWidget;
    m_content->setMinimumSize(kDesignedSize);
    fillBackground(m_content, kDialogColor);
    scroll->setWidget(m_content);
    layoutOn<QVBoxLayout>(this, {0, 0, 0, 0}, 0)->addWidget(scroll);
    buildWindow();
    m_run = new KernelRun(this);
    connect(m_run, &KernelRun::reportLine, this, &TLXOpt_Form::takeKernelLine);
    connect(m_run, &KernelRun::ended, this, &TLXOpt_Form::runEnded);
    for (const Parameter* parameter : {&m_thickness, &m_roughness, &m_refractive, &m_extinction})
        parameterClick(*parameter);
}

TLXOpt_Form::~TLXOpt_Form() = default; // a run still going is killed with its driver

void TLXOpt_Form::buildWindow() {
    auto* page = layoutOn<QVBoxLayout>(m_content, {10, 4, 10, 6}, 4);
    QLabel* title = heading(QStringLiteral("OPTIMISATION OF Jsc<photo>"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    title->setFont(big);
    page->addWidget(title, 0, Qt::AlignHCenter);

    auto* top = new QHBoxLayout;
    auto* target = new QVBoxLayout;
    target->addWidget(label(QStringLiteral("Optimise the Jsc<photo> of selected layer(s):"), this));
    eOpt_layers = named<QLineEdit>(this, QStringLiteral("eOpt_layers"));
    eOpt_layers->setFixedWidth(160);
    eOpt_layers->setToolTip(QStringLiteral("Layer numbers separated by spaces"));
    paintEdit(eOpt_layers);
    target->addWidget(eOpt_layers);
    target->addWidget(label(QStringLiteral("(specify layer No; 0 corresponds to R)"), this));
    target->addStretch(1);
    top->addLayout(target);
    top->addWidget(buildCriteria(), 1);
    page->addLayout(top);

    page->addWidget(heading(QStringLiteral("OPTIMISATION PARAMETERS"), this));
    auto* parameters = new QGridLayout;
    parameters->setSpacing(6);
    parameters->addWidget(buildThickness(), 0, 0);
    parameters->addWidget(buildRoughness(), 0, 1);
    parameters->addWidget(buildRefractive(), 1, 0);
    parameters->addWidget(buildExtinction(), 1, 1);
    parameters->setColumnStretch(0, 4);
    parameters->setColumnStretch(1, 5);
    page->addLayout(parameters, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(buildMethods(), 1);
    QWidget* results = buildResults();
    results->setFixedWidth(270);
    bottom->addWidget(results);
    page->addLayout(bottom);
}

QWidget* TLXOpt_Form::buildCriteria() {
    Panel1 = box(this, QStringLiteral("Panel1"));
    auto* column = layoutOn<QVBoxLayout>(Panel1, {4, 2, 4, 2}, 0);
    column->addWidget(label(QStringLiteral("Optimisation criteria:"), Panel1));
    rbMin_Jsc = radio(QStringLiteral("Find minimal Jsc<photo> of the selected layer(s)"),
                      QStringLiteral("rbMin_Jsc"), Panel1);
    rbMax_Jsc = radio(QStringLiteral("Find maximal Jsc<photo> of the selected layer(s)"),
                      QStringLiteral("rbMax_Jsc"), Panel1);
    rbMin_diff_Jsc =
        radio(QStringLiteral("Find minimal difference in Jsc<photo> between two specified layers"),
              QStringLiteral("rbMin_diff_Jsc"), Panel1);
    exclusiveGroup(Panel1, {rbMin_Jsc, rbMax_Jsc, rbMin_diff_Jsc});
    rbMax_Jsc->setChecked(true);
    for (QRadioButton* rb : {rbMin_Jsc, rbMax_Jsc, rbMin_diff_Jsc})
        column->addWidget(rb);
    return Panel1;
}

QVBoxLayout* TLXOpt_Form::parameterFrame(const QString& caption, const QString& name,
                                         QFrame*& frame, QCheckBox*& check, QWidget*& panel) {
    // A parameter's switch, in bold, above the indented panel that it enables.
    frame = box(this);
    auto* column = layoutOn<QVBoxLayout>(frame, {4, 2, 4, 2}, 0);
    check = checkBox(caption, "cb" + name, frame);
    QFont bold = check->font();
    bold.setBold(true);
    check->setFont(bold);
    panel = named<QWidget>(frame, name + "Panel");
    column->addWidget(check);
    column->addWidget(panel);
    column->addStretch(1);
    return layoutOn<QVBoxLayout>(panel, {10, 0, 0, 0}, 0);
}

void TLXOpt_Form::addIntervals(QVBoxLayout* inner, QWidget* panel, const QString& prefix,
                               TPBNumEdit*& a, TPBNumEdit*& b) {
    a = interval(prefix + "_a", panel);
    b = interval(prefix + "_b", panel);
    inner->addLayout(intervalRow(a, b, panel));
}

QWidget* TLXOpt_Form::buildThickness() {
    QFrame* frame = nullptr;
    QWidget* panel = nullptr;
    QVBoxLayout* inner = parameterFrame(QStringLiteral("THICKNESS of selected layer"),
                                        QStringLiteral("Thickness"), frame, cbThickness, panel);
    eThickness =
        numEdit(QStringLiteral("eThickness"), panel, {.decimals = 0, .value = 1, .width = 50});
    paintEdit(eThickness);
    inner->addLayout(targetRow(QStringLiteral("Find the optimal thickness of layer:"), eThickness,
                               QStringLiteral("(specify layer No.)"), panel));
    inner->addWidget(label(QStringLiteral("Select the interval of thickness variation:"), panel));
    rbThickness1 = radio(QStringLiteral("absolute: from (a) nm to (b) nm"),
                         QStringLiteral("rbThickness1"), panel);
    rbThickness2 = radio(QStringLiteral("relative to initial thickness: from -(a) nm to +(b) nm"),
                         QStringLiteral("rbThickness2"), panel);
    rbThickness3 = radio(QStringLiteral("relative to initial thickness: from -(a) % to +(b) %"),
                         QStringLiteral("rbThickness3"), panel);
    exclusiveGroup(panel, {rbThickness1, rbThickness2, rbThickness3});
    rbThickness1->setChecked(true);
    for (QRadioButton* rb : {rbThickness1, rbThickness2, rbThickness3})
        inner->addWidget(rb);
    addIntervals(inner, panel, QStringLiteral("pbThickness"), pbThickness_a, pbThickness_b);
    connect(cbThickness, &QCheckBox::clicked, this, &TLXOpt_Form::cbThicknessClick);
    m_thickness = {cbThickness, panel, eThickness, nullptr};
    return frame;
}

QWidget* TLXOpt_Form::buildRoughness() {
    QFrame* frame = nullptr;
    QWidget* panel = nullptr;
    QVBoxLayout* inner = parameterFrame(QStringLiteral("ROUGHNESS of selected interface(s)"),
                                        QStringLiteral("Roughness"), frame, cbRoughness, panel);
    eRoughness = named<QLineEdit>(panel, QStringLiteral("eRoughness"));
    eRoughness->setFixedWidth(60);
    eRoughness->setToolTip(QStringLiteral("Interface numbers separated by spaces; interface 1 "
                                          "lies above layer 1"));
    paintEdit(eRoughness);
    inner->addLayout(
        targetRow(QStringLiteral("Find the optimal roughness of selected interface(s):"),
                  eRoughness, QStringLiteral("(specify interface No.)"), panel));
    inner->addWidget(label(QStringLiteral("Select the interval of roughness variation:"), panel));
    rbRoughness1 = radio(QStringLiteral("absolute: from (a) nm to (b) nm "),
                         QStringLiteral("rbRoughness1"), panel);
    rbRoughness2 = radio(QStringLiteral("relative to initial rougnesses: from -(a) nm to +(b) nm"),
                         QStringLiteral("rbRoughness2"), panel);
    rbRoughness3 = radio(QStringLiteral("relative to initial roughnesses: from -(a) % to +(b) %"),
                         QStringLiteral("rbRoughness3"), panel);
    exclusiveGroup(panel, {rbRoughness1, rbRoughness2, rbRoughness3});
    rbRoughness1->setChecked(true);
    for (QRadioButton* rb : {rbRoughness1, rbRoughness2, rbRoughness3})
        inner->addWidget(rb);
    addIntervals(inner, panel, QStringLiteral("pbRoughness"), pbRoughness_a, pbRoughness_b);
    connect(cbRoughness, &QCheckBox::clicked, this, &TLXOpt_Form::cbRoughnessClick);
    m_roughness = {cbRoughness, panel, eRoughness, nullptr};
    return frame;
}

QWidget* TLXOpt_Form::buildRefractive() {
    QFrame* frame = nullptr;
    QWidget* panel = nullptr;
    QVBoxLayout* inner = parameterFrame(QStringLiteral("REFRACTIVE INDEX (n) of selected layer"),
                                        QStringLiteral("Refractive"), frame, cbRefractive, panel);
    eRefractive =
        numEdit(QStringLiteral("eRefractive"), panel, {.decimals = 0, .value = 0, .width = 50});
    paintEdit(eRefractive);
    inner->addLayout(targetRow(QStringLiteral("Find the optimal refractive index of layer:"),
                               eRefractive, QStringLiteral("(specify layer No.)"), panel));
    inner->addWidget(
        label(QStringLiteral("Select the interval of extinction coefficient variation:"), panel));
    rbRefractive1 = radio(QStringLiteral("relative to initial refractive index:"),
                          QStringLiteral("rbRefractive1"), panel);
    rbRefractive1->setChecked(true);
    inner->addWidget(rbRefractive1);
    QLabel* range = label(QStringLiteral("from -(a) % to +(b) % for all wavelengths"), panel);
    range->setContentsMargins(20, 0, 0, 0);
    inner->addWidget(range);
    addIntervals(inner, panel, QStringLiteral("pbRefractive"), pbRefractive_a, pbRefractive_b);
    connect(cbRefractive, &QCheckBox::clicked, this, &TLXOpt_Form::cbRefractiveClick);
    m_refractive = {cbRefractive, panel, eRefractive, nullptr};
    return frame;
}

QWidget* TLXOpt_Form::buildExtinction() {
    QFrame* frame = nullptr;
    QWidget* panel = nullptr;
    QVBoxLayout* inner =
        parameterFrame(QStringLiteral("EXTINCTION COEFICIENT (k) of selected layer"),
                       QStringLiteral("Extinction"), frame, cbExtinction, panel);
    eExtinction =
        numEdit(QStringLiteral("eExtinction"), panel, {.decimals = 0, .value = 0, .width = 50});
    paintEdit(eExtinction);
    inner->addLayout(targetRow(QStringLiteral("Find the optimal extinction coefficient of layer:"),
                               eExtinction, QStringLiteral("(specify layer No.)"), panel));
    inner->addWidget(
        label(QStringLiteral("Select the interval of extinction coefficient variation:"), panel));
    rbExtinction1 = radio(QStringLiteral("relative to initial extinction coeficient:"),
                          QStringLiteral("rbExtinction1"), panel);
    QLabel* range = label(QStringLiteral("from -(a) % to +(b) % for all wavelengths"), panel);
    range->setContentsMargins(20, 0, 0, 0);
    rbExtinction2 =
        radio(QStringLiteral("relative to initial optical band gap: from -(a) % to +(b) %"),
              QStringLiteral("rbExtinction2"), panel);
    rbExtinction3 =
        radio(QStringLiteral("relative to initial optical band gap: from -(a) eV to +(b) eV"),
              QStringLiteral("rbExtinction3"), panel);
    exclusiveGroup(panel, {rbExtinction1, rbExtinction2, rbExtinction3});
    rbExtinction1->setChecked(true);
    inner->addWidget(rbExtinction1);
    inner->addWidget(range);
    inner->addWidget(rbExtinction2);
    inner->addWidget(rbExtinction3);
    addIntervals(inner, panel, QStringLiteral("pbExtinction"), pbExtinction_a, pbExtinction_b);
    connect(cbExtinction, &QCheckBox::clicked, this, &TLXOpt_Form::cbExtinctionClick);
    m_extinction = {cbExtinction, panel, eExtinction, nullptr};
    return frame;
}

QWidget* TLXOpt_Form::buildMethods() {
    QFrame* frame = box(this);
    auto* column = layoutOn<QVBoxLayout>(frame, {4, 2, 4, 2}, 0);
    column->addWidget(heading(QStringLiteral("NUMERICAL METHODS"), frame));
    column->addWidget(label(QStringLiteral("Specify the method"), frame));
    rbMethod1 = radio(QStringLiteral("Simulated annealing with high probability (slower method, "
                                     "high probability of finding a global extreme)"),
                      QStringLiteral("rbMethod1"), frame);
    rbMethod2 = radio(QStringLiteral("Simulated annealing with normal probability"),
                      QStringLiteral("rbMethod2"), frame);
    rbMethod3 = radio(QStringLiteral("Simulated annealing with low probability (faster method, "
                                     "high probability of finding a local extreme)"),
                      QStringLiteral("rbMethod3"), frame);
    rbMethod4 = radio(QStringLiteral("Simplex (finds local extreme) - RECOMMENDED"),
                      QStringLiteral("rbMethod4"), frame);
    rbMethod5 = radio(QStringLiteral("Constant steps     Specify the number of steps:"),
                      QStringLiteral("rbMethod5"), frame);
    exclusiveGroup(frame, {rbMethod1, rbMethod2, rbMethod3, rbMethod4, rbMethod5});
    rbMethod4->setChecked(true);
    for (QRadioButton* rb : {rbMethod1, rbMethod2, rbMethod3, rbMethod4})
        column->addWidget(rb);
    pbSteps = numEdit(QStringLiteral("pbSteps"), frame, {.decimals = -1, .value = 10, .width = 60});
    auto* steps = new QHBoxLayout;
    steps->setSpacing(4);
    steps->addWidget(rbMethod5);
    steps->addWidget(pbSteps);
    steps->addStretch(1);
    column->addLayout(steps);

    column->addSpacing(6);
    auto* stop = new QHBoxLayout;
    stop->setSpacing(3);
    stop->addWidget(label(QStringLiteral("Stop the optimisation if the"), frame));
    QLabel* delta = label(QStringLiteral("D"), frame);
    delta->setObjectName(QStringLiteral("lbDelta"));
    // The letter D of a symbol font reads as a capital delta; the delta itself shows the same
    // where no such font is installed.
    delta->setText(QString(QChar(0x0394)));
    stop->addWidget(delta);
    stop->addWidget(
        label(QStringLiteral("Jsc<photo> of the last two iterations is smaller than"), frame));
    pbPrecision =
        numEdit(QStringLiteral("pbPrecision"), frame, {.decimals = -1, .value = 0.1L, .width = 50});
    stop->addWidget(pbPrecision);
    stop->addWidget(label(QStringLiteral("%"), frame));
    stop->addStretch(1);
    column->addLayout(stop);

    column->addSpacing(6);
    column->addWidget(heading(QStringLiteral("OUTPUT FILES"), frame));
    column->addWidget(label(QStringLiteral("Specify the intermediate output files"), frame));
    rbIO_0 = radio(QStringLiteral("Do not write intermediate results into files"),
                   QStringLiteral("rbIO_0"), frame);
    rbIO_1 = radio(QStringLiteral("Write only main RTA and Jsc_sum intermediate results"),
                   QStringLiteral("rbIO_1"), frame);
    rbIO_2 =
        radio(QStringLiteral("Write all intermediate results"), QStringLiteral("rbIO_2"), frame);
    exclusiveGroup(frame, {rbIO_0, rbIO_1, rbIO_2});
    int tag = 0;
    for (QRadioButton* rb : {rbIO_0, rbIO_1, rbIO_2}) {
        rb->setProperty("Tag", tag++);
        column->addWidget(rb);
    }
    rbIO_0->setChecked(true);
    column->addStretch(1);
    return frame;
}

QWidget* TLXOpt_Form::buildResults() {
    QFrame* frame = box(this);
    auto* column = layoutOn<QVBoxLayout>(frame, {8, 4, 8, 4}, 4);
    btOptimRUN =
        pushButton(QStringLiteral("RUN OPTIMISATION"), QStringLiteral("btOptimRUN"), frame);
    btOptimRUN->setMinimumHeight(36);
    connect(btOptimRUN, &QPushButton::clicked, this, &TLXOpt_Form::btOptimRUNClick);
    column->addWidget(btOptimRUN);
    pbIter_No = result(QStringLiteral("pbIter_No"), 0, frame);
    column->addWidget(captionedRow(QStringLiteral("Current iteration number"), pbIter_No, frame));
    lbRunState = label(QString(), frame);
    lbRunState->setObjectName(QStringLiteral("lbRunState"));
    column->addWidget(lbRunState);
    column->addSpacing(4);
    column->addWidget(heading(QStringLiteral("OPTIMAL RESULTS"), frame));
    auto* grid = new QGridLayout;
    eThick_result = result(QStringLiteral("eThick_result"), 2, frame);
    eRough_result = result(QStringLiteral("eRough_result"), 2, frame);
    eRough_result->setToolTip(QStringLiteral("Optimal roughness of the first specified interface"));
    eRef_result = result(QStringLiteral("eRef_result"), 3, frame);
    eExt_result = result(QStringLiteral("eExt_result"), 3, frame);
    const std::pair<const char*, TPBNumEdit*> rows[] = {{"Thickness (nm)", eThick_result},
                                                        {"Rougness (nm)", eRough_result},
                                                        {"Ref. index (FACTOR)", eRef_result},
                                                        {"Ext. coef. (FACTOR)", eExt_result}};
    int r = 0;
    for (const auto& [caption, edit] : rows) {
        grid->addWidget(label(QString::fromLatin1(caption), frame), r, 0);
        grid->addWidget(edit, r++, 1);
    }
    grid->setColumnStretch(2, 1);
    column->addLayout(grid);
    QLabel* note = label(QStringLiteral("(See also the corresponding output files in the output "
                                        "folder as defined in the Lumetrix - File console)"),
                         frame);
    note->setWordWrap(true);
    column->addWidget(note);
    column->addStretch(1);
    m_thickness.result = eThick_result;
    m_roughness.result = eRough_result;
    m_refractive.result = eRef_result;
    m_extinction.result = eExt_result;
    return frame;
}

void TLXOpt_Form::parameterClick(const Parameter& parameter) {
    const bool on = parameter.box->isChecked();
    parameter.panel->setEnabled(on);
    parameter.result->setEnabled(on);
}

void TLXOpt_Form::cbThicknessClick() {
    parameterClick(m_thickness);
}

void TLXOpt_Form::cbRoughnessClick() {
    parameterClick(m_roughness);
}

void TLXOpt_Form::cbRefractiveClick() {
    parameterClick(m_refractive);
}

void TLXOpt_Form::cbExtinctionClick() {
    parameterClick(m_extinction);
}

void TLXOpt_Form::FormResize() {
    if (windowState() & Qt::WindowMinimized)
        move(m_normalLeft, y());
    else if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        m_normalLeft = x();
}

void TLXOpt_Form::showEvent(QShowEvent* event) {
    TToolWindow::showEvent(event);
    // As much of the designed size as the screen holds, the frame included; a window less high
    // than designed is wider by the scroll bar, so that only the height scrolls.
    if (const QScreen* shown = screen()) {
        const QRect room = shown->availableGeometry();
        const QSize frame = frameGeometry().size() - size();
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const int height = std::min(kDesignedSize.height(), room.height() - frame.height());
        const int width =
            std::min(kDesignedSize.width() + (height < kDesignedSize.height() ? bar : 0),
                     room.width() - frame.width());
        setMaximumSize(kDesignedSize + QSize(bar, 0));
        resize(width, height); // the main window places it on the screen
    }
}

void TLXOpt_Form::resizeEvent(QResizeEvent* event) {
    TToolWindow::resizeEvent(event);
    FormResize();
}

void TLXOpt_Form::moveEvent(QMoveEvent* event) {
    TToolWindow::moveEvent(event);
    if (windowState() == Qt::WindowNoState)
        m_normalLeft = x();
}

void TLXOpt_Form::changeEvent(QEvent* event) {
    TToolWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        FormResize();
}

bool TLXOpt_Form::collectSettings(OptimiseSettings& s, QString& fault) const {
    s = OptimiseSettings{};
    return collectTarget(s, fault) && collectParameters(s, fault) && collectMethod(s, fault);
}

bool TLXOpt_Form::collectTarget(OptimiseSettings& s, QString& fault) const {
    s.criterion = rbMin_Jsc->isChecked()        ? OptimiseSettings::Criterion::Min
                  : rbMin_diff_Jsc->isChecked() ? OptimiseSettings::Criterion::MinDiff
                                                : OptimiseSettings::Criterion::Max;
    const auto layers = numberList(eOpt_layers->text(), 0);
    if (!layers) {
        fault = QStringLiteral("Specify the layer(s) whose Jsc<photo> is optimised: layer numbers "
                               "separated by spaces, 0 for R.");
        return false;
    }
    for (int l : *layers)
        s.layers.push_back(l == 0 ? 0 : l + 1); // layer 1 is the second row
    if (s.criterion == OptimiseSettings::Criterion::MinDiff && s.layers.size() != 2) {
        fault = QStringLiteral("The minimal difference in Jsc<photo> is taken between exactly two "
                               "layers: specify two layer numbers.");
        return false;
    }
    return true;
}

bool TLXOpt_Form::collectParameters(OptimiseSettings& s, QString& fault) const {
    using P = OptimisedParameter;
    const auto add = [&](P p, const QString& what, const TPBNumEdit* a, const TPBNumEdit* b,
                         P::Interval kind) {
        p = withInterval(p, kind, a, b);
        if (!(p.from < p.to)) {
            fault = QStringLiteral("The interval of the %1 variation is empty: choose (a) and (b) "
                                   "so that it runs from a lower to a higher value.")
                        .arg(what);
            return false;
        }
        s.parameters.push_back(p);
        return true;
    };
    const auto layerFault = [&](const QString& what) {
        fault =
            QStringLiteral("Specify the layer No. whose %1 is optimised (1 or above).").arg(what);
        return false;
    };
    if (cbThickness->isChecked()) {
        const auto layer = layerOf(eThickness);
        if (!layer)
            return layerFault(QStringLiteral("thickness"));
        const P::Interval kind = rbThickness1->isChecked()   ? P::Interval::Absolute
                                 : rbThickness2->isChecked() ? P::Interval::RelativeNm
                                                             : P::Interval::RelativePercent;
        if (!add({P::Kind::Thickness, {*layer + 1}}, QStringLiteral("thickness"), pbThickness_a,
                 pbThickness_b, kind))
            return false;
    }
    if (cbRoughness->isChecked()) {
        const auto interfaces = numberList(eRoughness->text(), 1);
        if (!interfaces) {
            fault = QStringLiteral("Specify the interface No(s). whose roughness is optimised, "
                                   "separated by spaces; interface 1 lies above layer 1.");
            return false;
        }
        P p{P::Kind::Roughness, {}};
        for (int i : *interfaces)
            p.targets.push_back(i - 1); // the kernel counts the interfaces from 0
        const P::Interval kind = rbRoughness1->isChecked()   ? P::Interval::Absolute
                                 : rbRoughness2->isChecked() ? P::Interval::RelativeNm
                                                             : P::Interval::RelativePercent;
        if (!add(p, QStringLiteral("roughness"), pbRoughness_a, pbRoughness_b, kind))
            return false;
    }
    if (cbRefractive->isChecked()) {
        const auto layer = layerOf(eRefractive);
        if (!layer)
            return layerFault(QStringLiteral("refractive index"));
        if (!add({P::Kind::N, {*layer + 1}}, QStringLiteral("refractive index"), pbRefractive_a,
                 pbRefractive_b, P::Interval::RelativePercent))
            return false;
    }
    if (cbExtinction->isChecked()) {
        const auto layer = layerOf(eExtinction);
        if (!layer)
            return layerFault(QStringLiteral("extinction coefficient"));
        const P::Interval kind = rbExtinction1->isChecked()   ? P::Interval::RelativePercent
                                 : rbExtinction2->isChecked() ? P::Interval::GapPercent
                                                              : P::Interval::GapEv;
        if (!add({P::Kind::K, {*layer + 1}}, QStringLiteral("extinction coefficient"),
                 pbExtinction_a, pbExtinction_b, kind))
            return false;
    }
    if (s.parameters.empty()) {
        fault = QStringLiteral("Switch on at least one optimisation parameter.");
        return false;
    }
    return true;
}

bool TLXOpt_Form::collectMethod(OptimiseSettings& s, QString& fault) const {
    s.method = rbMethod1->isChecked()   ? OptimiseSettings::Method::AnnealHigh
               : rbMethod2->isChecked() ? OptimiseSettings::Method::AnnealNormal
               : rbMethod3->isChecked() ? OptimiseSettings::Method::AnnealLow
               : rbMethod5->isChecked() ? OptimiseSettings::Method::Steps
                                        : OptimiseSettings::Method::Simplex;
    if (s.method == OptimiseSettings::Method::Steps) {
        const long double steps = pbSteps->Value();
        if (steps < 1 || steps > 100000 || steps != std::floor(steps)) {
            fault = QStringLiteral("The number of constant steps is a whole number from 1 to "
                                   "100000.");
            return false;
        }
        s.steps = static_cast<int>(steps);
    }
    s.stop = static_cast<double>(pbPrecision->Value());
    if (!(s.stop > 0 && s.stop <= 100)) {
        fault = QStringLiteral("The stop threshold is a percentage above 0, at most 100.");
        return false;
    }
    for (QRadioButton* rb : {rbIO_0, rbIO_1, rbIO_2})
        if (rb->isChecked())
            s.output = rb->property("Tag").toInt();
    return true;
}

void TLXOpt_Form::btOptimRUNClick() {
    if (m_run->running())
        stopRun();
    else
        startRun();
}

void TLXOpt_Form::startRun() {
    btOptimRUN->setFocus(Qt::OtherFocusReason); // a number being typed is committed
    OptimiseSettings settings;
    QString fault;
    if (!collectSettings(settings, fault)) {
        m_dialogs.error(fault);
        return;
    }
    const QString program = kernelProgramPath();
    const QFileInfo kernel(program);
    if (!kernel.isFile() || !kernel.isExecutable()) {
        m_dialogs.error(QStringLiteral("The simulation kernel \"%1\" is missing or cannot be run.")
                            .arg(program));
        return;
    }
    QString input;
    emit projectInputWanted(&input);
    if (input.isEmpty())
        return;
    const QFileInfo inputInfo(input);
    m_settingsPath = inputInfo.dir().filePath(inputInfo.completeBaseName() + "_opt.txt");
    QFile file(m_settingsPath);
    QByteArray text;
    for (const std::string& line : kernel::optimiseSettingsLines(settings))
        text += QByteArray::fromStdString(line) + '\n';
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
        m_dialogs.error(QStringLiteral("The optimisation settings cannot be written to \"%1\".")
                            .arg(m_settingsPath));
        return;
    }
    file.close();
    pbIter_No->setValue(0);
    for (TPBNumEdit* r : {eThick_result, eRough_result, eRef_result, eExt_result})
        r->setValue(0);
    lbRunState->setText(QStringLiteral("Running..."));
    btOptimRUN->setText(QStringLiteral("STOP OPTIMISATION"));
    m_bestJsc.clear();
    m_run->start(program,
                 {QStringLiteral("optimise"), input, QStringLiteral("--settings"), m_settingsPath},
                 inputInfo.absolutePath());
}

void TLXOpt_Form::stopRun() {
    m_run->stop();
}

void TLXOpt_Form::takeKernelLine(const QString& raw) {
    const QString line = raw.trimmed();
    static const QRegularExpression iteration(QStringLiteral("^iteration (\\d{1,9}) best (\\S+)$"));
    if (const QRegularExpressionMatch m = iteration.match(line); m.hasMatch()) {
        pbIter_No->setValue(m.captured(1).toInt());
        m_bestJsc = m.captured(2);
        lbRunState->setText(QStringLiteral("Best Jsc<photo> so far: %1 mA/cm2").arg(m.captured(2)));
        return;
    }
    if (!line.startsWith(QLatin1String("best:")))
        return;
    const std::pair<const char*, TPBNumEdit*> shown[] = {{"thickness", eThick_result},
                                                         {"roughness", eRough_result},
                                                         {"n_factor", eRef_result},
                                                         {"k_factor", eExt_result},
                                                         {"iterations", pbIter_No}};
    QString jsc;
    for (const QString& pair : line.mid(5).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString key = pair.section(QLatin1Char('='), 0, 0);
        const QString value = pair.section(QLatin1Char('='), 1);
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok)
            continue;
        if (key == QLatin1String("jsc"))
            jsc = value;
        for (const auto& [name, edit] : shown)
            if (key == QLatin1String(name))
                edit->setValue(v);
    }
    if (!jsc.isEmpty())
        lbRunState->setText(QStringLiteral("Optimal Jsc<photo>: %1 mA/cm2").arg(jsc));
}

void TLXOpt_Form::runEnded(KernelRun::End end, const QString& failure) {
    btOptimRUN->setText(QStringLiteral("RUN OPTIMISATION"));
    if (end == KernelRun::End::Stopped) {
        lbRunState->setText(
            m_bestJsc.isEmpty()
                ? QStringLiteral("Stopped at iteration %1.").arg(pbIter_No->text())
                : QStringLiteral("Stopped at iteration %1. Best Jsc<photo> found: %2 mA/cm2")
                      .arg(pbIter_No->text(), m_bestJsc));
    } else if (end == KernelRun::End::Failed) {
        lbRunState->setText(QStringLiteral("The optimisation failed."));
        m_dialogs.error(QStringLiteral("The optimisation failed.\n") + failure);
    } else if (!lbRunState->text().startsWith(QLatin1String("Optimal"))) {
        lbRunState->setText(QStringLiteral("Finished."));
    }
}

} // namespace lumetrix
