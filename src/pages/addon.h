#pragma once

#include <QLibrary>
#include <optional>
#include <string>

#include "lxpro_api.h"

class QWidget;

namespace lumetrix {

// The binding of the optional add-on library: it is loaded when the Spectrum page is created
// (and again at every reset), places its controls in the page's panel, and converts spectrum
// files for the writer. A missing entry point is simply not called.
class AddOnLibrary {
public:
    // Loads the library at the path, calls its CreateForm and keeps its other entry points.
    void bind(const QString& path, QWidget* form, QWidget* panel);
    void showForm(QWidget* panel) const;
    bool offersConversion() const { return m_makeAm15File != nullptr; }
    // MakeAM15File(source, target); nothing when the add-on wrote the target, otherwise why
    // not (its own reason when it offers MakeAM15FileReason).
    std::optional<std::string> makeAm15File(const std::string& source,
                                            const std::string& target) const;

private:
    QLibrary m_library;
    LXProShowForm m_showForm = nullptr;
    LXProMakeAM15File m_makeAm15File = nullptr;
    LXProMakeAM15FileReason m_reason = nullptr;
};

} // namespace lumetrix
