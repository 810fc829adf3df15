#pragma once

#include <QString>

struct VersionValues
{
    QString productName;
    QString companyName;
    QString comments;
    int major = 0;
    int minor = 0;
    int revision = 0;
    int build = 0;
};

// The version information of the program's own executable.
class VersionInfo
{
public:
    virtual ~VersionInfo() = default;
    virtual VersionValues read() const = 0;
};

// Reads the executable's version resource on Windows; elsewhere returns the
// values the build compiled in (the same values the resource is made from).
class ExecutableVersionInfo : public VersionInfo
{
public:
    VersionValues read() const override;
};

// The values the build was configured with.
VersionValues builtInVersionValues();

// The title of message boxes that have none of their own.
QString applicationTitle();
