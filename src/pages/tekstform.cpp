#include "pages/tekstform.h"

#include "core/inputfile_reader.h"

#include "core/project.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lumetrix {

TTekstForm::TTekstForm(PageHost& host, QWidget* parent) : TPageForm(host, 6, parent) {
    setObjectName(QStringLiteral("TekstForm"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(20, 16, 20, 16);
    QFont bold = font();
    bold.setBold(true);
    auto* settings = new QLabel(QStringLiteral("Calculation settings:"), this);
    settings->setFont(bold);
    page->addWidget(settings);
    auto* precision = new QHBoxLayout;
    precision->addSpacing(16);
    precision->addWidget(new QLabel(QStringLiteral("Precision level:"), this));
    rbNormalPrecision = new QRadioButton(QStringLiteral("Normal"), this);
    rbNormalPrecision->setObjectName(QStringLiteral("rbNormalPrecision"));
    rbHighPrecision = new QRadioButton(QStringLiteral("High"), this);
    rbHighPrecision->setObjectName(QStringLiteral("rbHighPrecision"));
    auto* group = new QButtonGroup(this);
    group->addButton(rbNormalPrecision);
    group->addButton(rbHighPrecision);
    rbNormalPrecision->setChecked(true);
    precision->addWidget(rbNormalPrecision);
    precision->addWidget(rbHighPrecision);
    precision->addStretch(1);
    page->addLayout(precision);
    page->addSpacing(16);
    auto* comments =
        new QLabel(QStringLiteral("Additional comments (will be saved in the input file):"), this);
    comments->setFont(bold);
    page->addWidget(comments);
    TekstMemo = new QPlainTextEdit(this);
    TekstMemo->setObjectName(QStringLiteral("TekstMemo"));
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
