#include "WindowPrompts.h"

namespace {

// The prompt of one window; it goes with the window.
class WindowPrompt : public PasswordPrompt
{
public:
    explicit WindowPrompt(frmVaultPassword *window)
        : PasswordPrompt(window)
        , m_window(window)
    {
    }

    void refuse() override { m_window->passwordRefused(); }
    void confirm() override { m_window->passwordConfirmed(); }
    void setWorking(bool working) override { m_window->setWorking(working); }
    void finish() override { m_window->close(); }

private:
    frmVaultPassword *m_window;
};

} // namespace

WindowPrompts::WindowPrompts(FormSlot<frmVaultPassword> &slot, WindowContext &context)
    : m_slot(slot)
    , m_context(context)
{
}

PasswordPrompt *WindowPrompts::ask(Kind kind, const QString &caption, const QString &intro,
                                   Handlers handlers)
{
    if (m_slot.isLoaded()) {
        m_slot.window()->bringForward();
        return nullptr;
    }
    frmVaultPassword *window = m_slot.load(m_context, kind, caption, intro);
    auto *prompt = new WindowPrompt(window);
    QObject::connect(window, &frmVaultPassword::passwordOffered, prompt,
                     std::move(handlers.offered));
    QObject::connect(window, &frmVaultPassword::passwordAccepted, prompt,
                     std::move(handlers.accepted));
    window->bringForward();
    return prompt;
}
