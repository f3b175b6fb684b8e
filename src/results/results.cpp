#include "results/results.h"

#include "controls/combobox.h"
#include "core/folders.h"
#include "core/result_list.h"
#include "pages/pagehost.h"

#include <QLabel>
#include <QVBoxLayout>

namespace lumetrix {

TResults::TResults(PageHost& host, QWidget* parent) : TPageForm(host, 7, parent) {
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
    setResultList(resultListEntries(host.folders().OutFileName));
}

void TResults::setResultList(const std::vector<std::string>& entries) {
    cbIzberiGraf->clear();
    for (const std::string& entry : entries)
        cbIzberiGraf->addItem(QString::fromStdString(entry));
}

TSelectGraphForm::TSelectGraphForm() {
    setObjectName(QStringLiteral("SelectGraphForm"));
    setWindowTitle(QStringLiteral("Select graph"));
}

} // namespace lumetrix
