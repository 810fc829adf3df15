// Form1: the main window, caption "<product> by <publisher>".
#pragma once

#include <QMainWindow>

#include <array>

class EntryCommands;
class FindBar;
class MainMenus;
class EntryFilterModel;
class EntryListModel;
class QAction;
class QLabel;
class QModelIndex;
class QLineEdit;
class QStatusBar;
class QToolButton;
class QTreeView;
struct WindowContext;

// Form1, the main window ("<product> by <publisher>"): the list of entries,
// the command buttons above it, the menu bar and the status bar. It lays out
// its controls, hands every command on entries to the entry commands, and
// tells its owner about everything else through signals.
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    Form1(WindowContext &context, EntryListModel &entries, EntryCommands &commands);
    ~Form1() override;

    // Prepares the skin, sets the captions, the list's columns and the
    // status panel.
    void formLoad();

    // Skins the window and shows it once the vault is open.
    void afterFormLoad();
    void setStatusText(const QString &text);
    QString statusText() const;

    // The command handlers; the menu items run the same ones.
    void cmdAdd_Click(int index);
    void cmdDelete_Click();
    void cmdEdit_Click();
    void cmdGoto_Click();
    void cmdCopy_Click(int index);
    void cmdWebsite_Click(int index);
    void lstPass_ColumnClick(int position);
    // Data, "Find...": opens the find bar, or puts the focus back in its
    // box when it is open.
    void mnuFind_Click();
    // Data, "Hide Passwords": hides or shows the passwords, and remembers it.
    void mnuHidePasswords_Click(bool hide);
    // Shows the File menu's commands for the vault's format: "Encrypt
    // Vault..." while it is scrambled, "Remove Encryption..." while it is
    // encrypted.
    void showVaultFormat(bool encrypted);

    // The program locks: the window notes its selected row, drops what its
    // status bar said and hides; the next afterFormLoad() selects that row
    // again.
    void lockView();

signals:
    void helpRequested();
    void aboutRequested();
    // The Visit button: open the web address that the link key names.
    void linkRequested(const QString &linkKey);
    // File, "Import..." and "Export...".
    void importRequested();
    void exportRequested();
    // File, "Encrypt Vault...", "Remove Encryption...", "Change Master
    // Password...".
    void encryptRequested();
    void removeEncryptionRequested();
    void changePasswordRequested();
    // The window is closing; a receiver may ignore the event to keep it
    // open.
    void closing(QCloseEvent *event);
    // File, "Lock".
    void lockRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The menu bar, each item wired to what it runs.
    void buildMenus();
    QToolButton *makeButton(const QString &name, const QString &caption, const QString &icon,
                            double left, double top, double width, double height);
    // No smaller than both button rows whole, the list's header with a row
    // under it, and the status bar.
    void setMinimumSizeToFit();
    void setListGeometryTwips(double left, double top, double width, double height);
    // Lays the list out in the client area, with the find bar under it
    // while the bar is open.
    void layoutList();
    // The window's outer size, frame, caption and menu bar included.
    QSizeF outerSizeTwips() const;
    // The selected row nearest the top of the list, or 0.
    int selectedRow() const;
    void showSortIndicator();
    // The find bar under the list, and the passwords shown hidden or not as
    // the settings say.
    void buildFindAndHide();
    void findTextChanged(const QString &text);
    void closeFindBar();
    // Shows the passwords hidden or not as the settings now say.
    void passwordsHiddenChanged();
    // Down or Enter in the find box: the first match, selected, takes the
    // focus.
    void goToFirstMatch();
    // Selects the shown row of this index alone, makes it current and
    // scrolls it into view.
    void selectShown(const QModelIndex &index);
    // Runs a change of the shown rows, keeping the selected entry selected
    // when it is still shown.
    template<typename Change> void keepSelection(Change change);

    WindowContext &m_context;
    EntryListModel &m_entries;
    EntryCommands &m_commands;
    double m_listLeft;
    double m_listTop;

    std::array<QToolButton *, 1> cmdAdd {};
    QToolButton *cmdDelete = nullptr;
    QToolButton *cmdEdit = nullptr;
    QToolButton *cmdGoto = nullptr;
    std::array<QToolButton *, 1> cmdWebsite {};
    std::array<QToolButton *, 3> cmdCopy {};
    QTreeView *lstPass = nullptr;
    EntryFilterModel *m_shown = nullptr;
    FindBar *findBar = nullptr;
    MainMenus *m_menus = nullptr;
    // The row selected when the program locked; 0 for none.
    int m_rowBeforeLock = 0;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *statusPanel = nullptr;
};
