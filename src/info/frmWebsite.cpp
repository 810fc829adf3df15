#include "frmWebsite.h"

#include "app/Program.h"

frmWebsite::frmWebsite(Program &program)
    : m_program(program)
{
    setObjectName(QStringLiteral("frmWebsite"));
}

void frmWebsite::formLoad() { }
