#include "frmAbout.h"

#include "VersionText.h"
#include "platform/VersionInfo.h"
#include "skin/SkinLabel.h"
#include "skin/Skinning.h"
#include "widgets/Accessible.h"
#include "widgets/Controls.h"
#include "widgets/Twips.h"
#include "widgets/WindowContext.h"

#include <QLabel>
#include <QPixmap>

namespace {

template<typename Label>
Label *makeLabel(QWidget *parent, const QString &name, const QString &text, double left, double top,
                 double width, double height)
{
    auto *label = new Label(parent);
    label->setObjectName(name);
    label->setText(text);
    label->setGeometry(Twips::rect(left, top, width, height));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

frmAbout::frmAbout(WindowContext &context)
    : Dialog(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
             | Qt::MSWindowsFixedSizeDialogHint)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("frmAbout"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/about.png")));
    setFont(Controls::verdana());
    setFixedSize(Twips::size(7455, 2925));
    // One accessible object per thing a user sees: neither the skin twins
    // drawn over the labels nor the notice below the client area.
    Accessible::setWindowRole(this, QAccessible::Dialog);

    // Created in tab order, which is also the order in which the load step
    // meets them.
    const QFont heading = Controls::verdana(12, true);
    Label2 = makeLabel<QLabel>(this, QStringLiteral("Label2"), QStringLiteral("Version:"), 180,
                               1680, 2295, 315);
    Label3 = makeLabel<QLabel>(this, QStringLiteral("Label3"), QStringLiteral("Owned By:"), 180,
                               2100, 2295, 315);
    Label4 = makeLabel<QLabel>(this, QStringLiteral("Label4"), QStringLiteral("Website:"), 180,
                               2520, 2295, 315);
    for (QLabel *label : {Label2, Label3, Label4})
        label->setFont(heading);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setProperty("controlType", QStringLiteral("PictureBox"));
    Picture1->setGeometry(Twips::rect(0, 0, 7515, 1035));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setPixmap(QPixmap(QStringLiteral(":/about-header.jpg")));

    lblVersion = makeLabel<SkinLabel>(this, QStringLiteral("lblVersion"), QString(), 2580, 1680,
                                      4635, 315);
    lblCompany = makeLabel<SkinLabel>(this, QStringLiteral("lblCompany"), QString(), 2580, 2100,
                                      4635, 315);
    lblWebsite = makeLabel<SkinLabel>(this, QStringLiteral("lblWebsite"), QString(), 2580, 2520,
                                      4635, 315);
    for (QLabel *label : {lblVersion, lblCompany, lblWebsite}) {
        label->setFont(heading);
        // The values can be selected and copied, from the keyboard too.
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        // Qt gives such a label the focus by click only.
        label->setFocusPolicy(Qt::StrongFocus);
    }
    Label2->setBuddy(lblVersion);
    Label3->setBuddy(lblCompany);
    Label4->setBuddy(lblWebsite);

    Label1 = makeLabel<SkinLabel>(this, QStringLiteral("Label1"), QString(), 120, 1200, 7095, 435);
    Label1->setFont(Controls::verdana(14.25, true));

    // Below the client area: not seen at the box's size.
    Label5 = makeLabel<QLabel>(
        this, QStringLiteral("Label5"),
        QStringLiteral("This software is the property of its publisher named above and is "
                       "protected by copyright law. All rights reserved. Copying, "
                       "distributing or changing it, in whole or in part, without the "
                       "publisher's written permission is not allowed."),
        120, 3300, 7215, 1275);
    Label5->setWordWrap(true);

    SkinLabel *skinLabelTemplate = loadSkinLabel1();
    skinLabelTemplate->setGeometry(Twips::rect(480, 2940, 555, 195));
    QFont sansSerif(QStringLiteral("MS Sans Serif"));
    sansSerif.setPointSizeF(8.25);
    skinLabelTemplate->setFont(sansSerif);
    skinLabelTemplate->setVisible(false);

    setTabOrder(lblVersion, lblCompany);
    setTabOrder(lblCompany, lblWebsite);
    Controls::centreOnScreen(this);
}

SkinLabel *frmAbout::loadSkinLabel1()
{
    auto *label = new SkinLabel(this);
    label->setObjectName(QStringLiteral("SkinLabel1"));
    label->setProperty("index", int(SkinLabel1.size()));
    SkinLabel1.push_back(label);
    return label;
}

void frmAbout::formLoad()
{
    setWindowTitle(QStringLiteral("About ") + m_context.branding.strProductName);
    const VersionValues version = m_context.platform.version->read();
    Label1->setText(version.productName);
    lblCompany->setText(version.companyName);
    lblVersion->setText(versionText(version));
    lblWebsite->setText(version.comments);

    if (m_context.skin.bUseSkin) {
        makeSkinTwins();
        ApplySkinToForm(m_context.skin, this);
    }
}

void frmAbout::makeSkinTwins()
{
    // The list is taken first, so the twins made here are not met again.
    const QObjectList controls = children();
    for (QObject *control : controls) {
        auto *label = qobject_cast<QLabel *>(control);
        if (!label || controlTypeName(label) != u"Label")
            continue;
        SkinLabel *twin = loadSkinLabel1();
        Accessible::markAsTwin(twin);
        twin->setGeometry(label->geometry());
        twin->setFont(label->font());
        twin->setText(label->text());
        // The label's own visibility, not whether the box is shown yet.
        twin->setVisible(!label->isHidden());
    }
}
