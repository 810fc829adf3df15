#pragma once

#include <QDialog>

// A window that assistive technology announces as a dialog. Esc, accept()
// and reject() close it the way its close box does, so that a window that is
// deleted on close, and whoever watches for its close, see it go.
class Dialog : public QDialog
{
    Q_OBJECT

public:
    explicit Dialog(Qt::WindowFlags flags);

    void done(int result) override;

    // Shows the window if it is hidden and brings it to the front, with the
    // focus.
    void bringForward();
    // Shows the window in front of the others, leaving the focus in
    // `focused`, the window that has it or is about to get it.
    void showWithoutFocus(QWidget *focused);

protected:
    // Closing is final: the window does not reject itself and stay open as
    // a plain QDialog would.
    void closeEvent(QCloseEvent *event) override;
    // Tab and Shift+Tab select the whole text of the box they move to, as
    // the platform's boxes do, whether or not the window is active.
    bool focusNextPrevChild(bool next) override;
};
