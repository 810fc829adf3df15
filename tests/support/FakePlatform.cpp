#include "FakePlatform.h"

#include "vault/MasterPassword.h"

#include <QTimer>

int FakeMessageBoxes::show(const QString &text, int style, const QString &title)
{
    const Shown box {text, style, title};
    shown.append(box);
    if (onShow)
        onShow(box);
    if (!answers.isEmpty())
        return answers.dequeue();
    const int buttons = style & 0x0F;
    if (buttons == MessageBox::YesNo)
        return MessageBox::No;
    return buttons == MessageBox::RetryCancel ? MessageBox::Cancel : MessageBox::Ok;
}

QString FakeSettings::path(const QString &application, const QString &section, const QString &key)
{
    return application + QLatin1Char('/') + section + QLatin1Char('/') + key;
}

QString FakeSettings::value(const QString &application, const QString &section, const QString &key,
                            const QString &defaultValue) const
{
    return values.value(path(application, section, key), defaultValue);
}

void FakeSettings::setValue(const QString &application, const QString &section, const QString &key,
                            const QString &value)
{
    values.insert(path(application, section, key), value);
    ++writes;
}

QString FakeFileDialogs::openFileName(const QString &caption, const QString &)
{
    asked.append(caption);
    return answers.isEmpty() ? QString() : answers.dequeue();
}

QString FakeFileDialogs::saveFileName(const QString &caption, const QString &suggested,
                                      const QString &)
{
    asked.append(caption + QStringLiteral(": ") + suggested);
    return answers.isEmpty() ? QString() : answers.dequeue();
}

namespace {

class FakePrompt : public PasswordPrompt
{
public:
    FakePrompt(FakePasswordPrompts &prompts, PasswordPrompts::Handlers handlers)
        : m_prompts(prompts)
        , m_handlers(std::move(handlers))
    {
        // The user types once the prompt is on the screen.
        QTimer::singleShot(0, this, &FakePrompt::offerNext);
    }

    void refuse() override
    {
        m_prompts.events.append(QStringLiteral("refused"));
        QTimer::singleShot(0, this, &FakePrompt::offerNext);
    }
    void confirm() override
    {
        m_prompts.events.append(QStringLiteral("confirmed"));
        m_handlers.accepted(MasterPassword::fromText(m_typed.password),
                            MasterPassword::fromText(m_typed.newPassword));
    }
    void setWorking(bool working) override
    {
        m_prompts.events.append(working ? QStringLiteral("working") : QStringLiteral("idle"));
    }
    void finish() override
    {
        m_prompts.events.append(QStringLiteral("finished"));
        deleteLater();
    }

private:
    void offerNext()
    {
        if (m_prompts.typed.isEmpty()) {
            m_prompts.events.append(QStringLiteral("cancelled"));
            deleteLater();
            return;
        }
        m_typed = m_prompts.typed.dequeue();
        m_handlers.offered(MasterPassword::fromText(m_typed.password));
    }

    FakePasswordPrompts &m_prompts;
    PasswordPrompts::Handlers m_handlers;
    FakePasswordPrompts::Typed m_typed;
};

} // namespace

PasswordPrompt *FakePasswordPrompts::ask(Kind, const QString &caption, const QString &,
                                         Handlers handlers)
{
    asked.append(caption);
    return new FakePrompt(*this, std::move(handlers));
}
