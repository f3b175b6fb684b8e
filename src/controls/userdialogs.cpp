#include "controls/userdialogs.h"

#include "controls/widget_factory.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace lumetrix {
namespace {

QMessageBox::StandardButton toQt(DialogButton b) {
    switch (b) {
    case DialogButton::Ok:
        return QMessageBox::Ok;
    case DialogButton::Cancel:
        return QMessageBox::Cancel;
    case DialogButton::Yes:
        return QMessageBox::Yes;
    case DialogButton::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QFileDialog* makeFileDialog(const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(QApplication::activeWindow());
    dialog->setAcceptMode(mode);
    dialog->setDirectory(request.initialFolder);
    dialog->setNameFilter(QtUserDialogs::toQtFilter(request.filter));
    dialog->setDefaultSuffix(request.defaultSuffix);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
    return dialog;
}

QString runFileDialog(QFileDialog* dialog) {
    QString chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        chosen = dialog->selectedFiles().first();
    delete dialog;
    return chosen;
}

} // namespace

FoldedMessage foldMessage(const QString& text, const QString& details) {
    constexpr int kLines = 12, kColumns = 160;
    const QStringList lines = text.split(QLatin1Char('\n'));
    QStringList shown;
    for (const QString& line : lines.mid(0, kLines))
        shown << (line.size() > kColumns ? line.left(kColumns - 1) + QChar(0x2026) : line);
    const bool cut = lines.size() > kLines || shown != lines.mid(0, kLines);
    if (!cut)
        return {text, details};
    if (lines.size() > kLines)
        shown << QString(QChar(0x2026));
    return {shown.join(QLatin1Char('\n')),
            details.isEmpty() ? text : text + QStringLiteral("\n\n") + details};
}

DialogButton QtUserDialogs::message(const QString& text, DialogIcon icon,
                                    const QList<DialogButton>& buttons, const QString& details) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(kApplicationTitle);
    const FoldedMessage folded = foldMessage(text, details);
    box.setText(folded.text);
    box.setDetailedText(folded.details);
    box.setIcon(icon == DialogIcon::Warning ? QMessageBox::Warning
                : icon == DialogIcon::Error ? QMessageBox::Critical
                                            : QMessageBox::NoIcon);
    for (const DialogButton b : buttons)
        box.addButton(toQt(b));
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const DialogButton b : buttons)
        if (toQt(b) == clicked)
            return b;
    return buttons.contains(DialogButton::Cancel) ? DialogButton::Cancel : buttons.last();
}

QString QtUserDialogs::openFile(const FileDialogRequest& request) {
    return runFileDialog(makeFileDialog(request, QFileDialog::AcceptOpen));
}

SaveChoice QtUserDialogs::saveFileAs(const FileDialogRequest& request) {
    QFileDialog* dialog = makeFileDialog(request, QFileDialog::AcceptSave);
    // A name typed without extension takes the one of the filter chosen ("Name (*.pdf)").
    const auto followFilter = [dialog, request](const QString& filter) {
        const QString suffix =
            filter.section(QLatin1String("(*."), 1).section(QLatin1Char(')'), 0, 0);
        const bool plain = !suffix.isEmpty() && !suffix.contains(QLatin1Char('*')) &&
                           !suffix.contains(QLatin1Char(' '));
        dialog->setDefaultSuffix(plain ? suffix : request.defaultSuffix);
    };
    followFilter(dialog->selectedNameFilter());
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog, followFilter);
    SaveChoice choice;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        choice.path = dialog->selectedFiles().first();
        choice.filter = std::max(
            0, static_cast<int>(dialog->nameFilters().indexOf(dialog->selectedNameFilter())));
    }
    delete dialog;
    return choice;
}

QString QtUserDialogs::browseFolder(const QString& caption, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, startFolder);
}

std::optional<QColor> QtUserDialogs::chooseColor(const QColor& initial) {
    const QColor color = QColorDialog::getColor(initial, QApplication::activeWindow());
    if (!color.isValid())
        return std::nullopt;
    return color;
}

std::optional<SeriesProperties> QtUserDialogs::editSeries(const SeriesProperties& current,
                                                          bool offerAxis) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Series properties"));
    dialog.setFixedSize(200, 120);
    fillBackground(&dialog, kDialogColor);
    (new QLabel(QStringLiteral("Axis label"), &dialog))->move(10, 10);
    auto* edit = new QLineEdit(current.label, &dialog);
    edit->setGeometry(10, 26, 180, edit->sizeHint().height());
    edit->setMaxLength(100);
    edit->selectAll();
    auto* left = new QRadioButton(QStringLiteral("Left axis"), &dialog);
    auto* right = new QRadioButton(QStringLiteral("Right axis"), &dialog);
    right->setObjectName(QStringLiteral("rbRightAxis"));
    left->move(20, 50);
    right->move(110, 50);
    (current.rightAxis ? right : left)->setChecked(true);
    left->setVisible(offerAxis);
    right->setVisible(offerAxis);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    ok->setGeometry(15, 80, 75, 25);
    cancel->setGeometry(110, 80, 75, 25);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return SeriesProperties{edit->text(), offerAxis ? right->isChecked() : current.rightAxis};
}

QString QtUserDialogs::toQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (parts[i].contains(QLatin1Char('(')) ? parts[i]
                                                        : parts[i] + " (" + patterns + ")");
    }
    return filters.join(QStringLiteral(";;"));
}

QStringList ScriptedUserDialogs::messageTexts() const {
    QStringList texts;
    for (const Call& c : calls)
        if (c.kind == QLatin1String("message"))
            texts << c.text;
    return texts;
}

DialogButton ScriptedUserDialogs::message(const QString& text, DialogIcon icon,
                                          const QList<DialogButton>& buttons,
                                          const QString& details) {
    calls.append({QStringLiteral("message"), text, icon, buttons, {}, details});
    if (echo)
        echo(text);
    if (!m_messages.isEmpty())
        return m_messages.takeFirst();
    for (const DialogButton b : {DialogButton::Cancel, DialogButton::No})
        if (buttons.contains(b))
            return b;
    return buttons.isEmpty() ? DialogButton::Ok : buttons.last();
}

QString ScriptedUserDialogs::openFile(const FileDialogRequest& request) {
    calls.append(
        {QStringLiteral("open"), request.filter, DialogIcon::None, {}, request.initialFolder, {}});
    return m_files.isEmpty() ? QString() : m_files.takeFirst();
}

SaveChoice ScriptedUserDialogs::saveFileAs(const FileDialogRequest& request) {
    calls.append(
        {QStringLiteral("save"), request.filter, DialogIcon::None, {}, request.initialFolder, {}});
    SaveChoice choice;
    choice.filter = m_filters.isEmpty() ? 0 : m_filters.takeFirst();
    choice.path = m_files.isEmpty() ? QString() : m_files.takeFirst();
    return choice;
}

QString ScriptedUserDialogs::browseFolder(const QString& caption, const QString& startFolder) {
    calls.append({QStringLiteral("folder"), caption, DialogIcon::None, {}, startFolder, {}});
    return m_folders.isEmpty() ? QString() : m_folders.takeFirst();
}

std::optional<QColor> ScriptedUserDialogs::chooseColor(const QColor& initial) {
    calls.append({QStringLiteral("color"), initial.name(), DialogIcon::None, {}, {}, {}});
    return m_colors.isEmpty() ? std::nullopt : m_colors.takeFirst();
}

std::optional<SeriesProperties> ScriptedUserDialogs::editSeries(const SeriesProperties& current,
                                                                bool offerAxis) {
    calls.append({QStringLiteral("series"), current.label, DialogIcon::None, {}, {}, {}});
    calls.last().folder = offerAxis ? QStringLiteral("axis") : QString();
    return m_series.isEmpty() ? std::nullopt : m_series.takeFirst();
}

} // namespace lumetrix
