#pragma once

#include <QWidget>

class Program;

// Placeholder until this window is built.
class frmAdd : public QWidget
{
    Q_OBJECT

public:
    explicit frmAdd(Program &program);
    void formLoad();

private:
    Program &m_program;
};
