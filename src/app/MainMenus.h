#pragma once

#include "vault/VaultFormat.h"

#include <QList>
#include <QObject>

#include <functional>

class QAction;
class QActionGroup;
class QKeySequence;
class QMenu;
class QMenuBar;
class Settings;

// What the items of the main window's menus run, each item its own.
struct MainMenuHandlers
{
    // File.
    std::function<void()> importVault;
    std::function<void()> exportVault;
    std::function<void()> encrypt;
    std::function<void()> removeEncryption;
    std::function<void()> changePassword;
    std::function<void()> lock;
    std::function<void()> exit;
    // Data.
    std::function<void()> add;
    std::function<void()> remove;
    std::function<void()> edit;
    std::function<void()> goTo;
    std::function<void()> find;
    std::function<void(bool hide)> hidePasswords;
    std::function<void(Field field)> sortBy;
    // Copy.
    std::function<void(Field field)> copy;
    // Help and About.
    std::function<void()> help;
    std::function<void()> about;
};

// The main window's menu bar: File, Data, Copy, Help and About, their items
// with captions, keys and names, each item wired to its handler. The items
// of a menu's control array carry their index. The lock settings under File
// follow the settings.
class MainMenus : public QObject
{
    Q_OBJECT

public:
    MainMenus(QMenuBar *bar, Settings &settings, const MainMenuHandlers &handlers);

    // Shows "Encrypt Vault..." while the vault is scrambled, "Remove
    // Encryption..." while it is encrypted.
    void showVaultFormat(bool encrypted);
    // Checks Data, "Hide Passwords" or not.
    void showPasswordsHidden(bool hidden);

    // Data, "Edit Selected Item": its Enter keys act only in a widget that
    // is given the item.
    QAction *editItem() const { return m_edit; }
    // The keys of the Copy menu's items, in the order of the fields.
    QList<QKeySequence> copyKeys() const;

private:
    // File: Import and Export, the vault's own commands, the lock, Exit.
    void buildFile(QMenu *menu, const MainMenuHandlers &handlers);
    // File, "Lock", and the two lock settings under it.
    void buildLockItems(QMenu *menu, const MainMenuHandlers &handlers);
    void showLockSettings();
    // One choice of File, "Lock After", checked with the others in its group.
    QAction *addLockChoice(int minutes);
    // Data: the commands on entries, "Find...", "Hide Passwords" and "Sort
    // by".
    void buildData(QMenu *menu, const MainMenuHandlers &handlers);
    // An item named and captioned so, at the end of the menu, that runs
    // `run`; an item of a control array is given its index.
    QAction *addItem(QMenu *menu, const QString &name, const QString &caption,
                     const std::function<void()> &run, int index = -1);

    Settings &m_settings;
    QAction *m_encrypt = nullptr;
    QAction *m_removeEncryption = nullptr;
    QMenu *m_lockAfter = nullptr;
    QActionGroup *m_lockChoices = nullptr;
    QAction *m_lockWithDesktop = nullptr;
    QAction *m_edit = nullptr;
    QAction *m_hidePasswords = nullptr;
    QList<QAction *> m_copyItems;
};
