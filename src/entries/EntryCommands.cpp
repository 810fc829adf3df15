#include "EntryCommands.h"

#include "ListViewEnh.h"
#include "platform/Clock.h"
#include "platform/LocationStarter.h"
#include "platform/MessageBoxes.h"
#include "settings/Settings.h"
#include "vault/EntryFilterModel.h"
#include "vault/VaultSession.h"
#include "vault/Wipe.h"

#include <QScopeGuard>

EntryCommands::EntryCommands(VaultSession &session, const Platform &platform,
                             const Settings &settings, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_platform(platform)
    , m_settings(settings)
    , m_clipboard(platform, settings, this)
{
}

int EntryCommands::showMessage(const QString &text, int style, const QString &title)
{
    return m_platform.messages->show(text, style, title);
}

void EntryCommands::add()
{
    EditorState state;
    state.entryMode = EditorState::Mode::Add;
    emit editorRequested(state);
}

void EntryCommands::edit(int row)
{
    if (row == 0) {
        emit statusChanged(EntryRules::noEntryToEdit());
        return;
    }
    const EntryListModel &list = m_session.entries();
    EditorState state;
    state.editUsername = list.field(row, Field::Username);
    state.editPassword = list.field(row, Field::Password);
    state.editLocation = list.field(row, Field::Location);
    state.editId = list.idOf(row);
    state.entryMode = EditorState::Mode::Edit;
    emit editorRequested(state);
}

void EntryCommands::remove(int row)
{
    if (row == 0) {
        emit statusChanged(EntryRules::noEntryToDelete());
        return;
    }
    EntryListModel &list = m_session.entries();
    // The entry is known by its id while the question is up: the list may
    // not hold it at the same row (or at all) once the box is answered.
    const EntryListModel::EntryId id = list.idOf(row);
    VaultEntry shown = list.entry(row);
    if (m_settings.hidePasswords())
        shown.password = EntryFilterModel::maskedPassword(shown.password);
    // The question shows the password: its text is wiped once answered.
    QString question = EntryRules::deleteQuestion(shown);
    // Shared with the list, which wipes the entry when it is deleted.
    shown = VaultEntry();
    const int answer = showMessage(question, MessageBox::OkCancel, EntryRules::deleteTitle());
    wipe(question);
    if (answer != MessageBox::Ok) {
        emit statusChanged(EntryRules::deleteCancelled());
        return;
    }
    if (const int current = list.rowOf(id))
        list.remove(current);
    if (save())
        emit statusChanged(EntryRules::entryDeleted());
}

void EntryCommands::goTo(int row)
{
    if (row == 0) {
        emit statusChanged(EntryRules::noEntryToGoTo());
        return;
    }
    emit statusChanged(EntryRules::openingLocation());
    const QString location
        = EntryRules::normalisedLocation(m_session.entries().field(row, Field::Location));
    m_platform.locations->startLocation(location);
}

void EntryCommands::copy(Field field, int row)
{
    m_clipboard.clear();
    if (row == 0) {
        emit statusChanged(EntryRules::noRowToCopy());
        return;
    }
    const QString value = m_session.entries().field(row, field);
    m_clipboard.put(value, field == Field::Password);
    if (field == Field::Password && m_settings.hidePasswords())
        emit statusChanged(QStringLiteral("Copied Password"));
    else
        emit statusChanged(EntryRules::copiedStatus(field, value));
}

void EntryCommands::reportShown(int shown, int total, bool filtering)
{
    emit statusChanged(filtering ? QStringLiteral("Showing %1 of %2 entries").arg(shown).arg(total)
                                 : QStringLiteral("Showing all %1 entries").arg(total));
}

void EntryCommands::sortByColumn(int position)
{
    // From the main window a failed sort is silent.
    EnhListView_SortColumns(m_session.entries(), position, false);
}

bool EntryCommands::store(const EntryRules::EditTarget &target, VaultEntry entry)
{
    EntryListModel &list = m_session.entries();
    // What the list held before, so that a failed save can be undone: the
    // list then keeps what the file holds, and the editor keeps what was
    // typed, to be saved again.
    const int oldRow = target.adding ? 0 : list.rowOf(target.id);
    VaultEntry previous = oldRow ? list.entry(oldRow) : VaultEntry();
    const bool wasUnsaved = m_session.hasUnsavedChanges();
    // Once the list no longer holds it, this is the last copy of the old
    // entry: wiped on every way out.
    const auto forgetPrevious = qScopeGuard([&previous] { wipe(previous); });

    const int row = EntryRules::storeEntry(list, target, std::move(entry));
    if (row == 0) {
        showMessage(EntryRules::entryGoneMessage(), MessageBox::OkOnly, EntryRules::errorTitle());
        return false;
    }
    const EntryListModel::EntryId id = list.idOf(row);
    if (!save()) {
        if (target.adding)
            list.remove(list.rowOf(id));
        else
            list.setEntry(list.rowOf(id), previous);
        m_session.setUnsavedChanges(wasUnsaved);
        return false;
    }
    emit statusChanged(target.adding ? EntryRules::entrySaved() : EntryRules::entryChanged());
    return true;
}

bool EntryCommands::save()
{
    const VaultOutcome outcome = m_session.save(m_platform.clock->now());
    emit statusChanged(outcome.status);
    if (!outcome.ok)
        showMessage(outcome.error, MessageBox::Critical);
    return outcome.ok;
}
