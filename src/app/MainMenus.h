#pragma once

#include <QObject>

#include <array>

class Form1;
class QAction;
class QActionGroup;
class QMenu;
class Settings;

// The main window's menu bar: File, Data, Copy, Help and About, their items
// with captions, keys and names, wired to the window's handlers and signals.
// The items of a menu's control array carry their index, which the menu
// passes to its one handler; items outside the array carry -1, which the
// handler passes by. The lock settings under File follow the settings.
class MainMenus : public QObject
{
    Q_OBJECT

public:
    MainMenus(Form1 &window, Settings &settings);

    // Shows "Encrypt Vault..." while the vault is scrambled, "Remove
    // Encryption..." while it is encrypted.
    void showVaultFormat(bool encrypted);

    QMenu *mnuFile = nullptr;
    QMenu *mnuData = nullptr;
    QMenu *mnuCopy = nullptr;
    QMenu *mnuHelp = nullptr;
    QMenu *mnuAbout = nullptr;
    std::array<QAction *, 1> mnuFileItem {};
    std::array<QAction *, 4> mnuDataItem {};
    std::array<QAction *, 3> mnuCopyItem {};
    std::array<QAction *, 1> mnuHelpItem {};
    std::array<QAction *, 1> mnuAboutItem {};
    QAction *mnuImport = nullptr;
    QAction *mnuExport = nullptr;
    QAction *mnuEncrypt = nullptr;
    QAction *mnuRemoveEncryption = nullptr;
    QAction *mnuChangePassword = nullptr;
    QAction *mnuLock = nullptr;
    QMenu *mnuLockAfter = nullptr;
    QAction *mnuLockWithDesktop = nullptr;
    QAction *mnuFind = nullptr;
    QAction *mnuHidePasswords = nullptr;
    QMenu *mnuSortBy = nullptr;
    std::array<QAction *, 3> mnuSortItem {};

private:
    void buildFileItems();
    // File, "Lock", and the two lock settings under it.
    void buildLockItems();
    void showLockSettings();
    // One choice of File, "Lock After", checked with the others in its group.
    QAction *addLockChoice(int minutes);
    // Data, "Find...", "Hide Passwords" and "Sort by".
    void buildDataItems();

    Form1 &m_window;
    Settings &m_settings;
    QActionGroup *m_lockChoices = nullptr;
};
