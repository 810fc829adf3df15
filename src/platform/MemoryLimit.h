#pragma once

#include <QtGlobal>

// How many bytes the process may still take before the system refuses it
// memory or ends it: the least of the memory the system has free, what is
// left under the process's memory control group (cgroup v1 or v2, the way
// desktops and services limit memory) and what is left of its address space
// limit. -1 when none of these can be told.
qint64 memoryLeftForProcess();
