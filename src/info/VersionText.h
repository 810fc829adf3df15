#pragma once

#include "platform/VersionInfo.h"

#include <QString>

// The version as the about box shows it: major and minor number, "1.2" for
// version 1.2.0.0. Revision and build are not shown.
QString versionText(const VersionValues &version);
