#include "frmPass.h"

#include "PasswordBox.h"
#include "PasswordRules.h"
#include "platform/MessageBoxes.h"
#include "skin/SkinLabel.h"
#include "skin/Skinning.h"
#include "skin/Topmost.h"
#include "widgets/Controls.h"
#include "widgets/Twips.h"
#include "widgets/WindowContext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>
#include <QWindow>

namespace {

constexpr int kKeyEnter = 13;

// The client area as designed.
constexpr double kClientWidth = 6825;
constexpr double kClientHeight = 1800;

// Where each control's position in twips is kept, so that positions
// computed from other positions stay exact rather than rounded to pixels.
constexpr char kTwipsProperty[] = "twipsGeometry";

// Shows '*' for every character of a password box, whatever the platform's
// own masking character is.
class PasswordMaskStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

frmPass::frmPass(WindowContext &context, bool createMode)
    : Dialog(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
             | Qt::MSWindowsFixedSizeDialogHint)
    , m_context(context)
    , m_createMode(createMode)
{
    setObjectName(QStringLiteral("frmPass"));
    setWindowTitle(QStringLiteral("Password Required"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    setFont(Controls::verdana());
    setFixedSize(Twips::size(kClientWidth, kClientHeight));

    // The password boxes share one style that masks with '*'; it is built
    // on the application's own style.
    QStyle *base = QStyleFactory::create(QApplication::style()->name());
    m_maskStyle = new PasswordMaskStyle(base);
    m_maskStyle->setParent(this);

    // Created in tab order, which is also the order the focus takes.
    SkinLabel1 = new SkinLabel(PasswordRules::enterText(), this);
    SkinLabel1->setObjectName(QStringLiteral("SkinLabel1"));
    placeTwips(SkinLabel1, 120, 60, 6615, 315);

    const auto makeButton = [this](const QString &name, const QString &caption) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setAccessibleName(Controls::withoutMnemonic(caption));
        // Neither button answers Enter or Esc for the window.
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    };
    cmdOK = makeButton(QStringLiteral("cmdOK"), QStringLiteral("&Ok"));
    placeTwips(cmdOK, 4500, 1260, 1095, 495);
    cmdCancel = makeButton(QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"));
    placeTwips(cmdCancel, 5700, 1260, 1035, 495);

    const auto makePasswordBox = [this](const QString &name) {
        auto *box = new QLineEdit(this);
        box->setObjectName(name);
        box->setEchoMode(QLineEdit::Password);
        box->setStyle(m_maskStyle);
        box->installEventFilter(this);
        // Alt and a letter is for the underlined letters, never typed.
        Controls::refuseAltTyping(box);
        return box;
    };
    txtPass = makePasswordBox(QStringLiteral("txtPass"));
    placeTwips(txtPass, 1740, 480, 4995, 315);
    SkinLabel2 = new SkinLabel(QStringLiteral("&Password:"), this);
    SkinLabel2->setObjectName(QStringLiteral("SkinLabel2"));
    SkinLabel2->setBuddy(txtPass);
    txtPass->setAccessibleName(Controls::withoutMnemonic(SkinLabel2->text()));
    placeTwips(SkinLabel2, 120, 540, 915, 255);

    txtPass2 = makePasswordBox(QStringLiteral("txtPass2"));
    placeTwips(txtPass2, 1740, 2400, 4995, 315);
    SkinLabel3 = new SkinLabel(QStringLiteral("&Retype Password:"), this);
    SkinLabel3->setObjectName(QStringLiteral("SkinLabel3"));
    SkinLabel3->setBuddy(txtPass2);
    txtPass2->setAccessibleName(Controls::withoutMnemonic(SkinLabel3->text()));
    placeTwips(SkinLabel3, 120, 2460, 1935, 255);

    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, txtPass);
    setTabOrder(txtPass, txtPass2);

    connect(cmdOK, &QPushButton::clicked, this, &frmPass::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPass::cmdCancel_Click);
}

frmPass::~frmPass()
{
    if (m_checking)
        QApplication::restoreOverrideCursor();
    wipeBoxes();
    // The boxes must let go of the style before it goes.
    txtPass->setStyle(nullptr);
    txtPass2->setStyle(nullptr);
}

void frmPass::formLoad()
{
    intTries = 0;
    if (m_createMode)
        layoutForCreate();
    else
        layoutForEnter();
    centreOnScreen();

    raise();
    SetTopmost(this, true);
    txtPass->clear();
    // Typing goes straight into the password box; the tab order is kept.
    txtPass->setFocus();
    if (m_context.skin.bUseSkin)
        ApplySkinToForm(m_context.skin, this);
}

void frmPass::layoutForCreate()
{
    SkinLabel1->setText(PasswordRules::firstRunText(m_context.branding.strProductName));
    const QRectF label = SkinLabel1->property(kTwipsProperty).toRectF();
    placeTwips(SkinLabel1, label.left(), label.top(), label.width(), 1500);
    setTopTwips(txtPass, 1700);
    setTopTwips(txtPass2, heightTwips(txtPass) + 1700 + 60);
    setTopTwips(cmdOK, heightTwips(txtPass2) + topTwips(txtPass2) + 60);
    setTopTwips(cmdCancel, topTwips(cmdOK));
    setTopTwips(SkinLabel3, topTwips(txtPass2));
    SkinLabel3->setVisible(true);
    setTopTwips(SkinLabel2, topTwips(txtPass));
    txtPass2->setVisible(true);
    setOuterHeightTwips(heightTwips(cmdOK) + topTwips(cmdOK) + 60 + 500);
}

void frmPass::layoutForEnter()
{
    setOuterHeightTwips(1845);
    SkinLabel1->setText(PasswordRules::enterText());
    setTopTwips(txtPass, 360);
    setTopTwips(cmdOK, 780);
    setTopTwips(cmdCancel, 780);
    SkinLabel3->setVisible(false);
    setTopTwips(SkinLabel2, topTwips(txtPass));
    txtPass2->setVisible(false);
}

void frmPass::cmdOK_Click()
{
    if (m_createMode)
        createPassword();
    else
        enterPassword();
}

void frmPass::createPassword()
{
    using PasswordRules::NewPasswordCheck;
    QString typed = txtPass->text();
    switch (PasswordRules::checkNewPassword(typed, txtPass2->text())) {
    case NewPasswordCheck::TooShort:
        showBelowOthers(PasswordRules::tooShortText());
        return;
    case NewPasswordCheck::Mismatch: {
        SetTopmost(this, false);
        const QPointer<frmPass> self(this);
        showMessage(PasswordRules::mismatchText(), MessageBox::OkOnly);
        if (!self)
            return;
        typed = QString();
        wipeBoxes();
        SetTopmost(this, true);
        return;
    }
    case NewPasswordCheck::Unstorable:
        // Refused before anything is written; both boxes keep their text so
        // that the user can correct it.
        showBelowOthers(PasswordRules::unstorableText(PasswordRules::firstUnstorable(typed)));
        return;
    case NewPasswordCheck::Accepted:
        break;
    }
    // From here on the password lives in secure memory only; the boxes are
    // wiped first.
    const MasterPassword created = MasterPassword::fromText(typed);
    typed = QString();
    wipeBoxes();
    m_accepted = true;
    // The receiver unloads this window; nothing of it may run afterwards.
    emit passwordCreated(created);
}

int frmPass::showMessage(const QString &text, int style, const QString &title)
{
    return m_context.platform.messages->show(text, style, title);
}

void frmPass::wipeBoxes()
{
    PasswordBox::wipe(txtPass);
    PasswordBox::wipe(txtPass2);
}

void frmPass::enterPassword()
{
    // One password at a time: Enter or Ok again while the owner checks one
    // does nothing.
    if (m_waiting)
        return;
    m_waiting = true;
    const QPointer<frmPass> self(this);
    // Copied before it is offered: no text of the box's may outlive the
    // offer, or wiping the box would leave that copy to the receiver.
    const MasterPassword typed = MasterPassword::fromText(txtPass->text());
    emit passwordOffered(typed);
    // The answer may have come already, and this window gone with it;
    // otherwise it takes a while, and the window says so meanwhile.
    if (self && m_waiting)
        setChecking(true);
}

void frmPass::passwordConfirmed()
{
    m_waiting = false;
    setChecking(false);
    m_accepted = true;
    wipeBoxes();
}

void frmPass::passwordRefused()
{
    m_waiting = false;
    setChecking(false);
    wrongPassword();
}

void frmPass::setChecking(bool checking)
{
    if (checking == m_checking)
        return;
    m_checking = checking;
    txtPass->setReadOnly(checking);
    cmdOK->setEnabled(!checking);
    SkinLabel1->setText(checking ? PasswordRules::checkingText() : PasswordRules::enterText());
    if (checking)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmPass::wrongPassword()
{
    const QPointer<frmPass> self(this);
    const int answer = showMessage(PasswordRules::wrongPasswordText(), MessageBox::RetryCancel,
                                   PasswordRules::wrongPasswordTitle());
    if (!self)
        return;
    if (answer != MessageBox::Retry) {
        emit endRequested();
        return;
    }
    ++intTries;
    if (intTries == PasswordRules::kMaximumTries) {
        showMessage(PasswordRules::tooManyTriesText(), MessageBox::OkOnly);
        if (!self)
            return;
        emit endRequested();
        return;
    }
    wipeBoxes();
}

void frmPass::showBelowOthers(const QString &text)
{
    SetTopmost(this, false);
    const QPointer<frmPass> self(this);
    showMessage(text, MessageBox::OkOnly);
    if (!self)
        return;
    SetTopmost(this, true);
}

void frmPass::cmdCancel_Click()
{
    emit endRequested();
}

void frmPass::txtPass_KeyPress(int keyAscii)
{
    if (keyAscii == kKeyEnter)
        cmdOK_Click();
}

void frmPass::txtPass2_KeyPress(int keyAscii)
{
    // Enter in the retype box submits as well: it is where the user is when
    // both boxes are filled in.
    if (keyAscii == kKeyEnter)
        cmdOK_Click();
}

bool frmPass::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == txtPass || watched == txtPass2)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        int keyAscii = 0;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            keyAscii = kKeyEnter;
        else if (!key->text().isEmpty())
            keyAscii = key->text().at(0).unicode();
        if (keyAscii != 0) {
            // The key is not suppressed: it goes on to the box afterwards,
            // unless the handler handed over and the window is gone.
            const QPointer<QObject> box(watched);
            if (watched == txtPass)
                txtPass_KeyPress(keyAscii);
            else
                txtPass2_KeyPress(keyAscii);
            if (!box)
                return true;
        }
    }
    return Dialog::eventFilter(watched, event);
}

void frmPass::closeEvent(QCloseEvent *event)
{
    event->accept();
    // Closed before a password was accepted: the program cannot go on.
    if (!m_accepted)
        emit endRequested();
}

void frmPass::keyPressEvent(QKeyEvent *event)
{
    // Esc does nothing here: there is no way out but a password or Cancel.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    Dialog::keyPressEvent(event);
}

bool frmPass::event(QEvent *event)
{
    const bool result = Dialog::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        // A window manager may add its frame after the window is shown,
        // without moving it; the window is activated once it is managed.
        fitOuterHeight();
        break;
    default:
        break;
    }
    return result;
}

void frmPass::setOuterHeightTwips(double twips)
{
    m_outerHeightTwips = twips;
    fitOuterHeight();
}

void frmPass::fitOuterHeight()
{
    if (m_outerHeightTwips <= 0)
        return;
    // The frame is known only once the window is shown and managed; until
    // then the last one seen counts (none at first). A new native window,
    // as keep-on-top makes, reports none for a moment: that is not taken.
    if (isVisible()) {
        const QWindow *native = windowHandle();
        const QMargins margins = native ? native->frameMargins() : QMargins();
        const int frame = margins.top() + margins.bottom();
        if (frame > 0 && frame != m_frameHeight) {
            const bool firstSeen = m_frameHeight == 0;
            m_frameHeight = frame;
            if (firstSeen)
                QTimer::singleShot(0, this, &frmPass::centreOnScreen);
        }
    }
    const int clientHeight = Twips::toPixels(m_outerHeightTwips) - m_frameHeight;
    if (clientHeight != minimumHeight() || clientHeight != maximumHeight())
        setFixedHeight(clientHeight);
}

void frmPass::centreOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The position of a window is that of its frame.
    QSize outer = size();
    if (const QWindow *native = isVisible() ? windowHandle() : nullptr)
        outer = outer.grownBy(native->frameMargins());
    move(screen->availableGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2));
}

void frmPass::placeTwips(QWidget *control, double left, double top, double width, double height)
{
    control->setProperty(kTwipsProperty, QRectF(left, top, width, height));
    control->setGeometry(Twips::rect(left, top, width, height));
}

void frmPass::setTopTwips(QWidget *control, double top)
{
    const QRectF at = control->property(kTwipsProperty).toRectF();
    placeTwips(control, at.left(), top, at.width(), at.height());
}

double frmPass::topTwips(const QWidget *control) const
{
    return control->property(kTwipsProperty).toRectF().top();
}

double frmPass::heightTwips(const QWidget *control) const
{
    return control->property(kTwipsProperty).toRectF().height();
}
