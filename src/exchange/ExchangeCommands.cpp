#include "ExchangeCommands.h"

#include "CsvExport.h"
#include "ExportFile.h"
#include "platform/ColumnDialogs.h"
#include "platform/FileDialogs.h"
#include "platform/FileSync.h"
#include "platform/MessageBoxes.h"
#include "platform/VersionInfo.h"
#include "skin/Topmost.h"
#include "vault/VaultSession.h"
#include "vault/Wipe.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QStandardPaths>

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
    // The rows read pass through the thread's stack.
    , m_reading(&wipeStack)
{
}

ExchangeCommands::~ExchangeCommands()
{
    delete m_progress;
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
    // A large file is read in the background behind a modal progress
    // dialog: a second import cannot start meanwhile.
    if (m_busy)
        return;
    m_busy = true;
    auto done = qScopeGuard([this] { m_busy = false; });

    Reading reading;
    reading.path = m_platform.files->openFileName(
        QStringLiteral("Import Passwords from a CSV File"), csvFilter());
    const QString &path = reading.path;
    if (path.isEmpty())
        return;

    QString error;
    {
        QFile file(path);
        QString reason;
        if (!openRegularFile(file, &reason)) {
            cannotImport(path, reason);
            return;
        }
        if (CsvImport::readHeader(file, &reading.header, &error) != CsvImport::Result::Read) {
            cannotImport(path, error);
            return;
        }
    }

    if (const auto known = CsvImport::recognise(reading.header)) {
        reading.program = known->program;
        reading.columns = known->columns;
    } else {
        const CsvImport::Columns guess = CsvImport::guessColumns(reading.header);
        const auto chosen = m_platform.columns->chooseColumns(
            reading.header,
            {guess[Field::Username], guess[Field::Password], guess[Field::Location]});
        if (!chosen) {
            emit statusChanged(QStringLiteral("Nothing imported."));
            return;
        }
        reading.columns[Field::Username] = chosen->username;
        reading.columns[Field::Password] = chosen->password;
        reading.columns[Field::Location] = chosen->location;
    }

    if (QFileInfo(path).size() > kReadInBackground) {
        // Busy until the rows are there.
        done.dismiss();
        readInBackground(reading);
        return;
    }
    rowsRead(reading, readRows(reading, nullptr));
}

TaskResult<ExchangeCommands::Rows> ExchangeCommands::readRows(const Reading &reading,
                                                              BackgroundTask::Control *control)
{
    QFile file(reading.path);
    QString reason;
    if (!openRegularFile(file, &reason))
        return TaskResult<Rows>::failed(reason);
    CsvImport::Progress progress;
    if (control) {
        progress = [control](qint64 done, qint64 total) {
            control->report(total > 0 ? int(done * 1000 / total) : 0);
            return !control->isCancelled();
        };
    }
    TaskResult<Rows> result;
    switch (CsvImport::readRows(file, reading.header, reading.columns, &result.value, &result.error,
                                progress)) {
    case CsvImport::Result::Read:
        break;
    case CsvImport::Result::Failed:
        result.status = TaskResult<Rows>::Status::Failed;
        break;
    case CsvImport::Result::Cancelled:
        result.status = TaskResult<Rows>::Status::Cancelled;
        break;
    }
    return result;
}

void ExchangeCommands::readInBackground(const Reading &reading)
{
    // The window shows how far the reading is and stays responsive; Cancel
    // stops it, as does the lock.
    const QFileInfo info(reading.path);
    auto *progress
        = new QProgressDialog(QStringLiteral("Reading \"%1\"...").arg(info.fileName()),
                              QStringLiteral("Cancel"), 0, 1000, QApplication::activeWindow());
    m_progress = progress;
    progress->setObjectName(QStringLiteral("importProgress"));
    progress->setWindowTitle(QStringLiteral("Import"));
    progress->setWindowModality(Qt::ApplicationModal);
    keepAboveTopmostWindows(progress);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    connect(progress, &QProgressDialog::canceled, this, &ExchangeCommands::cancelImport);
    connect(progress, &QDialog::rejected, this, &ExchangeCommands::cancelImport);
    m_reading.start<Rows>(
        [reading](BackgroundTask::Control &control) { return readRows(reading, &control); },
        [this, reading](TaskResult<Rows> result) {
            const auto done = qScopeGuard([this] { m_busy = false; });
            // Setting its value runs events, this call among them: it goes
            // once control has returned to the event loop.
            if (m_progress) {
                m_progress->hide();
                m_progress->deleteLater();
            }
            rowsRead(reading, std::move(result));
        },
        [this](int permille) {
            if (m_progress && m_progress->isVisible())
                m_progress->setValue(permille);
        });
    progress->setValue(0);
    progress->show();
}

void ExchangeCommands::rowsRead(const Reading &reading, TaskResult<Rows> result)
{
    Rows &rows = result.value;
    // The rows held the file's passwords; those of the entries to be added
    // are shared with the plan, and left to it.
    const auto wipeRows = [&rows] {
        for (CsvImport::Row &row : rows)
            wipe(row.entry);
        rows.clear();
    };
    if (result.isCancelled()) {
        wipeRows();
        emit statusChanged(QStringLiteral("Import cancelled; nothing has been changed."));
        return;
    }
    if (result.isFailed()) {
        wipeRows();
        cannotImport(reading.path, result.error);
        return;
    }
    CsvImport::Plan plan
        = CsvImport::plan(rows, reading.header, reading.columns, m_session.entries().entries());
    wipeRows();

    MessageBoxes *messages = m_platform.messages;
    if (plan.added.empty()) {
        messages->show(CsvImport::nothingToAdd(plan, reading.program), MessageBox::Information,
                       QStringLiteral("Import"));
        emit statusChanged(QStringLiteral("Nothing imported."));
        return;
    }
    const int answer
        = messages->show(CsvImport::summary(plan, reading.program),
                         MessageBox::YesNo | MessageBox::Question, QStringLiteral("Import"));
    if (answer != MessageBox::Yes) {
        for (VaultEntry &entry : plan.added)
            wipe(entry);
        emit statusChanged(QStringLiteral("Nothing imported."));
        return;
    }
    add(std::move(plan.added));
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
