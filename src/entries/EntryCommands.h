#pragma once

class Program;

// The commands on the main window's entries.
class EntryCommands
{
public:
    explicit EntryCommands(Program &program);

    void add();
    void edit();
    void remove();
    void goTo();
    void copy(int index);
    void sortByColumn(int position);

private:
    Program &m_program;
};
