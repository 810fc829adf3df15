#pragma once

#include <QMainWindow>

#include <array>
#include <memory>

class EntryCommands;
class Program;
class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QToolButton;
class QTreeView;

// The main window: the list of entries, the command buttons above it, the
// menu bar and the status bar. It lays out its controls and hands every
// command to the code that carries it out.
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit Form1(Program &program);
    ~Form1() override;

    void formLoad();
    // Reveals the window once the vault is open.
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
    void mnuFileItem_Click(int index);
    void mnuDataItem_Click(int index);
    void mnuCopyItem_Click(int index);
    void mnuHelpItem_Click(int index);
    void mnuAboutItem_Click(int index);

    // Controls, named as the tests and the accessibility tree know them.
    std::array<QToolButton *, 1> cmdAdd {};
    QToolButton *cmdDelete = nullptr;
    QToolButton *cmdEdit = nullptr;
    QToolButton *cmdGoto = nullptr;
    std::array<QToolButton *, 1> cmdWebsite {};
    std::array<QToolButton *, 3> cmdCopy {};
    QTreeView *lstPass = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *statusPanel = nullptr;
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

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QToolButton *makeButton(const QString &name, const QString &caption, const QString &icon,
                            double left, double top, double width, double height);
    QAction *makeItem(QMenu *menu, const QString &name, int index, const QString &caption);
    void buildMenus();
    void setListGeometryTwips(double left, double top, double width, double height);
    // The window's outer size, frame, caption and menu bar included.
    QSizeF outerSizeTwips() const;

    Program &m_program;
    std::unique_ptr<EntryCommands> m_commands;
    double m_listLeft;
    double m_listTop;
};
