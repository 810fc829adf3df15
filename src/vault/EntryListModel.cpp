#include "EntryListModel.h"

#include "EntryFields.h"
#include "SearchText.h"
#include "Wipe.h"

#include <sodium.h>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <utility>

namespace {

// The user's locale; under the bare "C" locale, which collates by code
// point (capitals before every small letter), the common international
// order instead.
QLocale collationLocale()
{
    const QLocale system = QLocale::system();
    return system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                           : system;
}

// Moves one element of a vector to another index; those between shift by one.
template<typename T> void moveElement(std::vector<T> &items, size_t from, size_t to)
{
    const auto begin = items.begin();
    if (from < to)
        std::rotate(begin + qsizetype(from), begin + qsizetype(from) + 1,
                    begin + qsizetype(to) + 1);
    else
        std::rotate(begin + qsizetype(to), begin + qsizetype(from), begin + qsizetype(from) + 1);
}

} // namespace

EntryListModel::EntryListModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_collator(collationLocale())
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int EntryListModel::rowOf(EntryId id) const
{
    const auto it = std::find(m_ids.begin(), m_ids.end(), id);
    return it == m_ids.end() ? 0 : int(it - m_ids.begin()) + 1;
}

EntryListModel::FoldedFields EntryListModel::foldedFor(const VaultEntry &entry)
{
    FoldedFields folded;
    for (const Field field : kFields)
        folded[size_t(field)] = SearchText::fold(entry.field(field));
    return folded;
}

void EntryListModel::prepareFolded() const
{
    if (foldedValid())
        return;
    m_folded.clear();
    m_folded.reserve(m_entries.size());
    for (const VaultEntry &e : m_entries)
        m_folded.push_back(foldedFor(e));
}

const EntryListModel::FoldedFields &EntryListModel::folded(int row) const
{
    prepareFolded();
    return m_folded[size_t(row - 1)];
}

EntryListModel::SecretText::SecretText(QStringView text)
    : m_block(static_cast<qsizetype *>(
        ::operator new(sizeof(qsizetype) + size_t(text.size()) * sizeof(char16_t))))
{
    *m_block = text.size();
    std::copy(text.utf16(), text.utf16() + text.size(), reinterpret_cast<char16_t *>(m_block + 1));
}

EntryListModel::SecretText::~SecretText()
{
    if (!m_block)
        return;
    sodium_memzero(m_block + 1, size_t(*m_block) * sizeof(char16_t));
    ::operator delete(m_block);
}

QStringView EntryListModel::SecretText::text() const
{
    return QStringView(reinterpret_cast<const char16_t *>(m_block + 1), *m_block);
}

int EntryListModel::compare(const RowKey &a, const RowKey &b) const
{
    if (const auto *secret = std::get_if<SecretText>(&a))
        return m_collator.compare(secret->text(), std::get<SecretText>(b).text());
    return std::get<CollatorSortKey>(a).compare(std::get<CollatorSortKey>(b));
}

EntryListModel::RowKey EntryListModel::keyFor(const VaultEntry &entry) const
{
    const Field field = Field(m_sortKey);
    const QString &text = entry.field(field);
    if (field == Field::Password)
        return SecretText(text);
    return m_collator.sortKey(text);
}

bool EntryListModel::precedes(const RowKey &a, const RowKey &b) const
{
    return m_sortOrder == Ascending ? compare(a, b) < 0 : compare(b, a) < 0;
}

size_t EntryListModel::sortedPosition(const RowKey &key) const
{
    const auto before = [this](const RowKey &a, const RowKey &b) {
        return precedes(a, b);
    };
    return size_t(std::upper_bound(m_keys.begin(), m_keys.end(), key, before) - m_keys.begin());
}

void EntryListModel::insertAt(size_t position, VaultEntry entry, EntryId id)
{
    const bool folding = foldedValid();
    beginInsertRows(QModelIndex(), int(position), int(position));
    if (folding)
        m_folded.insert(m_folded.begin() + qsizetype(position), foldedFor(entry));
    m_entries.insert(m_entries.begin() + qsizetype(position), std::move(entry));
    m_ids.insert(m_ids.begin() + qsizetype(position), id);
    endInsertRows();
}

int EntryListModel::append(VaultEntry entry)
{
    // The list's texts are its own, so that wiping them (a delete, a lock)
    // never reaches into a window's box, nor the other way round.
    separateTexts(entry);
    size_t position = m_entries.size();
    if (m_sorted) {
        ensureKeys();
        RowKey key = keyFor(entry);
        position = sortedPosition(key);
        m_keys.insert(m_keys.begin() + qsizetype(position), std::move(key));
    }
    insertAt(position, std::move(entry), m_nextId++);
    return int(position) + 1;
}

void EntryListModel::appendAll(std::vector<VaultEntry> entries)
{
    if (entries.empty())
        return;
    const size_t first = m_entries.size();
    const bool folding = foldedValid();
    beginInsertRows(QModelIndex(), int(first), int(first + entries.size() - 1));
    if (folding) {
        for (const VaultEntry &e : entries)
            m_folded.push_back(foldedFor(e));
    }
    if (m_entries.empty()) {
        // Loading a vault: take the whole vector rather than copy it over.
        m_entries = std::move(entries);
    } else {
        m_entries.reserve(first + entries.size());
        std::move(entries.begin(), entries.end(), std::back_inserter(m_entries));
    }
    m_ids.reserve(m_entries.size());
    while (m_ids.size() < m_entries.size())
        m_ids.push_back(m_nextId++);
    endInsertRows();
    m_keys.clear();
    resort();
}

int EntryListModel::setEntry(int row, VaultEntry entry)
{
    const size_t index = size_t(row - 1);
    separateTexts(entry);
    forgetRow(index);
    m_entries[index] = std::move(entry);
    if (foldedValid())
        m_folded[index] = foldedFor(m_entries[index]);
    size_t finalIndex = index;
    if (m_sorted) {
        // A changed entry moves to its sorted place. It is moved, not taken
        // out and put back, so that the selection stays on it.
        if (keysValid())
            m_keys[index] = keyFor(m_entries[index]);
        else
            ensureKeys();
        const RowKey &key = m_keys[index];
        const auto before = [this](const RowKey &a, const RowKey &b) {
            return precedes(a, b);
        };
        const auto keys = m_keys.begin();
        size_t destination = index; // the row it goes before, counted before the move
        if (index > 0 && before(key, m_keys[index - 1]))
            destination
                = size_t(std::upper_bound(keys, keys + qsizetype(index), key, before) - keys);
        else if (index + 1 < m_keys.size() && before(m_keys[index + 1], key))
            destination = size_t(
                std::upper_bound(keys + qsizetype(index) + 1, m_keys.end(), key, before) - keys);
        if (destination != index) {
            finalIndex = destination < index ? destination : destination - 1;
            beginMoveRows(QModelIndex(), int(index), int(index), QModelIndex(), int(destination));
            moveElement(m_entries, index, finalIndex);
            moveElement(m_ids, index, finalIndex);
            moveElement(m_keys, index, finalIndex);
            if (foldedValid())
                moveElement(m_folded, index, finalIndex);
            endMoveRows();
        }
    }
    const int changed = int(finalIndex);
    emit dataChanged(this->index(changed, 0), this->index(changed, kFieldCount - 1));
    return changed + 1;
}

void EntryListModel::remove(int row)
{
    const qsizetype index = row - 1;
    beginRemoveRows(QModelIndex(), int(index), int(index));
    forgetRow(size_t(index));
    if (foldedValid())
        m_folded.erase(m_folded.begin() + index);
    m_entries.erase(m_entries.begin() + index);
    m_ids.erase(m_ids.begin() + index);
    if (m_keys.size() == m_entries.size() + 1)
        m_keys.erase(m_keys.begin() + index);
    endRemoveRows();
}

void EntryListModel::putBack(int row, VaultEntry entry, EntryId id)
{
    const size_t position = size_t(row - 1);
    if (m_sorted && keysValid())
        m_keys.insert(m_keys.begin() + qsizetype(position), keyFor(entry));
    insertAt(position, std::move(entry), id);
}

void EntryListModel::removeAddedSince(EntryId firstId)
{
    const bool keys = keysValid();
    const bool folded = foldedValid();
    beginResetModel();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_ids[i] >= firstId)
            forgetRow(i);
    }
    size_t kept = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_ids[i] >= firstId)
            continue;
        if (kept != i) {
            m_entries[kept] = std::move(m_entries[i]);
            m_ids[kept] = m_ids[i];
            if (keys)
                m_keys[kept] = std::move(m_keys[i]);
            if (folded)
                m_folded[kept] = std::move(m_folded[i]);
        }
        ++kept;
    }
    m_entries.erase(m_entries.begin() + qsizetype(kept), m_entries.end());
    m_ids.erase(m_ids.begin() + qsizetype(kept), m_ids.end());
    if (keys)
        m_keys.erase(m_keys.begin() + qsizetype(kept), m_keys.end());
    else
        m_keys.clear();
    if (folded)
        m_folded.erase(m_folded.begin() + qsizetype(kept), m_folded.end());
    else
        m_folded.clear();
    endResetModel();
}

void EntryListModel::forgetRow(size_t index)
{
    // A text still shared is still in use by whoever shares it, and is
    // theirs to wipe.
    wipe(m_entries[index]);
    if (foldedValid()) {
        for (QString &text : m_folded[index])
            wipe(text);
    }
}

void EntryListModel::clear()
{
    beginResetModel();
    for (VaultEntry &entry : m_entries)
        wipeEverywhere(entry);
    for (FoldedFields &fields : m_folded) {
        for (QString &text : fields)
            wipeEverywhere(text);
    }
    m_entries.clear();
    m_ids.clear();
    m_keys.clear();
    m_folded.clear();
    endResetModel();
}

void EntryListModel::setSorted(bool sorted)
{
    if (m_sorted == sorted)
        return;
    m_sorted = sorted;
    m_keys.clear();
    resort();
}

void EntryListModel::setSortOrder(int order)
{
    const int newOrder = order == Ascending ? Ascending : Descending;
    if (newOrder == m_sortOrder)
        return;
    m_sortOrder = newOrder;
    if (m_sorted && keysValid())
        reverseOrder();
    else
        resort();
}

void EntryListModel::sortBy(int column, int order)
{
    const int key = std::clamp(column, 0, kFieldCount - 1);
    if (m_sorted && key == m_sortKey) {
        setSortOrder(order);
        return;
    }
    // A new key, or a list that was not kept sorted: the keys are made anew.
    m_keys.clear();
    m_sorted = true;
    m_sortKey = key;
    m_sortOrder = order == Ascending ? Ascending : Descending;
    resort();
}

void EntryListModel::ensureKeys()
{
    if (keysValid())
        return;
    m_keys.clear();
    m_keys.reserve(m_entries.size());
    for (const VaultEntry &e : m_entries)
        m_keys.push_back(keyFor(e));
}

void EntryListModel::resort()
{
    if (!m_sorted)
        return;
    ensureKeys();
    const size_t n = m_entries.size();
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return precedes(m_keys[a], m_keys[b]); });
    applyOrder(order);
}

void EntryListModel::reverseOrder()
{
    // The rows are sorted already, so the other direction needs no sort:
    // the runs of equal keys change places and each run keeps its order, as
    // a stable sort would leave it.
    const size_t n = m_entries.size();
    std::vector<size_t> order;
    order.reserve(n);
    size_t end = n;
    while (end > 0) {
        size_t begin = end - 1;
        while (begin > 0 && compare(m_keys[begin - 1], m_keys[begin]) == 0)
            --begin;
        for (size_t i = begin; i < end; ++i)
            order.push_back(i);
        end = begin;
    }
    applyOrder(order);
}

void EntryListModel::applyOrder(const std::vector<size_t> &order)
{
    if (std::is_sorted(order.begin(), order.end()))
        return;

    const size_t n = m_entries.size();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<VaultEntry> entries;
    std::vector<EntryId> ids;
    std::vector<RowKey> keys;
    std::vector<FoldedFields> folded;
    const bool folding = foldedValid();
    if (folding)
        folded.reserve(n);
    entries.reserve(n);
    ids.reserve(n);
    keys.reserve(n);
    std::vector<int> newRowOf(n);
    for (size_t i = 0; i < n; ++i) {
        const size_t from = order[i];
        entries.push_back(std::move(m_entries[from]));
        ids.push_back(m_ids[from]);
        keys.push_back(std::move(m_keys[from]));
        if (folding)
            folded.push_back(std::move(m_folded[from]));
        newRowOf[from] = int(i);
    }
    m_entries = std::move(entries);
    m_ids = std::move(ids);
    m_keys = std::move(keys);
    if (folding)
        m_folded = std::move(folded);

    // Keep the selection and the current row on the entries they were on.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before)
        after.append(this->index(newRowOf[size_t(index.row())], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int EntryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int EntryListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kFieldCount;
}

QVariant EntryListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_entries.size()) || index.column() >= kFieldCount)
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    // A cell shows a line of text; a field far longer than any screen (a
    // damaged or crafted vault) is shown by its start, so that laying out
    // the row does not take the whole field into memory again.
    const QString &text = m_entries[size_t(index.row())].field(Field(index.column()));
    if (text.size() > kLongestShown)
        return text.first(kLongestShown);
    return text;
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < kFieldCount)
        return entryField(Field(section)).column.toString();
    return QAbstractTableModel::headerData(section, orientation, role);
}
