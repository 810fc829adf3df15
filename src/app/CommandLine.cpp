#include "CommandLine.h"

#include <QDir>

namespace CommandLine {

Request parse(const QStringList &arguments)
{
    Request request = Request::Run;
    for (const QString &argument : arguments) {
        if (argument == u"-h" || argument == u"--help" || argument == u"-?" || argument == u"/?")
            return Request::Help;
        if (argument == u"-v" || argument == u"--version")
            request = Request::Version;
    }
    return request;
}

QString versionText(const VersionValues &version)
{
    return QStringLiteral("%1 %2.%3.%4.%5")
        .arg(version.productName)
        .arg(version.major)
        .arg(version.minor)
        .arg(version.revision)
        .arg(version.build);
}

QString helpText(const QString &command, const VersionValues &version, const QString &vaultPath,
                 const QString &settingsLocation)
{
    return QStringLiteral("Usage: %1 [option]\n"
                          "\n"
                          "%2 keeps usernames, passwords and the places where they are used in\n"
                          "one vault file, behind a master password. Started without an option,\n"
                          "it asks for the master password and opens the vault.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     show this text and end\n"
                          "  -v, --version  show the name and version and end\n"
                          "\n"
                          "Vault file: %3\n"
                          "Settings:   %4\n")
        .arg(command, version.productName, QDir::toNativeSeparators(vaultPath), settingsLocation);
}

} // namespace CommandLine
