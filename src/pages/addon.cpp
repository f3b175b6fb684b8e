#include "pages/addon.h"

#include <QFile>
#include <QWidget>

namespace lumetrix {

void AddOnLibrary::bind(const QString& path, QWidget* form, QWidget* panel) {
    if (!m_library.isLoaded()) {
        m_library.setFileName(path);
        if (!m_library.load())
            return; // no message: the page simply goes without the add-on
    }
    if (auto create = reinterpret_cast<LXProCreateForm>(m_library.resolve("CreateForm")))
        create(form, panel);
    m_showForm = reinterpret_cast<LXProShowForm>(m_library.resolve("ShowForm"));
    m_makeAm15File = reinterpret_cast<LXProMakeAM15File>(m_library.resolve("MakeAM15File"));
    m_reason = reinterpret_cast<LXProMakeAM15FileReason>(m_library.resolve("MakeAM15FileReason"));
}

void AddOnLibrary::showForm(QWidget* panel) const {
    if (m_showForm)
        m_showForm(panel);
}

std::optional<std::string> AddOnLibrary::makeAm15File(const std::string& source,
                                                      const std::string& target) const {
    if (!m_makeAm15File)
        return "the add-on offers no conversion";
    const QByteArray s = QFile::encodeName(QString::fromStdString(source));
    const QByteArray t = QFile::encodeName(QString::fromStdString(target));
    if (m_makeAm15File(s.constData(), t.constData()) == 0)
        return std::nullopt;
    const char* reason = m_reason ? m_reason() : nullptr;
    return reason && *reason ? std::string(reason) : std::string("the add-on refused it");
}

} // namespace lumetrix
