#include "results.h"

#include "combobox.h"
#include "forms.h"
#include "mainform.h"
#include "result_list.h"

#include <QLabel>
#include <QVBoxLayout>

namespace lumetrix {

TResults::TResults(Forms& forms, QWidget* parent) : TPageForm(forms, 7, parent) {
    setObjectName(QStringLiteral("Results"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addWidget(new QLabel(QStringLiteral("Show results"), this));
    cbIzberiGraf = new TComboBox(this);
    cbIzberiGraf->setObjectName(QStringLiteral("cbIzberiGraf"));
    cbIzberiGraf->setMaxVisibleItems(11);
    cbIzberiGraf->setMinimumWidth(240);
    layout->addWidget(cbIzberiGraf, 0, Qt::AlignLeft);
    layout->addStretch(1);
    setResultList(resultListEntries(forms.MainForm->FolderSettings.OutFileName));
}

void TResults::setResultList(const std::vector<std::string>& entries) {
    cbIzberiGraf->clear();
    for (const std::string& entry : entries)
        cbIzberiGraf->addItem(QString::fromStdString(entry));
}

TSelectGraphForm::TSelectGraphForm(Forms& forms) : m_forms(forms) {
    setObjectName(QStringLiteral("SelectGraphForm"));
    setWindowTitle(QStringLiteral("Select graph"));
}

} // namespace lumetrix
