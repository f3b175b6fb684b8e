#pragma once

#include "pages/page.h"

#include <QWidget>
#include <functional>

class QAbstractButton;

namespace lumetrix {

class PageHost;

// A page of the main window. Its creation handler is also its reset (New runs it again);
// its show handler lays it out for its advanced flag and may run at any time.
class TPageForm : public QWidget {
    Q_OBJECT
public:
    TPageForm(PageHost& host, Page page, QWidget* parent);

    const Page Tag;

    virtual void FormCreate() {}
    virtual void FormShow() {}

protected:
    // A click on an empty part of a page parks the focus (a typed number commits); so does a
    // click on the panels given here.
    void mousePressEvent(QMouseEvent* event) override;
    void parkFocusOnClick(QWidget* panel);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The advanced flag of this page.
    bool advanced() const;

    PageHost& m_host;
};

// Runs the handler whenever the button becomes checked, by the user or by the program, as
// the pages' radio-button handlers must.
void onChecked(QAbstractButton* button, QObject* context, const std::function<void()>& handler);

} // namespace lumetrix
