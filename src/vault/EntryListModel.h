#pragma once

#include "platform/Collation.h"
#include "vault/VaultFormat.h"

#include <QAbstractTableModel>

#include <array>
#include <span>
#include <utility>
#include <variant>
#include <vector>

// The entries of the running program, as the main list shows them: a column
// for each field, in their order, headed as the table of fields says. Rows are
// numbered from 1 in the order shown, which is also the order in which they
// are saved. While the sorted flag is on the rows are kept ordered by the
// text of the sort key column, compared as the user's locale orders text,
// ignoring letter case; rows that compare equal keep their order.
class EntryListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum SortOrder { Ascending = 0, Descending = 1 };
    using EntryId = quint64;
    // The most characters of a field that the list shows.
    static constexpr qsizetype kLongestShown = 4096;

    explicit EntryListModel(QObject *parent = nullptr);

    int count() const { return int(m_entries.size()); }
    const VaultEntry &entry(int row) const { return m_entries[size_t(row - 1)]; }
    // One field of a row; the list's columns show the fields in their order.
    const QString &field(int row, Field which) const { return entry(row).field(which); }
    std::span<const VaultEntry> entries() const { return m_entries; }

    // A row's fields as the find bar compares them (SearchText::fold). They
    // are made for every row when first asked for and kept up to date from
    // then on, so a list that is never searched never pays for them.
    using FoldedFields = std::array<QString, kFieldCount>;
    const FoldedFields &folded(int row) const;
    void prepareFolded() const;

    // Every entry keeps one id for as long as it is in the list, whatever
    // sorting and deleting do to its row number.
    EntryId idOf(int row) const { return m_ids[size_t(row - 1)]; }
    // The row of an entry, or 0 when it is no longer in the list.
    int rowOf(EntryId id) const;

    // Adds an entry at the end, or at its sorted place while the list is
    // sorted; returns the row it is shown at.
    int append(VaultEntry entry);
    // Adds many entries at once (loading a vault, an import).
    void appendAll(std::vector<VaultEntry> entries);
    // The id the next entry added will get; ids only grow.
    EntryId nextId() const { return m_nextId; }
    // Removes every entry added since nextId() gave firstId, in one step:
    // taking back an import whose save failed.
    void removeAddedSince(EntryId firstId);
    // Replaces a row's fields; returns the row it is shown at afterwards.
    int setEntry(int row, VaultEntry entry);
    // Removes a row; the rows after it move up by one. The texts it held
    // are wiped.
    void remove(int row);
    // Puts a removed entry back at its row, under the id it had: taking
    // back a delete whose save failed.
    void putBack(int row, VaultEntry entry, EntryId id);
    // Removes every entry, wiping every text of the list and of the find
    // cache wherever it is shared: whoever holds one is done with it.
    void clear();

    bool sorted() const { return m_sorted; }
    void setSorted(bool sorted);
    int sortKey() const { return m_sortKey; }
    int sortOrder() const { return m_sortOrder; }
    void setSortOrder(int order);
    // Switches sorting on with this key and order in one step, with at most
    // one sort of the list.
    void sortBy(int column, int order);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // A password's own copy for the sort: its length and UTF-16 code units
    // in one block, wiped when freed.
    class SecretText
    {
    public:
        explicit SecretText(QStringView text);
        ~SecretText();
        SecretText(SecretText &&other) noexcept
            : m_block(std::exchange(other.m_block, nullptr))
        {
        }
        SecretText &operator=(SecretText &&other) noexcept
        {
            std::swap(m_block, other.m_block);
            return *this;
        }
        QStringView text() const;

    private:
        qsizetype *m_block;
    };
    // Where a row stands in the sort. Usernames and locations are ordered by
    // their collation keys, made once. A password is not: its collation key
    // is a readable form of it that Qt frees without wiping. Its key is a
    // copy of its own, compared as the collation orders texts and wiped when
    // the key goes. Sixteen bytes a row, as small as the sort's scattered
    // reads want it.
    using RowKey = std::variant<CollatorSortKey, SecretText>;
    int compare(const RowKey &a, const RowKey &b) const;

    RowKey keyFor(const VaultEntry &entry) const;
    // Wipes the texts of a row about to go or be replaced, its folded ones
    // for the find included.
    void forgetRow(size_t index);
    bool keysValid() const { return m_keys.size() == m_entries.size(); }
    bool foldedValid() const { return !m_entries.empty() && m_folded.size() == m_entries.size(); }
    static FoldedFields foldedFor(const VaultEntry &entry);
    void ensureKeys();
    void resort();
    // Turns a list sorted one way into the other way.
    void reverseOrder();
    // Puts the rows into this order: row i takes the one from order[i].
    void applyOrder(const std::vector<size_t> &order);
    // Whether a row with key a stands before one with key b in the sort
    // order.
    bool precedes(const RowKey &a, const RowKey &b) const;
    // Where an entry with this key belongs, after every equal one.
    size_t sortedPosition(const RowKey &key) const;
    void insertAt(size_t position, VaultEntry entry, EntryId id);

    std::vector<VaultEntry> m_entries;
    std::vector<EntryId> m_ids;
    // The keys of the sort key column, kept in row order while the list is
    // sorted; empty otherwise.
    std::vector<RowKey> m_keys;
    // The folded fields in row order, once the list has been searched.
    mutable std::vector<FoldedFields> m_folded;
    EntryId m_nextId = 1;
    Collator m_collator;
    bool m_sorted = false;
    int m_sortKey = int(Field::Username);
    int m_sortOrder = Ascending;
};
