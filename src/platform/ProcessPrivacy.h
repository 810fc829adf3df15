#pragma once

// Asks the system to keep the memory of this process to itself: no core dump
// of it is written, and other programs of the same user may not read it
// (Linux: not dumpable, which also refuses ptrace and /proc/<pid>/mem to
// them). Called once, first thing at start-up. Where the system has no such
// switch it does nothing.
void keepMemoryPrivate();
