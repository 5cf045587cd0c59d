#pragma once

#include <QMdiSubWindow>
#include <QPointer>

class CVantorpadDoc;
#include "editor/CVantorpadView.h"

// The MDI child window of one editor view: opens maximised, carries the document title, and on
// closing asks the document what to do with its changes before it lets the document go.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // Takes ownership of `document` (and of `view`, its widget).
    CChildFrame(CVantorpadDoc* document, CVantorpadView* view, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CVantorpadDoc* document() const { return m_document; }
    CVantorpadView* view() const { return m_view; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CVantorpadDoc* m_document;
    QPointer<CVantorpadView> m_view;
    bool m_closed = false;
};
