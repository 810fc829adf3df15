// Stands in for explorer.exe in the tests: writes how it was started to the
// file named by an environment variable, as UTF-8 lines: the window style it
// was asked to open with, then each argument after the program name as
// Windows programs split their command line.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const wchar_t *text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

} // namespace

int main()
{
    wchar_t output[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"VORSELL_FAKE_EXPLORER_OUTPUT", output, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;

    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const int style = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    std::string text = std::to_string(style) + "\n";

    int count = 0;
    wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; arguments && i < count; ++i)
        text += utf8(arguments[i]) + "\n";
    LocalFree(arguments);

    // Written beside and renamed, so the test never reads half a file.
    const std::wstring partial = std::wstring(output) + L".partial";
    FILE *file = _wfopen(partial.c_str(), L"wb");
    if (!file)
        return 1;
    const bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    if (fclose(file) != 0 || !written)
        return 1;
    return MoveFileExW(partial.c_str(), output, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
