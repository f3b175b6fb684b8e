#pragma once

#include "core/folders.h"
#include "pages/pageform.h"

#include <QList>
#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLayout;
class QLineEdit;
class QPushButton;

namespace lumetrix {

inline const QString kAssignPaths = QStringLiteral("Assign paths to <WORKDIR>");
inline const QString kAssignAllPaths = QStringLiteral("Assign ALL paths to <WORKDIR>");

// The File locations page: the output name and folder, the working folder, and (advanced)
// the folders of the data and listing files.
class TFilesForm : public TPageForm {
    Q_OBJECT
public:
    TFilesForm(PageHost& host, QWidget* parent);

    QLineEdit* eWorkDir = nullptr;
    QLineEdit* eOutFileName = nullptr;
    QLineEdit* eOutFileDir = nullptr;
    QLineEdit* eDir_nk = nullptr;
    QLineEdit* eDir_cRcT = nullptr;
    QLineEdit* eDir_HRHT = nullptr;
    QLineEdit* eDir_ars = nullptr;
    QLineEdit* eDir_spk = nullptr;
    QLineEdit* eDir_dat = nullptr;
    QPushButton* btOutFileDir = nullptr;
    QPushButton* btDir_nk = nullptr;
    QPushButton* btDir_cal = nullptr;
    QPushButton* btDir_tis = nullptr;
    QPushButton* btDir_ars = nullptr;
    QPushButton* btDir_spk = nullptr;
    QPushButton* brDir_dat = nullptr;
    QPushButton* btDefault = nullptr;
    QPushButton* btProjectDir = nullptr;
    QCheckBox* cbOverwriteLXOut = nullptr;
    QWidget* AdvPanel = nullptr;

    void FormCreate() override;
    void FormShow() override;
    void btDirClick(QPushButton* Sender);
    void btDefaultClick();
    void btProjectDirClick();
    void cbOverwriteLXOutClick();
    void eOutFileNameChange();
    void ApplyOutFileDir();
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void FormKeyUp(int key, Qt::KeyboardModifiers shift);

    // Refreshes every box that a listing file fills.
    void ReloadListBoxes();

    // Takes the values of a file that was read, with the side effects of reading.
    void takeLoaded(const struct LoadedProject& loaded);
    void fillProject(struct Project& project) const;

    // Whether the mouse is over btDefault.
    bool overDefaultButton() const { return m_overDefault; }

signals:
    // The output name changed: the result list follows it.
    void outFileNameChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The parts of the page, made in this order by the constructor.
    QLayout* buildOutputPanel();
    QWidget* buildAdvancedPanel();
    void buildFolderRows(QGridLayout* adv);
    QLayout* buildPathButtons();
    void connectHandlers();

    struct FolderRow {
        QLineEdit* edit;
        std::string lumetrix::FolderSettings::*field;
    };
    // The edit and setting of a Browse button's row, by its Tag.
    FolderRow rowForTag(int tag) const;
    QString shown(const std::string& path) const;
    // The folders of the rows with these Browse Tags, from a record, into the settings and
    // the edits (with the <WORKDIR> marker where it applies, when asked).
    void setFolders(const FolderSettings& from, int firstTag, int lastTag, bool withMarker);
    void updateDefaultCaption();

    std::array<QPushButton*, 7> m_browseButtons{};
    bool m_overDefault = false;
};

} // namespace lumetrix
