#include "VersionInfo.h"

#include "BuildInfo.h"

#ifdef Q_OS_WIN
#include <QCoreApplication>
#include <QVarLengthArray>
#include <qt_windows.h>

#include <cwchar>
#include <string>
#endif

VersionValues builtInVersionValues()
{
    return VersionValues {QStringLiteral(VORSELL_PRODUCT_NAME),
                          QStringLiteral(VORSELL_COMPANY_NAME),
                          QStringLiteral(VORSELL_COMMENTS),
                          VORSELL_VERSION_MAJOR,
                          VORSELL_VERSION_MINOR,
                          VORSELL_VERSION_PATCH,
                          VORSELL_VERSION_TWEAK};
}

QString applicationTitle()
{
    return QStringLiteral(VORSELL_PRODUCT_NAME " Full");
}

#ifdef Q_OS_WIN

namespace {

QString stringField(const QVarLengthArray<char, 4096> &block, const wchar_t *translation,
                    const wchar_t *name)
{
    const std::wstring query = std::wstring(L"\\StringFileInfo\\") + translation + L"\\" + name;
    void *value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || !value || length == 0)
        return QString();
    return QString::fromWCharArray(static_cast<const wchar_t *>(value),
                                   int(wcsnlen(static_cast<const wchar_t *>(value), length)));
}

VersionValues readResource()
{
    const std::wstring path = QCoreApplication::applicationFilePath().toStdWString();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0)
        return builtInVersionValues();
    QVarLengthArray<char, 4096> block(static_cast<qsizetype>(size));
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return builtInVersionValues();

    VersionValues values;
    struct Translation
    {
        WORD language;
        WORD codePage;
    } *translations = nullptr;
    UINT length = 0;
    wchar_t translation[9] = L"040904b0";
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                       reinterpret_cast<void **>(&translations), &length)
        && length >= sizeof(Translation)) {
        swprintf(translation, 9, L"%04x%04x", translations[0].language, translations[0].codePage);
    }
    values.productName = stringField(block, translation, L"ProductName");
    values.companyName = stringField(block, translation, L"CompanyName");
    values.comments = stringField(block, translation, L"Comments");

    VS_FIXEDFILEINFO *fixed = nullptr;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &length) && fixed) {
        values.major = HIWORD(fixed->dwFileVersionMS);
        values.minor = LOWORD(fixed->dwFileVersionMS);
        values.revision = HIWORD(fixed->dwFileVersionLS);
        values.build = LOWORD(fixed->dwFileVersionLS);
    }
    return values;
}

} // namespace

VersionValues ExecutableVersionInfo::read() const
{
    // The resource of a running executable does not change: it is read once.
    static const VersionValues values = readResource();
    return values;
}

#else

VersionValues ExecutableVersionInfo::read() const
{
    return builtInVersionValues();
}

#endif
