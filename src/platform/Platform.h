#pragma once

class Clock;
class ColumnDialogs;
class DesktopLock;
class FileDialogs;
class LocationStarter;
class MessageBoxes;
class ProgramEnder;
class SettingsStore;
class UrlOpener;
class VersionInfo;

// Every way the program reaches outside its own process. The program gets the
// real implementations; tests hand in fakes.
struct Platform
{
    MessageBoxes *messages = nullptr;
    ProgramEnder *ender = nullptr;
    UrlOpener *urls = nullptr;
    LocationStarter *locations = nullptr;
    SettingsStore *settings = nullptr;
    VersionInfo *version = nullptr;
    Clock *clock = nullptr;
    FileDialogs *files = nullptr;
    DesktopLock *desktopLock = nullptr;
    ColumnDialogs *columns = nullptr;
};
