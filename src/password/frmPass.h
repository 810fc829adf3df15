#pragma once

#include <QWidget>

class Program;

// Placeholder until this window is built.
class frmPass : public QWidget
{
    Q_OBJECT

public:
    explicit frmPass(Program &program);
    void formLoad();

private:
    Program &m_program;
};
