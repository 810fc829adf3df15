#pragma once

#include <QString>

// Message box style numbers and answers, in the classic Windows numbering the
// program's message texts are written against.
namespace MessageBox {
enum Style : int {
    OkOnly = 0,
    OkCancel = 1,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
    // The second button is the default, not the first: for a question whose
    // Yes gives something up.
    DefaultButton2 = 256,
    // Above every other window, those that stay on top included.
    Topmost = 0x40000,
};
enum Answer : int {
    Ok = 1,
    Cancel = 2,
    Retry = 4,
    Yes = 6,
    No = 7,
};
} // namespace MessageBox

// Shows a modal message box and returns the button pressed. An empty title
// means the application's own title.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual int show(const QString &text, int style = MessageBox::OkOnly,
                     const QString &title = QString())
        = 0;
};
