#pragma once

// Ends the program at once. Callers return straight after asking, so no
// further work of theirs runs.
class ProgramEnder
{
public:
    virtual ~ProgramEnder() = default;
    virtual void endProgram() = 0;
};
