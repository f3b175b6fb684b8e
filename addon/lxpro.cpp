// The add-on library: a wavelength range for the chosen spectrum, and the conversion that cuts
// a spectrum file to that range.
#include "core/spectrum_file.h"
#include "lxpro_api.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLayout>
#include <QWidget>
#include <string>

#define LXPRO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

const char* const kRangeWidget = "LXProRange";

// The range the user set, in nm; it lives as long as the library.
double g_from = 280.0;
double g_to = 4000.0;
// Why the last conversion wrote nothing.
std::string g_reason;

QDoubleSpinBox* rangeBox(QWidget* parent, const char* name, double value) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0.0, 100000.0);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" nm"));
    box->setValue(value);
    return box;
}

QWidget* rangeWidget(QWidget* panel) {
    return panel ? panel->findChild<QWidget*>(QString::fromLatin1(kRangeWidget)) : nullptr;
}

void showRange(QWidget* panel) {
    if (QWidget* range = rangeWidget(panel)) {
        if (auto* from = range->findChild<QDoubleSpinBox*>(QStringLiteral("LXProFrom")))
            from->setValue(g_from);
        if (auto* to = range->findChild<QDoubleSpinBox*>(QStringLiteral("LXProTo")))
            to->setValue(g_to);
    }
}

} // namespace

LXPRO_EXPORT void CreateForm(void* /*spectrumForm*/, void* panelHandle) {
    auto* panel = static_cast<QWidget*>(panelHandle);
    if (!panel || rangeWidget(panel))
        return; // already there: the page is reset, the range stays
    auto* range = new QWidget(panel);
    range->setObjectName(QString::fromLatin1(kRangeWidget));
    auto* form = new QFormLayout(range);
    form->setContentsMargins(0, 0, 0, 0);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(
        new QLabel(QStringLiteral("Wavelength range used from the spectrum file:"), range));
    QDoubleSpinBox* from = rangeBox(range, "LXProFrom", g_from);
    QDoubleSpinBox* to = rangeBox(range, "LXProTo", g_to);
    form->addRow(QStringLiteral("From"), from);
    form->addRow(QStringLiteral("To"), to);
    QObject::connect(from, &QDoubleSpinBox::valueChanged, [](double v) { g_from = v; });
    QObject::connect(to, &QDoubleSpinBox::valueChanged, [](double v) { g_to = v; });
    if (!panel->layout()) {
        auto* layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    panel->layout()->addWidget(range);
    range->show();
}

LXPRO_EXPORT void ShowForm(void* panelHandle) {
    showRange(static_cast<QWidget*>(panelHandle));
}

LXPRO_EXPORT int MakeAM15File(const char* source, const char* target) {
    g_reason.clear();
    if (!source || !target)
        g_reason = "no file named";
    else if (const auto failure = lumetrix::writeSpectrumRange(source, target, g_from, g_to))
        g_reason = *failure;
    return g_reason.empty() ? 0 : 1;
}

LXPRO_EXPORT const char* MakeAM15FileReason() {
    return g_reason.c_str();
}
