#include "ClipboardKeeper.h"

#include "platform/Clock.h"
#include "platform/SecretMark.h"
#include "settings/Settings.h"
#include "vault/Wipe.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

ClipboardKeeper::ClipboardKeeper(const Platform &platform, const Settings &settings,
                                 QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_settings(settings)
    , m_timer(this)
{
    m_timer.setObjectName(QStringLiteral("clipboardTimer"));
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &ClipboardKeeper::forgetIfDue);
}

ClipboardKeeper::~ClipboardKeeper()
{
    if (m_timer.isActive())
        forget();
    wipe(m_text);
}

void ClipboardKeeper::clear()
{
    QGuiApplication::clipboard()->clear();
    m_timer.stop();
    wipe(m_text);
}

void ClipboardKeeper::put(const QString &text, bool secret)
{
    auto *data = new QMimeData;
    data->setText(text);
    if (secret)
        markAsSecret(*data);
    QGuiApplication::clipboard()->setMimeData(data);

    const int seconds = m_settings.clipboardSeconds();
    // An empty text is not waited for: an empty clipboard later says
    // nothing about whether the user copied something else meanwhile.
    wipe(m_text);
    m_timer.stop();
    if (text.isEmpty())
        return;
    // A copy of its own, which the keeper wipes when it forgets it; kept
    // also when the clipboard is never emptied by time, for the lock.
    m_text = separateCopy(text);
    if (seconds <= 0)
        return;
    m_deadline = m_platform.clock->now().addSecs(seconds);
    m_timer.start();
}

void ClipboardKeeper::forgetIfDue()
{
    if (m_timer.isActive() && m_platform.clock->now() >= m_deadline)
        forget();
}

void ClipboardKeeper::forgetNow()
{
    if (!m_text.isEmpty())
        forget();
}

void ClipboardKeeper::forget()
{
    m_timer.stop();
    QClipboard *clipboard = QGuiApplication::clipboard();
    for (const QClipboard::Mode mode : {QClipboard::Clipboard, QClipboard::Selection}) {
        if (mode == QClipboard::Selection && !clipboard->supportsSelection())
            continue;
        QString held = clipboard->text(mode);
        if (held == m_text)
            clipboard->clear(mode);
        wipe(held);
    }
    wipe(m_text);
}
