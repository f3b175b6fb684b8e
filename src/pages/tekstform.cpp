#include "pages/tekstform.h"

#include "core/inputfile_reader.h"

#include "controls/widget_factory.h"
#include "core/project.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lumetrix {

TTekstForm::TTekstForm(PageHost& host, QWidget* parent) : TPageForm(host, Page::Comments, parent) {
    setObjectName(QStringLiteral("TekstForm"));
    auto* page = layoutOn<QVBoxLayout>(this, {20, 16, 20, 16});
    page->addWidget(boldLabel(QStringLiteral("Calculation settings:"), this));
    auto* precision = new QHBoxLayout;
    precision->addSpacing(16);
    precision->addWidget(new QLabel(QStringLiteral("Precision level:"), this));
    rbNormalPrecision = radio(QStringLiteral("Normal"), QStringLiteral("rbNormalPrecision"), this);
    rbHighPrecision = radio(QStringLiteral("High"), QStringLiteral("rbHighPrecision"), this);
    exclusiveGroup(this, {rbNormalPrecision, rbHighPrecision});
    rbNormalPrecision->setChecked(true);
    precision->addWidget(rbNormalPrecision);
    precision->addWidget(rbHighPrecision);
    precision->addStretch(1);
    page->addLayout(precision);
    page->addSpacing(16);
    page->addWidget(
        boldLabel(QStringLiteral("Additional comments (will be saved in the input file):"), this));
    TekstMemo = named<QPlainTextEdit>(this, QStringLiteral("TekstMemo"));
    TekstMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    page->addWidget(TekstMemo, 1);
}

void TTekstForm::fillProject(Project& project) const {
    project.rbNormalPrecision = rbNormalPrecision->isChecked();
    project.comments = TekstMemo->toPlainText().toStdString();
}

void TTekstForm::takeLoaded(const LoadedProject& loaded) {
    if (loaded.precisionCarried)
        (loaded.values.rbNormalPrecision ? rbNormalPrecision : rbHighPrecision)->setChecked(true);
    TekstMemo->setPlainText(QString::fromStdString(loaded.values.comments));
}

} // namespace lumetrix
