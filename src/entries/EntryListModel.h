#pragma once

#include "platform/Collation.h"
#include "vault/VaultFormat.h"

#include <QAbstractTableModel>

#include <span>
#include <vector>

// The entries of the running program, as the main list shows them. Rows are
// numbered from 1 in the order shown, which is also the order in which they
// are saved. While the sorted flag is on the rows are kept ordered by the
// text of the sort key column, compared as the user's locale orders text,
// ignoring letter case; rows that compare equal keep their order.
class EntryListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { UsernameColumn = 0, PasswordColumn = 1, LocationColumn = 2, FieldCount = 3 };
    enum SortOrder { Ascending = 0, Descending = 1 };
    using EntryId = quint64;

    explicit EntryListModel(QObject *parent = nullptr);

    // Column headers are added one by one, left to right; the result is the
    // header's 1-based position.
    int addColumnHeader(const QString &text);
    int columnHeaderCount() const { return int(m_headers.size()); }

    int count() const { return int(m_entries.size()); }
    const VaultEntry &entry(int row) const { return m_entries[size_t(row - 1)]; }
    // Column 1 of a row (the username) and its sub-items 1 (password) and 2
    // (location).
    const QString &text(int row) const { return entry(row).username; }
    const QString &subItem(int row, int index) const;
    std::span<const VaultEntry> entries() const { return m_entries; }

    // Every entry keeps one id for as long as it is in the list, whatever
    // sorting and deleting do to its row number.
    EntryId idOf(int row) const { return m_ids[size_t(row - 1)]; }
    // The row of an entry, or 0 when it is no longer in the list.
    int rowOf(EntryId id) const;

    // Adds an entry at the end, or at its sorted place while the list is
    // sorted; returns the row it is shown at.
    int append(VaultEntry entry);
    // Adds many entries at once (loading a vault).
    void appendAll(std::vector<VaultEntry> entries);
    // Replaces a row's fields; returns the row it is shown at afterwards.
    int setEntry(int row, VaultEntry entry);
    // Removes a row; the rows after it move up by one.
    void remove(int row);
    void clear();

    bool sorted() const { return m_sorted; }
    void setSorted(bool sorted);
    int sortKey() const { return m_sortKey; }
    void setSortKey(int column);
    int sortOrder() const { return m_sortOrder; }
    void setSortOrder(int order);
    // Switches sorting on with this key and order in one step: the same end
    // state as the three setters, with at most one sort of the list.
    void sortBy(int column, int order);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const QString &field(size_t index, int column) const;
    CollatorSortKey keyFor(const VaultEntry &entry) const;
    bool keysValid() const { return m_keys.size() == m_entries.size(); }
    void ensureKeys();
    void resort();
    // Turns a list sorted one way into the other way.
    void reverseOrder();
    // Puts the rows into this order: row i takes the one from order[i].
    void applyOrder(const std::vector<size_t> &order);
    // Where an entry with this key belongs, after every equal one.
    size_t sortedPosition(const CollatorSortKey &key) const;
    void insertAt(size_t position, VaultEntry entry, EntryId id);

    std::vector<QString> m_headers;
    std::vector<VaultEntry> m_entries;
    std::vector<EntryId> m_ids;
    // The collation keys of the sort key column, kept in row order while
    // the list is sorted; empty otherwise.
    std::vector<CollatorSortKey> m_keys;
    EntryId m_nextId = 1;
    Collator m_collator;
    bool m_sorted = false;
    int m_sortKey = UsernameColumn;
    int m_sortOrder = Ascending;
};
