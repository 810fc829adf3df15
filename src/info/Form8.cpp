#include "Form8.h"

#include "app/Program.h"

Form8::Form8(Program &program)
    : m_program(program)
{
    setObjectName(QStringLiteral("Form8"));
}

void Form8::formLoad() { }
