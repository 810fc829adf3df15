#pragma once

#include <QWidget>

class Program;

// Placeholder until this window is built.
class Form8 : public QWidget
{
    Q_OBJECT

public:
    explicit Form8(Program &program);
    void formLoad();

private:
    Program &m_program;
};
