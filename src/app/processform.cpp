#include "app/processform.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace lumetrix {

TProcessForm::TProcessForm(PageHost& host, QWidget* parent) : TPageForm(host, 6, parent) {
    setObjectName(QStringLiteral("ProcessForm"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    ProcessInfoMemo = new QPlainTextEdit(this);
    ProcessInfoMemo->setObjectName(QStringLiteral("ProcessInfoMemo"));
    ProcessInfoMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(ProcessInfoMemo);
}

} // namespace lumetrix
