#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QComboBox;

namespace lumetrix {

class UserDialogs;
struct ReadError;

// The box "Cannot open file "path"" with a second line saying why (and where).
QString cannotOpenFileText(const QString& path, const ReadError& error);

// One rule of ReloadListBoxes: which boxes are refilled from which listing file, and what is
// done to each box afterwards.
struct ListBinding {
    std::function<QList<QComboBox*>()> boxes;
    std::function<QString()> listingFile;
    std::function<void(QComboBox*)> afterLoad;
};

// The drop-down lists that listing files fill: loading, matching the shown text, and the
// refresh of every bound box when the listing folder changes.
class ComboLists {
public:
    explicit ComboLists(UserDialogs& dialogs) : m_dialogs(dialogs) {}

    // Replaces the items of the box with the lines of a listing file, keeping its text (see
    // showComboText).
    void LoadComboList(QComboBox* box, const QString& path);
    // The same for several boxes filled from one file, read once; false when it cannot be
    // read (one error box, the lists stay as they were).
    bool LoadComboLists(const QList<QComboBox*>& boxes, const QString& path);
    // Selects the first item equal to the box's text; otherwise the selection stays.
    static void SelectComboText(QComboBox* box);

    // Pages join the refresh of the listing-file boxes here when they are created.
    void addBinding(ListBinding binding);
    // Reads each listing file once for all the boxes it fills, in the order of the bindings.
    void reloadAll();

    // While gathering, a listing file that cannot be read is remembered instead of shown; the
    // end shows each file once, in one box (a working folder without its listing files would
    // otherwise bring a box per list).
    void gatherErrors() { m_gathering = true; }
    void showGatheredErrors();

private:
    UserDialogs& m_dialogs;
    bool m_gathering = false;
    QStringList m_gathered;
    QList<ListBinding> m_bindings;
};

// Shows a text that a file holds: the equal item is selected; a text that the list lacks is
// kept all the same (as the edit text of an editable box, as an extra item of a fixed one),
// so that the next save writes it back.
void showComboText(QComboBox* box, const QString& text);

} // namespace lumetrix
