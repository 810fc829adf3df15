#include "EntryCommands.h"

#include "ListViewEnh.h"
#include "platform/Clock.h"
#include "platform/LocationStarter.h"
#include "platform/MessageBoxes.h"
#include "settings/Settings.h"
#include "vault/EntryFilterModel.h"
#include "vault/VaultSession.h"
#include "vault/Wipe.h"

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
    const EntryListModel &list = m_session.entries();
    // The entry is known by its id while the question is up: the list may
    // not hold it at the same row (or at all) once the box is answered.
    const EntryListModel::EntryId id = list.idOf(row);
    VaultEntry shown = list.entry(row);
    if (m_settings.hidePasswords())
        shown.password = EntryFilterModel::maskedPassword(shown.password);
    // The question shows the password: its text is wiped once answered.
    QString question = EntryRules::deleteQuestion(shown);
    // Shared with the list: a delete wipes the entry once it stands.
    shown = VaultEntry();
    const int answer = showMessage(question, MessageBox::OkCancel, EntryRules::deleteTitle());
    wipe(question);
    if (answer != MessageBox::Ok) {
        emit statusChanged(EntryRules::deleteCancelled());
        return;
    }
    tellFailure(m_session.apply(
        [id](EntryListChange &change) {
            if (const int current = change.rowOf(id))
                change.remove(current);
        },
        // A deletion that the file did not take stays in the list, unsaved:
        // closing asks to save it again.
        VaultSession::IfSaveFails::KeepUnsaved, EntryRules::entryDeleted()));
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
    if (!target.adding && m_session.entries().rowOf(target.id) == 0) {
        showMessage(EntryRules::entryGoneMessage(), MessageBox::OkOnly, EntryRules::errorTitle());
        return false;
    }
    return tellFailure(m_session.apply(
        [&](EntryListChange &change) { EntryRules::storeEntry(change, target, std::move(entry)); },
        // The list keeps what the file holds, and the editor keeps what was
        // typed, to be saved again.
        VaultSession::IfSaveFails::TakeBack,
        target.adding ? EntryRules::entrySaved() : EntryRules::entryChanged()));
}

bool EntryCommands::save()
{
    return tellFailure(m_session.save(m_platform.clock->now()));
}

bool EntryCommands::tellFailure(const VaultOutcome &outcome)
{
    if (!outcome.ok()) {
        emit statusChanged(outcome.status);
        showMessage(outcome.error, MessageBox::Critical);
    }
    return outcome.ok();
}
