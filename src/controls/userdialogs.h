#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace lumetrix {

// The title of the application, shown on plain message boxes.
inline const QString kApplicationTitle = QStringLiteral("Lumetrix ");

enum class DialogIcon { None, Warning, Error };
enum class DialogButton { Ok, Cancel, Yes, No };

// A graph line's label and vertical axis, as the series properties dialog edits them.
struct SeriesProperties {
    QString label;
    bool rightAxis = false;
};

struct FileDialogRequest {
    QString initialFolder;
    // Pairs of description and pattern, separated by "|" ("Text files (*.txt)|*.txt|...").
    QString filter;
    QString defaultSuffix;
};

// What a save dialog gives: the path (empty when cancelled) and the index of the filter pair
// chosen with it.
struct SaveChoice {
    QString path;
    int filter = 0;
};

// Every modal dialog of the program goes through this interface, so that tests and the batch
// mode never block on a window.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // A message box; returns the button chosen. Long detail (a whole text that a message is
    // about) goes into `details`, which the box keeps folded.
    virtual DialogButton message(const QString& text, DialogIcon icon,
                                 const QList<DialogButton>& buttons, const QString& details) = 0;
    DialogButton message(const QString& text, DialogIcon icon, const QList<DialogButton>& buttons) {
        return message(text, icon, buttons, QString());
    }
    // The chosen path, or empty when cancelled.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual SaveChoice saveFileAs(const FileDialogRequest& request) = 0;
    QString saveFile(const FileDialogRequest& request) { return saveFileAs(request).path; }
    virtual QString browseFolder(const QString& caption, const QString& startFolder) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    // The series properties dialog; the axis is offered only when the right axis is shown.
    // Nothing when cancelled.
    virtual std::optional<SeriesProperties> editSeries(const SeriesProperties& current,
                                                       bool offerAxis) = 0;

    // An error box with an OK button.
    void error(const QString& text, const QString& details = {}) {
        message(text, DialogIcon::Error, {DialogButton::Ok}, details);
    }
    // A plain box with an OK button and the application title.
    void notice(const QString& text) { message(text, DialogIcon::None, {DialogButton::Ok}); }
};

// A message as a box shows it, so that the box stays within the screen: at most 12 lines of
// at most 160 characters; when more is cut off, the whole text goes before the details.
struct FoldedMessage {
    QString text;
    QString details;
};
FoldedMessage foldMessage(const QString& text, const QString& details);

// The real dialogs of the desktop.
class QtUserDialogs : public UserDialogs {
public:
    using UserDialogs::message;
    DialogButton message(const QString& text, DialogIcon icon, const QList<DialogButton>& buttons,
                         const QString& details) override;
    QString openFile(const FileDialogRequest& request) override;
    SaveChoice saveFileAs(const FileDialogRequest& request) override;
    QString browseFolder(const QString& caption, const QString& startFolder) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<SeriesProperties> editSeries(const SeriesProperties& current,
                                               bool offerAxis) override;

    // "A|*.a|B|*.b" as the file dialogs of this toolkit want it.
    static QString toQtFilter(const QString& filter);
};

// Answers from a script, and a record of what was asked. An unanswered question gets Cancel
// (or No, or the last button offered); an unanswered file or folder dialog is cancelled.
class ScriptedUserDialogs : public UserDialogs {
public:
    struct Call {
        QString kind; // "message", "open", "save", "folder", "color", "series"
        QString text; // the message, the dialog caption or the start folder
        DialogIcon icon = DialogIcon::None;
        QList<DialogButton> buttons;
        QString folder;
        QString details;
    };

    QList<Call> calls;
    // Called with every message text (the batch mode prints them).
    std::function<void(const QString&)> echo;

    void answerMessage(DialogButton button) { m_messages.append(button); }
    void answerFile(const QString& path) { m_files.append(path); }
    // The filter chosen in the next save dialog (the first one otherwise).
    void answerFilter(int index) { m_filters.append(index); }
    void answerFolder(const QString& path) { m_folders.append(path); }
    void answerColor(std::optional<QColor> color) { m_colors.append(color); }
    void answerSeries(std::optional<SeriesProperties> series) { m_series.append(series); }

    QStringList messageTexts() const;

    using UserDialogs::message;
    DialogButton message(const QString& text, DialogIcon icon, const QList<DialogButton>& buttons,
                         const QString& details) override;
    QString openFile(const FileDialogRequest& request) override;
    SaveChoice saveFileAs(const FileDialogRequest& request) override;
    QString browseFolder(const QString& caption, const QString& startFolder) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<SeriesProperties> editSeries(const SeriesProperties& current,
                                               bool offerAxis) override;

private:
    QList<DialogButton> m_messages;
    QStringList m_files;
    QList<int> m_filters;
    QStringList m_folders;
    QList<std::optional<QColor>> m_colors;
    QList<std::optional<SeriesProperties>> m_series;
};

} // namespace lumetrix
