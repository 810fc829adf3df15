#include "Form8.h"

#include "HelpPlacement.h"
#include "RtfReader.h"
#include "ShowHelpSetting.h"
#include "platform/UrlOpener.h"
#include "skin/Skinning.h"
#include "skin/Topmost.h"
#include "vault/FileExists.h"
#include "widgets/Controls.h"
#include "widgets/Twips.h"
#include "widgets/WindowContext.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>

namespace {

// The box's states by their stored numbers: 0 unticked, 1 ticked, 2 partly.
Qt::CheckState checkStateFor(int value)
{
    switch (value) {
    case 0:
        return Qt::Unchecked;
    case 2:
        return Qt::PartiallyChecked;
    default:
        return Qt::Checked;
    }
}

int valueOf(Qt::CheckState state)
{
    switch (state) {
    case Qt::Unchecked:
        return 0;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Checked:
        break;
    }
    return 1;
}

} // namespace

Form8::Form8(WindowContext &context, QString helpPath, const QString &vaultPath)
    : Dialog(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
             | Qt::MSWindowsFixedSizeDialogHint)
    , m_context(context)
    , m_helpPath(std::move(helpPath))
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Readme/Help"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/help.png")));
    setFixedSize(Twips::size(10290, 7920));

    rtf1 = new QTextBrowser(this);
    rtf1->setObjectName(QStringLiteral("rtf1"));
    rtf1->setAccessibleName(QStringLiteral("Help text"));
    rtf1->setGeometry(Twips::rect(0, 0, 10275, 7515));
    rtf1->setPlaceholderText(QStringLiteral("No help text to show."));
    rtf1->setReadOnly(true);
    rtf1->setTabChangesFocus(true);
    // Links are opened by the desktop's web browser, never inside the box.
    rtf1->setOpenLinks(false);
    connect(rtf1, &QTextBrowser::anchorClicked, this, &Form8::rtf1_AnchorClicked);
    // The text keeps its own page: the skin colours the window, not the
    // help text, which is written for a light page.
    QPalette page = rtf1->palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (const QPalette::ColorRole role :
             {QPalette::Base, QPalette::Text, QPalette::Highlight, QPalette::HighlightedText,
              QPalette::Link, QPalette::LinkVisited, QPalette::PlaceholderText})
            page.setColor(group, role, page.color(group, role));
    }
    rtf1->setPalette(page);

    Check1 = new QCheckBox(QStringLiteral("&Show at Startup"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(Twips::rect(60, 7620, 1995, 255));
    Check1->setCheckState(Qt::Checked);
    connect(Check1, &QCheckBox::stateChanged, this, &Form8::Check1_Click);

    // Where the vault is: beside the program, or in the user's data folder.
    const QString vault = QDir::toNativeSeparators(vaultPath);
    const QString named = QStringLiteral("Vault file: ") + vault;
    lblVault = new QLabel(this);
    lblVault->setObjectName(QStringLiteral("lblVault"));
    lblVault->setGeometry(Twips::rect(2160, 7620, 8070, 255));
    lblVault->setText(
        lblVault->fontMetrics().elidedText(named, Qt::ElideMiddle, lblVault->width()));
    lblVault->setToolTip(vault);
    lblVault->setAccessibleName(named);
    lblVault->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    setTabOrder(rtf1, Check1);
    setTabOrder(Check1, lblVault);
    Controls::centreOnScreen(this);
}

QSize Form8::outerSizeBeside(const QWidget &anchor) const
{
    return size() + (anchor.frameGeometry().size() - anchor.geometry().size());
}

void Form8::place(QWidget &anchor)
{
    const QScreen *screen = anchor.screen();
    if (!screen)
        return;
    const QSize anchorOuter = anchor.frameGeometry().size();
    const HelpPlacement::Pair pair
        = HelpPlacement::arrange(anchorOuter, outerSizeBeside(anchor), screen->availableGeometry());
    if (!anchor.isMaximized() && !anchor.isFullScreen())
        anchor.move(pair.anchor);
    if (isVisible()) {
        move(pair.beside);
        return;
    }
    // Not shown yet, its frame is not known: its client area is placed
    // where it lies within a frame like the anchor's, so that the two
    // frames stand level.
    const QPoint inFrame = anchor.geometry().topLeft() - anchor.frameGeometry().topLeft();
    setGeometry(QRect(pair.beside + inFrame, size()));
}

void Form8::formLoad()
{
    if (m_context.skin.bUseSkin)
        ApplySkinToForm(m_context.skin, this);

    // The file as it is named on disk: the file-exists test ignores letter
    // case, so "help.rtf" is found on systems that do not.
    const QString onDisk = foundFilePath(m_helpPath);
    if (onDisk.isEmpty()) {
        // The opener shows the window all the same; it says what is missing
        // rather than standing empty. The rest of the load is skipped.
        showMissingHelp(m_helpPath);
        return;
    }
    loadHelpText(onDisk);
    SetTopmost(this, true);
    setBoxFromSetting();
}

void Form8::showMissingHelp(const QString &path)
{
    const QFileInfo info(path);
    rtf1->setPlainText(
        QStringLiteral("The help file \"%1\" could not be found.\n\n"
                       "It was looked for in this folder:\n%2\n\n"
                       "Put the file in that folder, beside the program, and open the "
                       "help again.")
            .arg(fileNamePart(path), QDir::toNativeSeparators(info.absolutePath())));
}

void Form8::loadHelpText(const QString &path)
{
    // A file that cannot be read leaves the placeholder in the box; nothing
    // is reported.
    if (RtfReader::readFile(path, rtf1->document()))
        rtf1->moveCursor(QTextCursor::Start);
}

void Form8::setBoxFromSetting()
{
    const QString stored = m_context.settings.showHelp();
    // A value that is no state of the box leaves it as it is, and the stored
    // value stays until the box is clicked.
    if (const std::optional<int> value = ShowHelpSetting::checkBoxValue(stored))
        Check1->setCheckState(checkStateFor(*value));
}

void Form8::Check1_Click()
{
    const Qt::CheckState state = Check1->checkState();
    // Once the box leaves the partly ticked state, clicks only tick and
    // untick it.
    if (state != Qt::PartiallyChecked)
        Check1->setTristate(false);
    m_context.settings.setShowHelp(ShowHelpSetting::storedText(valueOf(state)));
}

void Form8::rtf1_AnchorClicked(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == u"http" || scheme == u"https" || scheme == u"mailto")
        m_context.platform.urls->openUrl(url.toString());
}
