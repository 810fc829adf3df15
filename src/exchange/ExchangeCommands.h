#pragma once

#include "CsvImport.h"
#include "platform/KeptFiles.h"
#include "platform/Platform.h"

#include <QObject>

#include <functional>
#include <optional>

class VaultSession;

// Import and Export on the File menu. Import reads a CSV file, shows what it
// would add and skip, and only on Yes adds the entries and saves the vault
// once; Export warns, asks where, and writes every entry to a CSV file that
// only its owner can read, unless that file is one the program keeps (the
// vault, its claim file, the program's own files). Outcomes reach the user through
// the status signal and message boxes.
class ExchangeCommands : public QObject
{
    Q_OBJECT

public:
    // Asks which columns hold the three fields of an unknown file, starting
    // from a guess; no value when the user cancels.
    using ColumnPicker = std::function<std::optional<CsvImport::Columns>(
        const QStringList &header, const CsvImport::Columns &guess)>;

    // Files larger than this are read on a thread of their own, behind a
    // progress dialog.
    static constexpr qint64 kReadInBackground = qint64(1) << 20;

    // `keptFiles`: the files an export never replaces.
    ExchangeCommands(VaultSession &session, const Platform &platform, KeptFiles keptFiles,
                     QObject *parent = nullptr);

    // The column dialog, unless a test puts another picker in its place.
    void setColumnPicker(ColumnPicker picker) { m_pickColumns = std::move(picker); }

    void importFile();
    void exportFile();

signals:
    void statusChanged(const QString &text);

private:
    bool readRows(const QString &path, const QStringList &header, const CsvImport::Columns &columns,
                  std::vector<CsvImport::Row> *rows);
    // Adds the entries to the list and saves, as one change that the session
    // takes back when the save fails.
    void add(std::vector<VaultEntry> entries);
    void cannotImport(const QString &path, const QString &reason);

    VaultSession &m_session;
    Platform m_platform;
    KeptFiles m_keptFiles;
    ColumnPicker m_pickColumns;
    bool m_busy = false;
};
