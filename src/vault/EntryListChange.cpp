#include "EntryListChange.h"

#include "Wipe.h"

EntryListChange::EntryListChange(EntryListModel &list)
    : m_list(list)
{
}

EntryListChange::~EntryListChange()
{
    // The change stands: these are the last copies of what it replaced or
    // removed.
    for (Step &step : m_steps)
        wipe(step.before);
}

int EntryListChange::append(VaultEntry entry)
{
    m_steps.push_back({Step::Kind::Added, m_list.nextId(), 0, VaultEntry()});
    return m_list.append(std::move(entry));
}

void EntryListChange::appendAll(std::vector<VaultEntry> entries)
{
    m_steps.push_back({Step::Kind::AddedMany, m_list.nextId(), 0, VaultEntry()});
    m_list.appendAll(std::move(entries));
}

int EntryListChange::setEntry(int row, VaultEntry entry)
{
    // Shares the list's texts, so the list lets go of them without wiping.
    m_steps.push_back({Step::Kind::Replaced, m_list.idOf(row), 0, m_list.entry(row)});
    return m_list.setEntry(row, std::move(entry));
}

void EntryListChange::remove(int row)
{
    m_steps.push_back({Step::Kind::Removed, m_list.idOf(row), row, m_list.entry(row)});
    m_list.remove(row);
}

void EntryListChange::takeBack()
{
    while (!m_steps.empty()) {
        Step step = std::move(m_steps.back());
        m_steps.pop_back();
        switch (step.kind) {
        case Step::Kind::Added:
            m_list.remove(m_list.rowOf(step.id));
            break;
        case Step::Kind::AddedMany:
            m_list.removeAddedSince(step.id);
            break;
        case Step::Kind::Replaced:
            // The list takes a copy of its own; this one is wiped.
            m_list.setEntry(m_list.rowOf(step.id), step.before);
            wipe(step.before);
            break;
        case Step::Kind::Removed:
            m_list.putBack(step.row, std::move(step.before), step.id);
            break;
        }
    }
}
