#include "frmPass.h"

#include "app/Program.h"

frmPass::frmPass(Program &program)
    : m_program(program)
{
    setObjectName(QStringLiteral("frmPass"));
}

void frmPass::formLoad() { }
