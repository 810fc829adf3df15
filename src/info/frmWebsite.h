#pragma once

#include <QWidget>

class Program;

// Placeholder until this window is built.
class frmWebsite : public QWidget
{
    Q_OBJECT

public:
    explicit frmWebsite(Program &program);
    void formLoad();

private:
    Program &m_program;
};
