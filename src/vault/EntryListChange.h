#pragma once

#include "EntryListModel.h"

#include <vector>

// One change being made to the entry list, as the vault session applies it:
// every step is recorded, so that the session can take the whole change back
// when the save that follows fails. What a step replaces or removes waits
// here until then; once the change stands, it is wiped.
class EntryListChange
{
public:
    using EntryId = EntryListModel::EntryId;

    explicit EntryListChange(EntryListModel &list);
    ~EntryListChange();
    EntryListChange(const EntryListChange &) = delete;
    EntryListChange &operator=(const EntryListChange &) = delete;

    const EntryListModel &list() const { return m_list; }
    int rowOf(EntryId id) const { return m_list.rowOf(id); }

    // The list's own operations (EntryListModel says what each does).
    int append(VaultEntry entry);
    void appendAll(std::vector<VaultEntry> entries);
    int setEntry(int row, VaultEntry entry);
    void remove(int row);

    // Takes every step back, the last one first: the list is as it was.
    void takeBack();

private:
    struct Step
    {
        enum class Kind { Added, AddedMany, Replaced, Removed } kind;
        // The entry's id; for AddedMany the first one's, and every entry
        // added since goes with it.
        EntryId id = 0;
        int row = 0;
        VaultEntry before;
    };

    EntryListModel &m_list;
    std::vector<Step> m_steps;
};
