#include "MainMenus.h"

#include "ProgramLock.h"
#include "settings/Settings.h"
#include "vault/EntryFields.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu *addMenu(QMenuBar *bar, const QString &name, const QString &title)
{
    QMenu *menu = bar->addMenu(title);
    menu->setObjectName(name);
    return menu;
}

// An item named and captioned so, at the end of the menu.
QAction *namedItem(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

} // namespace

MainMenus::MainMenus(QMenuBar *bar, Settings &settings, const MainMenuHandlers &handlers)
    : QObject(bar)
    , m_settings(settings)
{
    bar->setObjectName(QStringLiteral("menuBar"));
    // The first letter of each title opens its menu with Alt.
    QMenu *mnuFile = addMenu(bar, QStringLiteral("mnuFile"), QStringLiteral("&File"));
    QMenu *mnuData = addMenu(bar, QStringLiteral("mnuData"), QStringLiteral("&Data"));
    QMenu *mnuCopy = addMenu(bar, QStringLiteral("mnuCopy"), QStringLiteral("&Copy"));
    QMenu *mnuHelp = addMenu(bar, QStringLiteral("mnuHelp"), QStringLiteral("&Help"));
    QMenu *mnuAbout = addMenu(bar, QStringLiteral("mnuAbout"), QStringLiteral("&About"));

    buildFile(mnuFile, handlers);
    buildData(mnuData, handlers);

    // The shortcut keys, shown in the menus; KeePassXC uses the same copy
    // keys.
    for (const EntryField &field : kEntryFields) {
        QAction *item = addItem(
            mnuCopy, QStringLiteral("mnuCopyItem"), field.copyItem.toString(),
            [copy = handlers.copy, which = field.field] { copy(which); }, int(field.field));
        item->setShortcut(QKeySequence(Qt::CTRL | field.copyKey));
        m_copyItems.append(item);
    }

    addItem(mnuHelp, QStringLiteral("mnuHelpItem"), QStringLiteral("&View Help"), handlers.help, 0)
        ->setShortcut(QKeySequence(Qt::Key_F1));
    addItem(mnuAbout, QStringLiteral("mnuAboutItem"), QStringLiteral("&About this software"),
            handlers.about, 0);
}

QAction *MainMenus::addItem(QMenu *menu, const QString &name, const QString &caption,
                            const std::function<void()> &run, int index)
{
    QAction *action = namedItem(menu, name, caption);
    if (index >= 0)
        action->setProperty("index", index);
    connect(action, &QAction::triggered, this, run);
    return action;
}

QList<QKeySequence> MainMenus::copyKeys() const
{
    QList<QKeySequence> keys;
    for (const QAction *item : m_copyItems)
        keys.append(item->shortcut());
    return keys;
}

void MainMenus::buildFile(QMenu *menu, const MainMenuHandlers &handlers)
{
    addItem(menu, QStringLiteral("mnuImport"), QStringLiteral("&Import..."), handlers.importVault);
    addItem(menu, QStringLiteral("mnuExport"), QStringLiteral("&Export..."), handlers.exportVault);
    menu->addSeparator();
    m_encrypt = addItem(menu, QStringLiteral("mnuEncrypt"), QStringLiteral("E&ncrypt Vault..."),
                        handlers.encrypt);
    m_removeEncryption
        = addItem(menu, QStringLiteral("mnuRemoveEncryption"),
                  QStringLiteral("&Remove Encryption..."), handlers.removeEncryption);
    addItem(menu, QStringLiteral("mnuChangePassword"), QStringLiteral("Change &Master Password..."),
            handlers.changePassword);
    showVaultFormat(false);
    menu->addSeparator();
    buildLockItems(menu, handlers);
    menu->addSeparator();
    addItem(menu, QStringLiteral("mnuFileItem"), QStringLiteral("E&xit"), handlers.exit, 0)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void MainMenus::showVaultFormat(bool encrypted)
{
    m_encrypt->setVisible(!encrypted);
    m_removeEncryption->setVisible(encrypted);
}

void MainMenus::buildLockItems(QMenu *menu, const MainMenuHandlers &handlers)
{
    QAction *lock
        = addItem(menu, QStringLiteral("mnuLock"), QStringLiteral("&Lock"), handlers.lock);
    lock->setShortcut(ProgramLock::keys());
    // From whichever window of the program has the focus.
    lock->setShortcutContext(Qt::ApplicationShortcut);

    m_lockAfter = menu->addMenu(QStringLiteral("Lock &After"));
    m_lockAfter->setObjectName(QStringLiteral("mnuLockAfter"));
    m_lockChoices = new QActionGroup(m_lockAfter);
    for (const int minutes : {0, 1, 5, 10, 15, 30, 60})
        addLockChoice(minutes);

    m_lockWithDesktop = namedItem(menu, QStringLiteral("mnuLockWithDesktop"),
                                  QStringLiteral("Lock &With the Desktop"));
    m_lockWithDesktop->setCheckable(true);
    connect(m_lockWithDesktop, &QAction::triggered, this,
            [this](bool on) { m_settings.setLockWithDesktop(on); });

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
    QAction *choice = m_lockAfter->addAction(caption);
    choice->setCheckable(true);
    choice->setData(minutes);
    m_lockChoices->addAction(choice);
    connect(choice, &QAction::triggered, this,
            [this, minutes] { m_settings.setLockAfterMinutes(minutes); });
    return choice;
}

void MainMenus::showLockSettings()
{
    const int minutes = m_settings.lockAfterMinutes();
    bool listed = false;
    for (QAction *choice : m_lockAfter->actions()) {
        const bool chosen = choice->data().toInt() == minutes;
        choice->setChecked(chosen);
        listed = listed || chosen;
    }
    // A length set in the settings file that the menu does not offer.
    if (!listed)
        addLockChoice(minutes)->setChecked(true);
    m_lockWithDesktop->setChecked(m_settings.lockWithDesktop());
}

void MainMenus::buildData(QMenu *menu, const MainMenuHandlers &handlers)
{
    const QString name = QStringLiteral("mnuDataItem");
    addItem(menu, name, QStringLiteral("&Add Username/Password"), handlers.add, 0)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_Insert)});
    addItem(menu, name, QStringLiteral("&Delete Selected Item"), handlers.remove, 1)
        ->setShortcut(QKeySequence(Qt::Key_Delete));
    m_edit = addItem(menu, name, QStringLiteral("&Edit Selected Item"), handlers.edit, 2);
    // Enter edits only when it is pressed where the item is given (the
    // window gives it to its list); elsewhere it keeps its own meaning.
    m_edit->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
    m_edit->setShortcutContext(Qt::WidgetShortcut);
    addItem(menu, name, QStringLiteral("&Goto \"Used At\" Location"), handlers.goTo, 3)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));

    addItem(menu, QStringLiteral("mnuFind"), QStringLiteral("&Find..."), handlers.find)
        ->setShortcut(QKeySequence::Find);

    m_hidePasswords
        = namedItem(menu, QStringLiteral("mnuHidePasswords"), QStringLiteral("&Hide Passwords"));
    m_hidePasswords->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    m_hidePasswords->setCheckable(true);
    m_hidePasswords->setChecked(m_settings.hidePasswords());
    connect(m_hidePasswords, &QAction::toggled, this, handlers.hidePasswords);

    // Sorting from the keyboard: one item per column, as a click on its
    // header.
    QMenu *sortBy = menu->addMenu(QStringLiteral("&Sort by"));
    sortBy->setObjectName(QStringLiteral("mnuSortBy"));
    for (const EntryField &field : kEntryFields) {
        addItem(sortBy, QStringLiteral("mnuSortItem"), field.sortItem.toString(),
                [sort = handlers.sortBy, which = field.field] { sort(which); })
            ->setShortcut(QKeySequence(Qt::CTRL | field.sortKey));
    }
}

void MainMenus::showPasswordsHidden(bool hidden)
{
    m_hidePasswords->setChecked(hidden);
}
