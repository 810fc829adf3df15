#pragma once

#include "CsvImport.h"
#include "platform/BackgroundTask.h"
#include "platform/KeptFiles.h"
#include "platform/Platform.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>

#include <vector>

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
    // Files larger than this are read in the background, behind a progress
    // dialog.
    static constexpr qint64 kReadInBackground = qint64(1) << 20;

    // `keptFiles`: the files an export never replaces.
    ExchangeCommands(VaultSession &session, const Platform &platform, KeptFiles keptFiles,
                     QObject *parent = nullptr);
    ~ExchangeCommands() override;

    void importFile();
    void exportFile();
    // Stops an import whose file is being read in the background: nothing
    // is imported.
    void cancelImport() { m_reading.cancel(); }

signals:
    void statusChanged(const QString &text);

private:
    // What an import reads, once its columns are known.
    struct Reading
    {
        QString path;
        QStringList header;
        CsvImport::Columns columns;
        // The program whose export the file is; empty when not known.
        QString program;
    };
    using Rows = std::vector<CsvImport::Row>;

    static TaskResult<Rows> readRows(const Reading &reading, BackgroundTask::Control *control);
    void readInBackground(const Reading &reading);
    // The rows are read, or not: the import shows what it would add, and
    // adds it on Yes.
    void rowsRead(const Reading &reading, TaskResult<Rows> result);
    // Adds the entries to the list and saves, as one change that the session
    // takes back when the save fails.
    void add(std::vector<VaultEntry> entries);
    void cannotImport(const QString &path, const QString &reason);

    VaultSession &m_session;
    Platform m_platform;
    KeptFiles m_keptFiles;
    BackgroundTask m_reading;
    // Shown while the file is read in the background.
    QPointer<QProgressDialog> m_progress;
    bool m_busy = false;
};
