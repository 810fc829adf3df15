#pragma once

#include "platform/Platform.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

class Settings;

// Puts the copy commands' texts on the clipboard and takes them off again:
// "ClipboardSeconds" after a copy (30 unless set; 0 never) and when the
// program ends, each time only if the clipboard still holds exactly the text
// put there, so that what the user copied since is never wiped. The X11
// selection is treated the same way. The time is read from the clock seam.
class ClipboardKeeper : public QObject
{
    Q_OBJECT

public:
    ClipboardKeeper(const Platform &platform, const Settings &settings, QObject *parent = nullptr);
    // The end of the program: forgets a copied text that is still waiting.
    ~ClipboardKeeper() override;

    // Empties the clipboard; a copied text waiting to be forgotten is then
    // forgotten already.
    void clear();
    // Puts a text on the clipboard; a secret is marked so that clipboard
    // managers leave it out of their history.
    void put(const QString &text, bool secret);

    // Forgets the copied text if its time is up; the timer asks every second
    // while a text waits.
    void forgetIfDue();
    // Forgets the copied text now, whatever its time (the program locks):
    // the clipboard is emptied if it still holds it.
    void forgetNow();

private:
    void forget();

    Platform m_platform;
    const Settings &m_settings;
    QString m_text;
    QDateTime m_deadline;
    QTimer m_timer;
};
