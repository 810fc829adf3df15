#include "Console.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

bool writeToConsole(const QString &text)
{
#ifdef Q_OS_WIN
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!out || out == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return false;
        out = GetStdHandle(STD_OUTPUT_HANDLE);
        if (!out || out == INVALID_HANDLE_VALUE)
            return false;
    }
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        // A console shows every character when it is given UTF-16.
        const std::wstring wide = text.toStdWString();
        DWORD written = 0;
        return WriteConsoleW(out, wide.data(), DWORD(wide.size()), &written, nullptr)
            && written == DWORD(wide.size());
    }
    const QByteArray bytes = text.toLocal8Bit();
    DWORD written = 0;
    return WriteFile(out, bytes.constData(), DWORD(bytes.size()), &written, nullptr)
        && written == DWORD(bytes.size());
#else
    const QByteArray bytes = text.toLocal8Bit();
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
        && std::fflush(stdout) == 0;
#endif
}
