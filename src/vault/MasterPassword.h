#pragma once

#include "SecureBytes.h"

#include <QStringView>

// A master password as it was typed, from the moment it leaves the box that
// took it: its characters in secure memory of their own, wiped when it goes.
// It moves; a copy is made only where one is asked for.
class MasterPassword
{
public:
    MasterPassword() = default;
    // Copies the characters straight into secure memory.
    static MasterPassword fromText(QStringView text);

    // A view of the characters where they stand, valid while this object
    // holds them.
    QStringView text() const;
    bool isEmpty() const { return text().isEmpty(); }
    // Whether no secure memory could be had for it.
    bool isNull() const { return m_units.isNull(); }
    MasterPassword copy() const { return fromText(text()); }

private:
    SecureBytes m_units;
};
