#include "frmAdd.h"

#include "app/Program.h"

frmAdd::frmAdd(Program &program)
    : m_program(program)
{
    setObjectName(QStringLiteral("frmAdd"));
}

void frmAdd::formLoad() { }
