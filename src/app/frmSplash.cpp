#include "frmSplash.h"

#include "skin/Skin.h"
#include "skin/Skinning.h"
#include "widgets/Accessible.h"
#include "widgets/Controls.h"
#include "widgets/Twips.h"
#include "widgets/WindowContext.h"

#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

frmSplash::frmSplash(WindowContext &context)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmSplash"));
    // A window of its own to assistive technology, named by the product
    // once the branding is read.
    Accessible::setWindowRole(this, QAccessible::Window);
    resize(Twips::size(7170, 4770));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setProperty("controlType", QStringLiteral("Image"));
    Image1->setGeometry(Twips::rect(0, 0, 7170, 4770));
    Image1->setPixmap(QPixmap(QStringLiteral(":/splash.jpg")));
    Image1->setAlignment(Qt::AlignCenter);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(kTickMs);
    connect(Timer2, &QTimer::timeout, this, &frmSplash::Timer2_Timer);

    skn = new Skin(studioBlue(), this);
    skn->setObjectName(QStringLiteral("skn"));
}

void frmSplash::formLoad()
{
    resize(Image1->size());
    Controls::centreOnScreen(this);

    LoadBranding(m_context);
    setWindowTitle(m_context.branding.strProductName);
    setAccessibleName(m_context.branding.strProductName);
    if (m_context.skin.bUseSkin)
        startSkin(m_context.skin, skn, this);
    Timer2->start();
    show();
    raise();
}

void frmSplash::Timer2_Timer()
{
    intTemp = qint16(intTemp + kTickMs);
    if (intTemp != kLastTick)
        return;
    Timer2->stop();
    const QPointer<frmSplash> self(this);
    emit finished();
    // It stays loaded, hidden: its skin serves every window.
    if (self)
        hide();
}
