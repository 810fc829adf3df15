#include "frmWebsite.h"

#include "LinkRules.h"
#include "platform/UrlOpener.h"
#include "widgets/Twips.h"
#include "widgets/WindowContext.h"

#include <QCloseEvent>
#include <QTimer>

frmWebsite::frmWebsite(WindowContext &context, QString linkKey)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
    , m_context(context)
    , strLinkKey(std::move(linkKey))
{
    setObjectName(QStringLiteral("frmWebsite"));
    resize(Twips::size(1830, 1605));

    // Runs from the moment the window exists.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10000);
    connect(Timer1, &QTimer::timeout, this, &frmWebsite::Timer1_Timer);
    Timer1->start();
}

void frmWebsite::formLoad()
{
    LoadBranding(m_context);
    const std::optional<QString> address
        = LinkRules::addressFor(strLinkKey, m_context.branding.strComments);
    if (!address)
        return;
    // Whether the desktop could open it is not examined.
    m_context.platform.urls->openUrl(LinkRules::normalisedAddress(*address));
    strLinkKey.clear();
}

void frmWebsite::Timer1_Timer()
{
    close();
}

void frmWebsite::closeEvent(QCloseEvent *event)
{
    // The window is gone once unloaded, its timer with it.
    Timer1->stop();
    QWidget::closeEvent(event);
}
