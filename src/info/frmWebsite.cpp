#include "frmWebsite.h"

#include "LinkRules.h"
#include "app/Program.h"
#include "widgets/Twips.h"
#include "platform/UrlOpener.h"

#include <QCloseEvent>
#include <QTimer>

frmWebsite::frmWebsite(Program &program)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
    , m_program(program)
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
    m_program.LoadBranding();
    const std::optional<QString> address
        = LinkRules::addressFor(m_program.strLinkKey, m_program.strComments);
    if (!address)
        return;
    // Whether the desktop could open it is not examined.
    m_program.platform().urls->openUrl(LinkRules::normalisedAddress(*address));
    m_program.strLinkKey.clear();
}

void frmWebsite::Timer1_Timer()
{
    m_program.website.unload();
}

void frmWebsite::closeEvent(QCloseEvent *event)
{
    // The window is gone once unloaded, its timer with it.
    Timer1->stop();
    QWidget::closeEvent(event);
}
