#include "frmSplash.h"

#include "widgets/Controls.h"
#include "Form1.h"
#include "Program.h"
#include "widgets/Twips.h"
#include "skin/Skin.h"
#include "skin/Skinning.h"

#include <QLabel>
#include <QPixmap>
#include <QTimer>

frmSplash::frmSplash(Program &program)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_program(program)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAccessibleName(QStringLiteral("Vorsell"));
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

    m_program.LoadBranding();
    if (m_program.skin.bUseSkin)
        startSkin(m_program.skin, skn, this);
    Timer2->start();
}

void frmSplash::Timer2_Timer()
{
    intTemp = qint16(intTemp + kTickMs);
    if (intTemp != kLastTick)
        return;
    Timer2->stop();
    Form1 *main = m_program.form1.load(m_program);
    if (m_program.hasEnded())
        return;
    main->show();
    hide();
}
