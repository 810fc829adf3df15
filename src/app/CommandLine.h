#pragma once

#include "platform/VersionInfo.h"

#include <QString>
#include <QStringList>

// What the command line can ask of the program besides starting it: its
// version, or a word on how to use it and where it keeps the user's data.
// Both are answered on the console without opening a window.
namespace CommandLine {

enum class Request {
    Run, // start the program
    Help, // -h, --help, -?, /?
    Version, // -v, --version
};

// The request of the arguments after the program's name. Help wins over the
// version when both are asked for. Every other argument is left to Qt, which
// takes its own (-platform, -style, ...); the program itself takes none.
Request parse(const QStringList &arguments);

// "Vorsell 1.2.0.0": the product name and the full version.
QString versionText(const VersionValues &version);

// The usage, the options, and where the vault file and the settings are.
QString helpText(const QString &command, const VersionValues &version, const QString &vaultPath,
                 const QString &settingsLocation);

} // namespace CommandLine
