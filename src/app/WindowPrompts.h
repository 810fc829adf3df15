#pragma once

#include "FormSlot.h"
#include "password/frmVaultPassword.h"
#include "platform/PasswordPrompts.h"

struct WindowContext;

// The program's password prompts: the vault password window, in the
// program's slot for it, one at a time.
class WindowPrompts : public PasswordPrompts
{
public:
    WindowPrompts(FormSlot<frmVaultPassword> &slot, WindowContext &context);

    PasswordPrompt *ask(Kind kind, const QString &caption, const QString &intro,
                        Handlers handlers) override;

private:
    FormSlot<frmVaultPassword> &m_slot;
    WindowContext &m_context;
};
