#pragma once

#include <QWidget>

class Program;
class QCheckBox;
class QTextBrowser;
class QUrl;

// The help window: shows the readme and help text from Help.rtf beside the
// program, and holds the per-user choice whether it opens after start-up.
class Form8 : public QWidget
{
    Q_OBJECT

public:
    explicit Form8(Program &program);

    // Skins the window, shows the help file, keeps the window above all
    // others and sets the box from the stored choice. A step that fails is
    // skipped.
    void formLoad();

    // Stores the box's state as the show-help choice; runs at every change
    // of the box, made by the user or by the load step.
    void Check1_Click();

    QTextBrowser *rtf1 = nullptr;
    QCheckBox *Check1 = nullptr;

private:
    void showMissingHelp(const QString &path);
    void loadHelpText(const QString &path);
    void setBoxFromSetting();
    void rtf1_AnchorClicked(const QUrl &url);

    Program &m_program;
};
