#include "controls/combolists.h"

#include "controls/userdialogs.h"
#include "core/listing.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <algorithm>

namespace lumetrix {
namespace {

// Selects the first item whose text equals the given one, case-sensitive.
bool selectItemText(QComboBox* box, const QString& text) {
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        box->setCurrentIndex(index);
    return index >= 0;
}

} // namespace

QString cannotOpenFileText(const QString& path, const ReadError& error) {
    QString text = QStringLiteral("Cannot open file \"%1\"").arg(path);
    if (error.line > 0)
        text += QStringLiteral("\nLine %1: %2")
                    .arg(error.line)
                    .arg(QString::fromStdString(error.reason));
    else
        text += QStringLiteral("\n%1").arg(QString::fromStdString(error.reason));
    return text;
}

void ComboLists::LoadComboList(QComboBox* box, const QString& path) {
    LoadComboLists({box}, path);
}

bool ComboLists::LoadComboLists(const QList<QComboBox*>& boxes, const QString& path) {
    const auto listing = readListingFile(path.toStdString());
    if (!listing) {
        const QString text = cannotOpenFileText(path, listing.error());
        if (!m_gathering)
            m_dialogs.error(text);
        else if (!m_gathered.contains(text))
            m_gathered << text;
        return false;
    }
    QStringList items;
    for (const std::string& item : listing.value())
        items << QString::fromStdString(item);
    for (QComboBox* box : boxes) {
        const QSignalBlocker blocker(box);
        const QString text = box->currentText();
        box->clear();
        box->addItems(items);
        showComboText(box, text);
    }
    return true;
}

void ComboLists::SelectComboText(QComboBox* box) {
    selectItemText(box, box->currentText());
}

void ComboLists::showGatheredErrors() {
    m_gathering = false;
    if (m_gathered.size() == 1)
        m_dialogs.error(m_gathered.first());
    else if (!m_gathered.isEmpty())
        m_dialogs.error(
            QStringLiteral("%1 listing files cannot be read:\n\n").arg(m_gathered.size()) +
            m_gathered.join(QStringLiteral("\n\n")));
    m_gathered.clear();
}

void ComboLists::addBinding(ListBinding binding) {
    m_bindings.append(std::move(binding));
}

void ComboLists::reloadAll() {
    struct Refill {
        QString file;
        QList<QComboBox*> boxes;
        QList<std::function<void(QComboBox*)>> afterLoads;
    };
    QList<Refill> refills;
    for (const ListBinding& binding : m_bindings) {
        const QString file = binding.listingFile();
        auto it = std::find_if(refills.begin(), refills.end(),
                               [&](const Refill& r) { return r.file == file; });
        if (it == refills.end()) {
            refills.append({file, {}, {}});
            it = refills.end() - 1;
        }
        for (QComboBox* box : binding.boxes()) {
            it->boxes << box;
            it->afterLoads << binding.afterLoad;
        }
    }
    for (const Refill& refill : refills) {
        if (refill.boxes.isEmpty() || !LoadComboLists(refill.boxes, refill.file))
            continue;
        for (int i = 0; i < refill.boxes.size(); ++i)
            if (refill.afterLoads[i])
                refill.afterLoads[i](refill.boxes[i]);
    }
}

void showComboText(QComboBox* box, const QString& text) {
    if (selectItemText(box, text))
        return;
    if (box->isEditable() || text.isEmpty()) {
        box->setCurrentIndex(-1);
        if (box->isEditable())
            box->setEditText(text);
        return;
    }
    box->addItem(text);
    box->setCurrentIndex(box->count() - 1);
}

} // namespace lumetrix
