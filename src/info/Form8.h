// Form8: the help window, caption "Readme/Help".
#pragma once

#include "widgets/Dialog.h"

class QCheckBox;
class QLabel;
class QTextBrowser;
class QUrl;
struct WindowContext;

// Form8, the help window ("Readme/Help"): shows the readme and help text from Help.rtf beside the
// program, and holds the per-user choice whether it opens after start-up. Esc closes it.
class Form8 : public Dialog
{
    Q_OBJECT

public:
    // It opens in the middle of the screen; place() puts it beside the
    // main window.
    // Its foot names the vault file `vaultPath`, so the user can find it.
    Form8(WindowContext &context, QString helpPath, const QString &vaultPath);

    // Skins the window, shows the help file, keeps the window above all
    // others and sets the box from the stored choice. A step that fails is
    // skipped.
    void formLoad();

    // Stores the box's state as the show-help choice; runs at every change
    // of the box, made by the user or by the load step.
    void Check1_Click();

    // Stands beside `anchor`, covering as little of it as the screen
    // allows: the two stand side by side, or at opposite edges of the screen
    // when it is not wide enough for that. A maximised anchor stays where
    // it is.
    void place(QWidget &anchor);

private:
    // This window's outer size; its frame, not known before it is shown, is
    // taken to be as thick as that of `anchor`.
    QSize outerSizeBeside(const QWidget &anchor) const;
    void showMissingHelp(const QString &path);
    void loadHelpText(const QString &path);
    void setBoxFromSetting();
    void rtf1_AnchorClicked(const QUrl &url);

    WindowContext &m_context;
    const QString m_helpPath;
    QTextBrowser *rtf1 = nullptr; // the help text
    QCheckBox *Check1 = nullptr; // "Show at Startup"
    QLabel *lblVault = nullptr; // where the vault file is
};
