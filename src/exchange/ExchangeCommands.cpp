#include "ExchangeCommands.h"

#include "CsvExport.h"
#include "ExportFile.h"
#include "frmColumns.h"
#include "platform/FileDialogs.h"
#include "platform/FileSync.h"
#include "platform/MessageBoxes.h"
#include "platform/VersionInfo.h"
#include "skin/Topmost.h"
#include "vault/VaultSession.h"
#include "vault/Wipe.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {

// What the file dialogs offer.
QString csvFilter()
{
    return QStringLiteral("CSV files (*.csv);;All files (*)");
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

ExchangeCommands::ExchangeCommands(VaultSession &session, const Platform &platform,
                                   KeptFiles keptFiles, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_platform(platform)
    , m_keptFiles(std::move(keptFiles))
    , m_pickColumns([](const QStringList &header, const CsvImport::Columns &guess) {
        frmColumns dialog(header, guess, QApplication::activeWindow());
        if (dialog.exec() != QDialog::Accepted)
            return std::optional<CsvImport::Columns>();
        return std::optional<CsvImport::Columns>(dialog.columns());
    })
{
}

void ExchangeCommands::cannotImport(const QString &path, const QString &reason)
{
    m_platform.messages->show(QStringLiteral("\"%1\" cannot be imported.\n\n%2\n\n"
                                             "Nothing has been changed.")
                                  .arg(shown(path), reason),
                              MessageBox::Exclamation, QStringLiteral("Import"));
    emit statusChanged(QStringLiteral("Nothing imported."));
}

void ExchangeCommands::importFile()
{
    // A large file is read behind a modal progress dialog, while events
    // run: a second import cannot start meanwhile.
    if (m_busy)
        return;
    m_busy = true;
    const auto done = qScopeGuard([this] { m_busy = false; });

    const QString path = m_platform.files->openFileName(
        QStringLiteral("Import Passwords from a CSV File"), csvFilter());
    if (path.isEmpty())
        return;

    QStringList header;
    QString error;
    {
        QFile file(path);
        QString reason;
        if (!openRegularFile(file, &reason)) {
            cannotImport(path, reason);
            return;
        }
        if (CsvImport::readHeader(file, &header, &error) != CsvImport::Result::Read) {
            cannotImport(path, error);
            return;
        }
    }

    QString program;
    CsvImport::Columns columns;
    if (const auto known = CsvImport::recognise(header)) {
        program = known->program;
        columns = known->columns;
    } else {
        const auto chosen = m_pickColumns(header, CsvImport::guessColumns(header));
        if (!chosen) {
            emit statusChanged(QStringLiteral("Nothing imported."));
            return;
        }
        columns = *chosen;
    }

    std::vector<CsvImport::Row> rows;
    if (!readRows(path, header, columns, &rows))
        return;
    CsvImport::Plan plan = CsvImport::plan(rows, header, columns, m_session.entries().entries());
    // The rows held the file's passwords; those of the entries to be added
    // are shared with the plan, and left to it.
    for (CsvImport::Row &row : rows)
        wipe(row.entry);
    rows.clear();

    MessageBoxes *messages = m_platform.messages;
    if (plan.added.empty()) {
        messages->show(CsvImport::nothingToAdd(plan, program), MessageBox::Information,
                       QStringLiteral("Import"));
        emit statusChanged(QStringLiteral("Nothing imported."));
        return;
    }
    const int answer
        = messages->show(CsvImport::summary(plan, program),
                         MessageBox::YesNo | MessageBox::Question, QStringLiteral("Import"));
    if (answer != MessageBox::Yes) {
        for (VaultEntry &entry : plan.added)
            wipe(entry);
        emit statusChanged(QStringLiteral("Nothing imported."));
        return;
    }
    add(std::move(plan.added));
}

bool ExchangeCommands::readRows(const QString &path, const QStringList &header,
                                const CsvImport::Columns &columns,
                                std::vector<CsvImport::Row> *rows)
{
    QString error;
    CsvImport::Result result = CsvImport::Result::Failed;
    const auto read = [&](const CsvImport::Progress &progress) {
        QFile file(path);
        if (!openRegularFile(file, &error))
            return;
        result = CsvImport::readRows(file, header, columns, rows, &error, progress);
    };

    const QFileInfo info(path);
    if (info.size() <= kReadInBackground) {
        read({});
    } else {
        // Read on a thread of its own while the window shows how far it is
        // and stays responsive; Cancel stops the reading.
        std::atomic<qint64> bytesRead {0};
        std::atomic<bool> cancelled {false};
        std::unique_ptr<QThread> thread(QThread::create([&] {
            read([&](qint64 done, qint64) {
                bytesRead = done;
                return !cancelled;
            });
        }));
        const qint64 total = info.size();
        QProgressDialog progress(QStringLiteral("Reading \"%1\"...").arg(info.fileName()),
                                 QStringLiteral("Cancel"), 0, 1000, QApplication::activeWindow());
        progress.setObjectName(QStringLiteral("importProgress"));
        progress.setWindowTitle(QStringLiteral("Import"));
        progress.setWindowModality(Qt::ApplicationModal);
        keepAboveTopmostWindows(&progress);
        progress.setMinimumDuration(0);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        progress.setValue(0);
        progress.show();
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(50);
        connect(&poll, &QTimer::timeout, &progress, [&] {
            if (!cancelled)
                progress.setValue(int(bytesRead * 1000 / total));
        });
        connect(&progress, &QProgressDialog::canceled, &progress, [&] { cancelled = true; });
        connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
        thread->start();
        poll.start();
        loop.exec();
        thread->wait();
    }

    switch (result) {
    case CsvImport::Result::Read:
        return true;
    case CsvImport::Result::Cancelled:
        emit statusChanged(QStringLiteral("Import cancelled; nothing has been changed."));
        return false;
    case CsvImport::Result::Failed:
        break;
    }
    cannotImport(path, error);
    return false;
}

void ExchangeCommands::add(std::vector<VaultEntry> entries)
{
    const qsizetype count = qsizetype(entries.size());
    const VaultOutcome outcome = m_session.apply(
        [&entries](EntryListChange &change) { change.appendAll(std::move(entries)); },
        // The list keeps what the file holds.
        VaultSession::IfSaveFails::TakeBack,
        count == 1 ? QStringLiteral("Imported 1 entry.  Data saved.")
                   : QStringLiteral("Imported %1 entries.  Data saved.").arg(count));
    if (!outcome.ok()) {
        m_platform.messages->show(outcome.error + QStringLiteral("\n\nNothing has been imported."),
                                  MessageBox::Critical);
        emit statusChanged(QStringLiteral("Nothing imported."));
    }
}

void ExchangeCommands::exportFile()
{
    const EntryListModel &list = m_session.entries();
    if (list.count() == 0) {
        emit statusChanged(QStringLiteral("There are no entries to export."));
        return;
    }
    MessageBoxes *messages = m_platform.messages;
    const int answer
        = messages->show(CsvExport::warning(), MessageBox::OkCancel | MessageBox::Exclamation,
                         QStringLiteral("Export"));
    if (answer != MessageBox::Ok) {
        emit statusChanged(QStringLiteral("Nothing exported."));
        return;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(
        QStringLiteral("%1 passwords.csv").arg(m_platform.version->read().productName));
    const QString path = m_platform.files->saveFileName(
        QStringLiteral("Export Passwords to a CSV File"), suggested, csvFilter());
    if (path.isEmpty()) {
        emit statusChanged(QStringLiteral("Nothing exported."));
        return;
    }
    // The file dialog asked whether to replace the file, not what it is.
    if (const QString kept = m_keptFiles.whatIs(path); !kept.isEmpty()) {
        messages->show(QStringLiteral("The passwords cannot be exported to \"%1\": that file is "
                                      "%2.\n\nNothing has been written. Choose another name for "
                                      "the export.")
                           .arg(shown(path), kept),
                       MessageBox::Exclamation, QStringLiteral("Export"));
        emit statusChanged(QStringLiteral("Nothing exported."));
        return;
    }

    QByteArray content = CsvExport::content(list.entries());
    QString reason;
    const bool written = writeExportFile(path, content, &reason);
    // The bytes held every password.
    wipe(content);
    if (!written) {
        messages->show(QStringLiteral("The file \"%1\" could not be written.\n\n%2\n\n"
                                      "Nothing has been exported.")
                           .arg(shown(path), reason),
                       MessageBox::Critical, QStringLiteral("Export"));
        emit statusChanged(QStringLiteral("Nothing exported."));
        return;
    }
    emit statusChanged(
        QStringLiteral("Exported %1 entries to %2").arg(list.count()).arg(shown(path)));
}
