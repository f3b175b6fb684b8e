#include "app/aboutform.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace lumetrix {

TAboutForm::TAboutForm() : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(320, 220);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(10, 36, 106));
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    auto* logo = new QLabel(QStringLiteral("~~~~~~~~>\n~Lumetrix~>\n~~~~~~~~~~~>"), this);
    logo->setObjectName(QStringLiteral("lLogo"));
    logo->setStyleSheet(QStringLiteral("font-family: monospace; font-size: 15px; color: #a0c1e9;"));
    logo->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel(QStringLiteral("Lumetrix"), this);
    name->setStyleSheet(
        QStringLiteral("font-family: Arial; font-size: 24px; font-weight: bold; color: white;"));
    name->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("Version 1.2.8"), this);
    version->setStyleSheet(QStringLiteral("color: white;"));
    version->setAlignment(Qt::AlignCenter);
    auto* kind = new QLabel(QStringLiteral("Optical Simulator"), this);
    kind->setStyleSheet(QStringLiteral("color: white;"));
    kind->setAlignment(Qt::AlignCenter);
    layout->addWidget(logo);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(kind);
}

void TAboutForm::mousePressEvent(QMouseEvent*) {
    close();
}

void TAboutForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void TAboutForm::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
    emit lockReleased();
}

} // namespace lumetrix
