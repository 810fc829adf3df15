#pragma once

#include <QObject>
#include <QPointer>

class Skin;

// Works beside the skin: while started it skins every top-level window that
// the program does not skin itself as it appears (message boxes above all),
// so that nothing on screen falls out of the skin.
class SkinCompanion : public QObject
{
    Q_OBJECT

public:
    explicit SkinCompanion(QObject *parent = nullptr);
    ~SkinCompanion() override;

    // Each returns false when it could not do its work.
    bool attach(QObject *skinObject);
    bool start();
    bool stop();

    bool isStarted() const { return m_started; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<Skin> m_skin;
    bool m_started = false;
};
