#include "frmAbout.h"

#include "app/Program.h"

frmAbout::frmAbout(Program &program)
    : m_program(program)
{
    setObjectName(QStringLiteral("frmAbout"));
}

void frmAbout::formLoad() { }
