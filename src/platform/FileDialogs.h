#pragma once

#include <QString>

// Asks the user for a file: one to read, or a name to write under. Each
// returns the path chosen, or an empty text when the user cancels.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // filter: the kinds of file offered, as "CSV files (*.csv)".
    virtual QString openFileName(const QString &caption, const QString &filter) = 0;
    // suggested: the name (and folder) the dialog starts with.
    virtual QString saveFileName(const QString &caption, const QString &suggested,
                                 const QString &filter)
        = 0;
};
