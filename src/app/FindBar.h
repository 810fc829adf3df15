#pragma once

#include <QKeySequence>
#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;

// The find bar under the main window's list: a "Find:" label and the box it
// names. Typing reports the text at every key; Down and Enter ask for the
// first match; Esc asks for the bar to close. The keys given as the window's
// (the entry copy keys) reach the window while the box has no text selected
// of its own.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    // The bar's height, in twips.
    static constexpr double kHeight = 375;

    explicit FindBar(QWidget *parent);

    QLineEdit *box() const { return txtFind; }
    void setWindowKeys(const QList<QKeySequence> &keys) { m_windowKeys = keys; }

signals:
    void textChanged(const QString &text);
    void firstMatchRequested();
    void closeRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *lblFind = nullptr;
    QLineEdit *txtFind = nullptr;
    QList<QKeySequence> m_windowKeys;
};
