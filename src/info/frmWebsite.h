// frmWebsite: the link opener, never shown.
#pragma once

#include <QWidget>

class QTimer;
struct WindowContext;

// frmWebsite, the link opener (no caption): a window that is loaded but never shown. Its load opens
// the requested web address; it then stays loaded for ten seconds, and a
// request made meanwhile opens nothing.
class frmWebsite : public QWidget
{
    Q_OBJECT

public:
    // linkKey names the address to open ("Website" for the publisher's).
    frmWebsite(WindowContext &context, QString linkKey);

    // Opens the address the link key names, then forgets the key.
    void formLoad();

    // The link key while it has not been opened.
    const QString &linkKey() const { return strLinkKey; }

    // Ten seconds after the load: unloads the window.
    void Timer1_Timer();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    WindowContext &m_context;
    QString strLinkKey;
    QTimer *Timer1 = nullptr;
};
