#include "MainMenus.h"

#include "Form1.h"
#include "ProgramLock.h"
#include "settings/Settings.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

// Items outside a menu's control array: their index is none of its
// handler's.
constexpr int kNotAnItem = -1;

QAction *makeItem(QMenu *menu, const QString &name, int index, const QString &caption)
{
    auto *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setProperty("index", index);
    return action;
}

} // namespace

MainMenus::MainMenus(Form1 &window, Settings &settings)
    : QObject(&window)
    , m_window(window)
    , m_settings(settings)
{
    QMenuBar *bar = window.menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    // The first letter of each title opens its menu with Alt.
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuData = bar->addMenu(QStringLiteral("&Data"));
    mnuData->setObjectName(QStringLiteral("mnuData"));
    mnuCopy = bar->addMenu(QStringLiteral("&Copy"));
    mnuCopy->setObjectName(QStringLiteral("mnuCopy"));
    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout = bar->addMenu(QStringLiteral("&About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));

    mnuFileItem[0] = makeItem(mnuFile, QStringLiteral("mnuFileItem"), 0, QStringLiteral("E&xit"));
    buildFileItems();
    const QString dataCaptions[]
        = {QStringLiteral("&Add Username/Password"), QStringLiteral("&Delete Selected Item"),
           QStringLiteral("&Edit Selected Item"), QStringLiteral("&Goto \"Used At\" Location")};
    for (int i = 0; i < int(mnuDataItem.size()); ++i)
        mnuDataItem[size_t(i)]
            = makeItem(mnuData, QStringLiteral("mnuDataItem"), i, dataCaptions[i]);
    const QString copyCaptions[]
        = {QStringLiteral("Selected &Username"), QStringLiteral("Selected &Password"),
           QStringLiteral("Selected Used &At Location")};
    for (int i = 0; i < int(mnuCopyItem.size()); ++i)
        mnuCopyItem[size_t(i)]
            = makeItem(mnuCopy, QStringLiteral("mnuCopyItem"), i, copyCaptions[i]);
    mnuHelpItem[0]
        = makeItem(mnuHelp, QStringLiteral("mnuHelpItem"), 0, QStringLiteral("&View Help"));
    mnuAboutItem[0] = makeItem(mnuAbout, QStringLiteral("mnuAboutItem"), 0,
                               QStringLiteral("&About this software"));

    // The shortcut keys, shown in the menus; KeePassXC uses the same copy
    // keys. The first key of each item is the one shown.
    mnuFileItem[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuDataItem[0]->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_Insert)});
    mnuDataItem[1]->setShortcut(QKeySequence(Qt::Key_Delete));
    mnuDataItem[3]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    mnuCopyItem[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    mnuCopyItem[1]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuCopyItem[2]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    mnuHelpItem[0]->setShortcut(QKeySequence(Qt::Key_F1));
    // Enter edits only when it is pressed on the list (the window gives the
    // item to its list); elsewhere it keeps its own meaning.
    mnuDataItem[2]->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
    mnuDataItem[2]->setShortcutContext(Qt::WidgetShortcut);

    // Each menu passes its item's index to its one handler.
    Form1 *target = &window;
    const auto wire = [target](QMenu *menu, void (Form1::*handler)(int)) {
        connect(menu, &QMenu::triggered, target, [target, handler](QAction *action) {
            (target->*handler)(action->property("index").toInt());
        });
    };
    buildLockItems();
    wire(mnuFile, &Form1::mnuFileItem_Click);
    wire(mnuData, &Form1::mnuDataItem_Click);
    wire(mnuCopy, &Form1::mnuCopyItem_Click);
    wire(mnuHelp, &Form1::mnuHelpItem_Click);
    wire(mnuAbout, &Form1::mnuAboutItem_Click);
    buildDataItems();
}

void MainMenus::buildFileItems()
{
    // Import and Export, then the vault's own commands, stand above Exit,
    // outside the menu's array.
    const auto fileItem
        = [this](const QString &name, const QString &caption, void (Form1::*signal)()) {
              auto *action = new QAction(caption, mnuFile);
              action->setObjectName(name);
              action->setProperty("index", kNotAnItem);
              mnuFile->insertAction(mnuFileItem[0], action);
              connect(action, &QAction::triggered, &m_window, signal);
              return action;
          };
    mnuImport = fileItem(QStringLiteral("mnuImport"), QStringLiteral("&Import..."),
                         &Form1::importRequested);
    mnuExport = fileItem(QStringLiteral("mnuExport"), QStringLiteral("&Export..."),
                         &Form1::exportRequested);
    mnuFile->insertSeparator(mnuFileItem[0]);
    mnuEncrypt = fileItem(QStringLiteral("mnuEncrypt"), QStringLiteral("E&ncrypt Vault..."),
                          &Form1::encryptRequested);
    mnuRemoveEncryption
        = fileItem(QStringLiteral("mnuRemoveEncryption"), QStringLiteral("&Remove Encryption..."),
                   &Form1::removeEncryptionRequested);
    mnuChangePassword
        = fileItem(QStringLiteral("mnuChangePassword"),
                   QStringLiteral("Change &Master Password..."), &Form1::changePasswordRequested);
    showVaultFormat(false);
    mnuFile->insertSeparator(mnuFileItem[0]);
}

void MainMenus::showVaultFormat(bool encrypted)
{
    mnuEncrypt->setVisible(!encrypted);
    mnuRemoveEncryption->setVisible(encrypted);
}

void MainMenus::buildLockItems()
{
    QAction *exit = mnuFileItem[0];
    mnuLock = new QAction(QStringLiteral("&Lock"), mnuFile);
    mnuLock->setObjectName(QStringLiteral("mnuLock"));
    mnuLock->setProperty("index", kNotAnItem);
    mnuLock->setShortcut(ProgramLock::keys());
    // From whichever window of the program has the focus.
    mnuLock->setShortcutContext(Qt::ApplicationShortcut);
    mnuFile->insertAction(exit, mnuLock);
    connect(mnuLock, &QAction::triggered, &m_window, &Form1::lockRequested);

    mnuLockAfter = new QMenu(QStringLiteral("Lock &After"), mnuFile);
    mnuLockAfter->setObjectName(QStringLiteral("mnuLockAfter"));
    mnuFile->insertMenu(exit, mnuLockAfter);
    m_lockChoices = new QActionGroup(mnuLockAfter);
    for (const int minutes : {0, 1, 5, 10, 15, 30, 60})
        addLockChoice(minutes);

    mnuLockWithDesktop = new QAction(QStringLiteral("Lock &With the Desktop"), mnuFile);
    mnuLockWithDesktop->setObjectName(QStringLiteral("mnuLockWithDesktop"));
    mnuLockWithDesktop->setProperty("index", kNotAnItem);
    mnuLockWithDesktop->setCheckable(true);
    mnuFile->insertAction(exit, mnuLockWithDesktop);
    connect(mnuLockWithDesktop, &QAction::triggered, this,
            [this](bool on) { m_settings.setLockWithDesktop(on); });
    mnuFile->insertSeparator(exit);

    showLockSettings();
    connect(&m_settings, &Settings::changed, this, [this](Settings::Key key) {
        if (key == Settings::Key::LockAfterMinutes || key == Settings::Key::LockWithDesktop)
            showLockSettings();
    });
}

QAction *MainMenus::addLockChoice(int minutes)
{
    const QString caption = minutes == 0 ? QStringLiteral("&Never")
        : minutes == 1                   ? QStringLiteral("1 Minute of Inactivity")
                                         : QStringLiteral("%1 Minutes of Inactivity").arg(minutes);
    QAction *choice = mnuLockAfter->addAction(caption);
    choice->setCheckable(true);
    choice->setData(minutes);
    choice->setProperty("index", kNotAnItem);
    m_lockChoices->addAction(choice);
    connect(choice, &QAction::triggered, this,
            [this, minutes] { m_settings.setLockAfterMinutes(minutes); });
    return choice;
}

void MainMenus::showLockSettings()
{
    const int minutes = m_settings.lockAfterMinutes();
    bool listed = false;
    for (QAction *choice : mnuLockAfter->actions()) {
        const bool chosen = choice->data().toInt() == minutes;
        choice->setChecked(chosen);
        listed = listed || chosen;
    }
    // A length set in the settings file that the menu does not offer.
    if (!listed)
        addLockChoice(minutes)->setChecked(true);
    mnuLockWithDesktop->setChecked(m_settings.lockWithDesktop());
}

void MainMenus::buildDataItems()
{
    // Not items of the Data menu's control array: the array's handler
    // passes them by.
    mnuFind = makeItem(mnuData, QStringLiteral("mnuFind"), kNotAnItem, QStringLiteral("&Find..."));
    mnuFind->setShortcut(QKeySequence::Find);
    connect(mnuFind, &QAction::triggered, &m_window, &Form1::mnuFind_Click);

    mnuHidePasswords = makeItem(mnuData, QStringLiteral("mnuHidePasswords"), kNotAnItem,
                                QStringLiteral("&Hide Passwords"));
    mnuHidePasswords->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    mnuHidePasswords->setCheckable(true);
    mnuHidePasswords->setChecked(m_settings.hidePasswords());
    connect(mnuHidePasswords, &QAction::toggled, &m_window, &Form1::mnuHidePasswords_Click);

    // Sorting from the keyboard: one item per column, as a click on its
    // header.
    mnuSortBy = mnuData->addMenu(QStringLiteral("&Sort by"));
    mnuSortBy->setObjectName(QStringLiteral("mnuSortBy"));
    const QString sortCaptions[] = {QStringLiteral("&Username"), QStringLiteral("&Password"),
                                    QStringLiteral("&Website/Location")};
    for (int i = 0; i < int(mnuSortItem.size()); ++i) {
        // Passed by the Data menu's handler, which sees the item too.
        QAction *item
            = makeItem(mnuSortBy, QStringLiteral("mnuSortItem"), kNotAnItem, sortCaptions[i]);
        item->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)));
        connect(item, &QAction::triggered, &m_window,
                [target = &m_window, i] { target->mnuSortItem_Click(i); });
        mnuSortItem[size_t(i)] = item;
    }
}
