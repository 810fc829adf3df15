#pragma once

#include <QWidget>

class Program;

// Placeholder until this window is built.
class frmAbout : public QWidget
{
    Q_OBJECT

public:
    explicit frmAbout(Program &program);
    void formLoad();

private:
    Program &m_program;
};
