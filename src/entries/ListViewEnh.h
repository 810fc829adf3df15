#pragma once

class EntryListModel;
class MessageBoxes;

// Sorts the entry list by the column header at a 1-based position: switches
// the list's sorting on, makes that column the sort key and reverses the sort
// order, whichever column was used before. An empty list is left as it is.
// Returns true when finished, false when a step failed (an unknown column);
// the steps done before the failure stay done. With showErrors a failure is
// also shown in a message box.
bool EnhListView_SortColumns(EntryListModel &list, int column, bool showErrors,
                             MessageBoxes *messages = nullptr);
