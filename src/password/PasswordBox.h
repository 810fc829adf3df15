#pragma once

class QLineEdit;

namespace PasswordBox {

// Overwrites the text a password box held, unless a copy outside the box
// still shares it (whoever holds that copy wipes it), and empties the box.
void wipe(QLineEdit *box);

} // namespace PasswordBox
