#include "EntryCommands.h"

#include "app/Program.h"

EntryCommands::EntryCommands(Program &program)
    : m_program(program)
{
}

void EntryCommands::add() { }
void EntryCommands::edit() { }
void EntryCommands::remove() { }
void EntryCommands::goTo() { }
void EntryCommands::copy(int) { }
void EntryCommands::sortByColumn(int) { }
