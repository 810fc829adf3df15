#include "MasterPassword.h"

#include <cstring>

MasterPassword MasterPassword::fromText(QStringView text)
{
    MasterPassword password;
    password.m_units = SecureBytes(std::size_t(text.size()) * sizeof(char16_t));
    if (!password.m_units.isNull() && !text.isEmpty())
        std::memcpy(password.m_units.data(), text.utf16(), password.m_units.size());
    return password;
}

QStringView MasterPassword::text() const
{
    if (m_units.isNull())
        return {};
    return QStringView(reinterpret_cast<const char16_t *>(m_units.data()),
                       qsizetype(m_units.size() / sizeof(char16_t)));
}
