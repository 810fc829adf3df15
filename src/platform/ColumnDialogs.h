#pragma once

#include <QStringList>

#include <optional>

// Asks the user which columns of a CSV file hold the username, the password
// and the location, when its header row is not one of a known export.
class ColumnDialogs
{
public:
    // Columns by their 0-based number; -1 for none.
    struct Choice
    {
        int username = -1;
        int password = -1;
        int location = -1;
    };

    virtual ~ColumnDialogs() = default;
    // Starts from a guess; no value when the user cancels.
    virtual std::optional<Choice> chooseColumns(const QStringList &header, const Choice &guess) = 0;
};
