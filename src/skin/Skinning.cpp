#include "Skinning.h"

#include "Skin.h"
#include "SkinCompanion.h"
#include "SkinLabel.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTreeView>
#include <QWidget>

SkinState::SkinState() = default;
SkinState::~SkinState() = default;

SkinCompanion &SkinState::companion()
{
    if (!objSkinCompanion)
        objSkinCompanion = std::make_unique<SkinCompanion>();
    return *objSkinCompanion;
}

QString controlTypeName(const QObject *control)
{
    // A control may name its kind itself (a picture box is a QLabel too).
    const QVariant declared = control->property("controlType");
    if (declared.isValid())
        return declared.toString();
    if (qobject_cast<const SkinLabel *>(control))
        return QStringLiteral("SkinLabel");
    if (qobject_cast<const QCheckBox *>(control))
        return QStringLiteral("CheckBox");
    if (qobject_cast<const QRadioButton *>(control))
        return QStringLiteral("OptionButton");
    if (qobject_cast<const QAbstractButton *>(control))
        return QStringLiteral("CommandButton");
    if (qobject_cast<const QLineEdit *>(control) || qobject_cast<const QPlainTextEdit *>(control)
        || qobject_cast<const QAbstractSpinBox *>(control))
        return QStringLiteral("TextBox");
    if (qobject_cast<const QComboBox *>(control))
        return QStringLiteral("ComboBox");
    if (qobject_cast<const QTextBrowser *>(control))
        return QStringLiteral("RichTextBox");
    if (qobject_cast<const QTreeView *>(control))
        return QStringLiteral("ListView");
    if (qobject_cast<const QListView *>(control))
        return QStringLiteral("ListBox");
    if (qobject_cast<const QLabel *>(control))
        return QStringLiteral("Label");
    if (qobject_cast<const QStatusBar *>(control))
        return QStringLiteral("StatusBar");
    if (qobject_cast<const QMenuBar *>(control) || qobject_cast<const QMenu *>(control))
        return QStringLiteral("Menu");
    return QString::fromLatin1(control->metaObject()->className());
}

void ColorControlsFromSkin(QWidget *window, quint32 back, quint32 fore, quint32 panel,
                           quint32 panelText)
{
    Q_UNUSED(panelText); // the skin itself draws text in it
    const QColor backColour = QColor::fromRgb(back);
    // The fore colour as text on the back colour: moved just as far
    // toward white as text needs to be read (4.5:1).
    const QColor readableFore = QColor::fromRgb(withContrast(fore, back, 4.5));
    const QColor panelColour = QColor::fromRgb(panel);

    const QList<QWidget *> controls = window->findChildren<QWidget *>();
    for (QWidget *control : controls) {
        // Only the window's own controls, not the parts Qt builds inside
        // them (scroll bars, viewports, headers).
        if (control->objectName().isEmpty() || control->objectName().startsWith(u"qt_"))
            continue;
        QPalette palette = control->palette();
        switch (skinRoleFor(controlTypeName(control))) {
        case SkinRole::BackOnly:
            palette.setColor(QPalette::Button, backColour);
            break;
        case SkinRole::BackAndFore:
            palette.setColor(QPalette::Base, backColour);
            palette.setColor(QPalette::Button, backColour);
            palette.setColor(QPalette::Text, readableFore);
            palette.setColor(QPalette::WindowText, readableFore);
            break;
        case SkinRole::PanelBackground:
            palette.setColor(QPalette::Window, panelColour);
            control->setAutoFillBackground(true);
            break;
        case SkinRole::Untouched:
            continue;
        }
        control->setPalette(palette);
    }
}

void ResetWindowRegion(QWidget *window)
{
    // The outline used to be a rectangle the size of the window's outer
    // size in twips taken as pixels: always larger than the window, so the
    // window keeps its whole plain rectangle. No mask does the same.
    window->clearMask();
}

void ApplySkinToForm(SkinState &state, QWidget *window)
{
    if (!window || !state.objSkin)
        return;
    const SkinColours colours = state.objSkin->colours();
    ColorControlsFromSkin(window, colours.back, colours.fore, colours.panel, colours.panelText);
    if (IsNt6OrLater() && state.bUseSkin)
        ResetWindowRegion(window);
    state.objSkin->applyTo(window);
}

void InitSkinForMainWindow(SkinState &state)
{
    if (IsNt6OrLater())
        state.companion().stop();
}

void startSkin(SkinState &state, Skin *skin, QWidget *splash)
{
    state.objSkin = skin;
    ApplySkinToForm(state, splash);
    SkinCompanion &companion = state.companion();
    if (companion.attach(skin->object()))
        companion.start();
}

void stopSkin(SkinState &state)
{
    state.companion().stop();
}
