#include "EditorState.h"

#include "vault/SecretPack.h"
#include "vault/Wipe.h"

#include <array>

namespace {

// The packed texts, in this order.
enum Packed {
    kMode,
    kEditUsername,
    kEditPassword,
    kEditLocation,
    kTypedUsername,
    kTypedPassword,
    kTypedLocation,
    kPackedCount
};

QString modeText(EditorState::Mode mode)
{
    return mode == EditorState::Mode::Edit ? QStringLiteral("Edit") : QStringLiteral("Add");
}

} // namespace

SecureBytes EditorState::pack() const
{
    // The array shares the state's texts: nothing of them is copied here.
    const std::array<QString, kPackedCount> texts {
        modeText(entryMode), editUsername,   editPassword,   editLocation,
        typed.username,      typed.password, typed.location,
    };
    return packTexts(texts);
}

std::optional<EditorState> EditorState::unpack(const SecureBytes &packed,
                                               const EntryListModel &list)
{
    std::vector<QString> texts = unpackTexts(packed);
    if (texts.size() != kPackedCount) {
        for (QString &text : texts)
            wipeEverywhere(text);
        return std::nullopt;
    }
    EditorState state;
    state.editUsername = std::move(texts[kEditUsername]);
    state.editPassword = std::move(texts[kEditPassword]);
    state.editLocation = std::move(texts[kEditLocation]);
    state.restoreTyped = true;
    state.typed = VaultEntry {std::move(texts[kTypedUsername]), std::move(texts[kTypedPassword]),
                              std::move(texts[kTypedLocation])};
    if (texts[kMode] == modeText(Mode::Edit)) {
        const VaultEntry openedOn {state.editUsername, state.editPassword, state.editLocation};
        for (int row = 1; row <= list.count(); ++row) {
            if (list.entry(row) == openedOn) {
                state.entryMode = Mode::Edit;
                state.editId = list.idOf(row);
                break;
            }
        }
    }
    return state;
}

void EditorState::wipe()
{
    wipeEverywhere(editUsername);
    wipeEverywhere(editPassword);
    wipeEverywhere(editLocation);
    wipeEverywhere(typed);
}
