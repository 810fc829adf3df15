#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// The find bar under the main window's list: a "Find:" label and the box it
// names. Typing reports the text at every key; Esc asks for the bar to
// close.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    // The bar's height, in twips.
    static constexpr double kHeight = 375;

    explicit FindBar(QWidget *parent);

    QLineEdit *box() const { return txtFind; }

signals:
    void textChanged(const QString &text);
    void closeRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *lblFind = nullptr;
    QLineEdit *txtFind = nullptr;
};
