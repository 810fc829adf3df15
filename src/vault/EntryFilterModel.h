#pragma once

#include "vault/EntryListModel.h"

#include <QSortFilterProxyModel>

// What the main list shows of the entries: the rows that contain the find
// text, in the order of the entry list, with every password shown as eight
// bullets while passwords are hidden. The entry list itself always holds
// every entry; this only chooses and masks what is shown.
class EntryFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit EntryFilterModel(EntryListModel &entries, QObject *parent = nullptr);

    // What a hidden password is shown as: eight bullets whatever its length,
    // and nothing for an empty one.
    static QString maskedPassword(const QString &password);

    // Shows only the entries that contain this text in a shown column,
    // letter case and accents ignored; an empty text shows every entry. The
    // shown rows are made anew at once (a reset, not a removal per row).
    void setFindText(const QString &text);
    bool filtering() const { return !m_needle.isEmpty(); }

    // While on, the password column shows "••••••••" for every password that
    // is not empty, and the find text is not looked for in passwords.
    void setPasswordsHidden(bool hidden);
    bool passwordsHidden() const { return m_passwordsHidden; }

    // The entry list's 1-based row for a shown row (0-based, as the view
    // counts), and back; 0 and -1 when there is none.
    int entryRow(int shownRow) const;
    int shownRow(int entryRow) const;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    EntryListModel &m_entries;
    QString m_needle;
    bool m_passwordsHidden = false;
};
