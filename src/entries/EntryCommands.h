#pragma once

class Form1;
class Program;

// The commands on the main window's entries: add, edit, delete, copy a field,
// open a location, and sort by a column. The main window's buttons, menu
// items and column headers run them.
class EntryCommands
{
public:
    explicit EntryCommands(Program &program);

    // Opens the entry editor for a new entry.
    void add();
    // Opens the entry editor on the selected entry.
    void edit();
    // Deletes the selected entry once the user confirms it, and saves.
    void remove();
    // Opens the selected entry's location.
    void goTo();
    // Copies a field of the selected entry: 0 username, 1 password,
    // 2 location.
    void copy(int index);
    // Sorts the list by the column header at a 1-based position.
    void sortByColumn(int position);

private:
    // The selected row nearest the top of the main list, or 0.
    int selectedRow() const;

    Program &m_program;
};
