#include "PasswordBox.h"

#include "vault/Wipe.h"

#include <QLineEdit>

namespace PasswordBox {

void wipe(QLineEdit *box)
{
    // The box's own text and this copy of it; a text set from outside (not
    // typed) is its giver's.
    QString held = box->text();
    wipeIfHeldByAtMost(held, 2);
    box->clear();
}

} // namespace PasswordBox
