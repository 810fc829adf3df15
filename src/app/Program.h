#pragma once

#include "FormSlot.h"
#include "entries/EditorState.h"
#include "entries/EntryListModel.h"
#include "platform/Platform.h"
#include "skin/Skinning.h"

#include <QObject>
#include <QString>

class Form1;
class Form8;
class frmAbout;
class frmAdd;
class frmPass;
class frmSplash;
class frmWebsite;

// What lives for the whole run: the program folder, the seams to the outside
// world, the branding and other program-wide values, the entries, and the
// single instance of each window.
class Program : public QObject
{
    Q_OBJECT

public:
    Program(QString programFolder, const Platform &platform, QObject *parent = nullptr);
    ~Program() override;

    const Platform &platform() const { return m_platform; }
    const QString &programFolder() const { return m_programFolder; }
    QString vaultPath() const;
    QString helpPath() const;

    // Shows the splash window; the rest of start-up follows from its timer.
    void start();

    // Fills the branding values from the version information and switches
    // skinning on.
    void LoadBranding();

    // The vault operations. Each tells the user when the file fails it.
    void checkVault();
    void createVault();
    void loadVault();
    // Writes every entry; false (after telling the user) when the file could
    // not be written, which leaves the previous file in place.
    bool saveVault();
    void setStatus(const QString &text);

    // Ends the program at once; the caller returns straight after.
    void endProgram();
    bool hasEnded() const { return m_ended; }

    // A message box through the platform; an empty title means the
    // application's title.
    int showMessage(const QString &text, int style = 0, const QString &title = QString());

    // The product name as the version information gives it now: the
    // application name of the per-user settings.
    QString settingsApplication() const;

    // Loads a window if needed, shows it and brings it forward.
    template<typename W> W *open(FormSlot<W> &slot)
    {
        W *window = slot.load(*this);
        if (window) {
            window->show();
            window->raise();
            window->activateWindow();
        }
        return window;
    }

    EntryListModel &entries() { return m_entries; }

    // Program-wide values.
    QString strProductName;
    QString strCompanyName;
    QString strComments;
    SkinState skin;
    QString storedPassword;
    QString masterPassword;
    bool bNewPassword = false;
    EditorState editor;
    QString strLinkKey;

    // The windows.
    FormSlot<frmSplash> splash;
    FormSlot<Form1> form1;
    FormSlot<frmPass> pass;
    FormSlot<frmAdd> add;
    FormSlot<Form8> help;
    FormSlot<frmAbout> about;
    FormSlot<frmWebsite> website;

private:
    // Tells the user of a vault file that failed at start-up, then ends.
    void failStartup(const QString &error);

    QString m_programFolder;
    Platform m_platform;
    EntryListModel m_entries;
    bool m_ended = false;
};
