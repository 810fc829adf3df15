#include "frmAdd.h"

#include "PasswordGenerator.h"
#include "platform/MessageBoxes.h"
#include "skin/SkinLabel.h"
#include "skin/Skinning.h"
#include "skin/Topmost.h"
#include "vault/EntryFields.h"
#include "vault/Wipe.h"
#include "widgets/Controls.h"
#include "widgets/Twips.h"
#include "widgets/WindowContext.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace {

// The row of the generator's options under the buttons, in twips.
constexpr double kOptionsHeight = 420;

} // namespace

frmAdd::frmAdd(WindowContext &context, EditorState state)
    : Dialog(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
             | Qt::WindowCloseButtonHint)
    , m_context(context)
    , m_state(std::move(state))
{
    // Copies of its own of the entry it was opened on, which it wipes when
    // it closes; the list keeps its own.
    m_state.editUsername = separateCopy(m_state.editUsername);
    m_state.editPassword = separateCopy(m_state.editPassword);
    m_state.editLocation = separateCopy(m_state.editLocation);
    setObjectName(QStringLiteral("frmAdd"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/editor.png")));
    setFont(Controls::verdana());
    setFixedSize(Twips::size(4680, 2610 + kOptionsHeight));

    const auto makeLabel = [this](const QString &name, Field field, double top) {
        auto *label = new SkinLabel(entryField(field).editorLabel.toString(), this);
        label->setObjectName(name);
        label->setFont(Controls::verdana(8.25, true));
        label->setGeometry(Twips::rect(120, top, 1155, 255));
        return label;
    };
    SkinLabel1 = makeLabel(QStringLiteral("SkinLabel1"), Field::Username, 120);
    SkinLabel2 = makeLabel(QStringLiteral("SkinLabel2"), Field::Password, 540);
    SkinLabel3 = makeLabel(QStringLiteral("SkinLabel3"), Field::Location, 960);
    txtUsername = makeBox(QStringLiteral("txtUsername"), SkinLabel1, 60);
    txtPassword = makeBox(QStringLiteral("txtPassword"), SkinLabel2, 480);
    txtWebsite = makeBox(QStringLiteral("txtWebsite"), SkinLabel3, 900);

    cmdAdd[0] = makeButton(QStringLiteral("cmdAdd"), QStringLiteral("&Save"),
                           QStringLiteral("save"), 120, 1500);
    cmdAdd[0]->setProperty("index", 0);
    cmdDelete = makeButton(QStringLiteral("cmdDelete"), QStringLiteral("&Cancel"),
                           QStringLiteral("delete"), 3420, 1500);

    connect(cmdAdd[0], &QToolButton::clicked, this, [this] { cmdAdd_Click(0); });
    connect(cmdDelete, &QToolButton::clicked, this, &frmAdd::cmdDelete_Click);
    connect(txtWebsite, &QLineEdit::returnPressed, this, [this] { txtWebsite_KeyPress(13); });

    // Tab order: Cancel, Save, username, password, website. The focus starts
    // in the username box, so that typing after Add or Edit goes there.
    setTabOrder(cmdDelete, cmdAdd[0]);
    setTabOrder(cmdAdd[0], txtUsername);
    setTabOrder(txtUsername, txtPassword);
    setTabOrder(txtPassword, txtWebsite);
    addGenerator();
    if (m_context.settings.hidePasswords())
        maskPassword();
    connect(&m_context.settings, &Settings::changed, this, [this](Settings::Key key) {
        if (key == Settings::Key::HidePasswords)
            passwordsHiddenChanged();
    });
    txtUsername->setFocus();
}

void frmAdd::addGenerator()
{
    // In the free space between Save and Cancel, after the boxes in the tab
    // order so that the order of the other controls stays as it was.
    cmdGenerate = makeButton(QStringLiteral("cmdGenerate"), QStringLiteral("&Generate"),
                             QStringLiteral("generate"), 1770, 1500);
    connect(cmdGenerate, &QToolButton::clicked, this, &frmAdd::cmdGenerate_Click);
    setTabOrder(txtWebsite, cmdGenerate);

    // Its options, in one row under the buttons: the length and the classes
    // of characters, each change remembered at once.
    const PasswordGenerator::Options stored = PasswordGenerator::storedOptions(m_context.settings);
    constexpr double top = 2610;
    auto *lblLength = new SkinLabel(QStringLiteral("&Length:"), this);
    lblLength->setObjectName(QStringLiteral("lblLength"));
    lblLength->setFont(Controls::verdana(8.25, true));
    lblLength->setGeometry(Twips::rect(120, top + 60, 795, 255));
    spnLength = new QSpinBox(this);
    spnLength->setObjectName(QStringLiteral("spnLength"));
    spnLength->setRange(PasswordGenerator::kMinLength, PasswordGenerator::kMaxLength);
    spnLength->setValue(stored.length);
    spnLength->setGeometry(Twips::rect(915, top, 720, 315));
    lblLength->setBuddy(spnLength);
    spnLength->setAccessibleName(Controls::withoutMnemonic(lblLength->text()));
    connect(spnLength, &QSpinBox::valueChanged, this, &frmAdd::storeGeneratorOptions);

    const struct
    {
        const char *name;
        const char *caption;
        bool on;
        double left;
        double width;
    } classes[] = {{"chkLetters", "L&etters", stored.letters, 1740, 975},
                   {"chkDigits", "&Digits", stored.digits, 2760, 840},
                   {"chkSymbols", "S&ymbols", stored.symbols, 3645, 990}};
    QWidget *previous = spnLength;
    setTabOrder(cmdGenerate, spnLength);
    for (size_t i = 0; i < chkClasses.size(); ++i) {
        auto *box = new QCheckBox(QString::fromLatin1(classes[i].caption), this);
        box->setObjectName(QString::fromLatin1(classes[i].name));
        box->setChecked(classes[i].on);
        box->setGeometry(Twips::rect(classes[i].left, top, classes[i].width, 315));
        box->setAccessibleName(Controls::withoutMnemonic(box->text()));
        connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
            // At least one class stays chosen.
            if (!on && std::ranges::none_of(chkClasses, &QCheckBox::isChecked)) {
                box->setChecked(true);
                return;
            }
            storeGeneratorOptions();
        });
        chkClasses[i] = box;
        setTabOrder(previous, box);
        previous = box;
    }
}

PasswordGenerator::Options frmAdd::generatorOptions() const
{
    PasswordGenerator::Options options;
    options.length = spnLength->value();
    options.letters = chkClasses[0]->isChecked();
    options.digits = chkClasses[1]->isChecked();
    options.symbols = chkClasses[2]->isChecked();
    return options;
}

void frmAdd::storeGeneratorOptions()
{
    PasswordGenerator::storeOptions(m_context.settings, generatorOptions());
}

void frmAdd::maskPassword()
{
    // The box gives up the room at its right end for the check box.
    txtPassword->setGeometry(Twips::rect(1320, 480, 2475, 315));
    txtPassword->setEchoMode(QLineEdit::Password);
    chkShow = new QCheckBox(QStringLiteral("S&how"), this);
    chkShow->setObjectName(QStringLiteral("chkShow"));
    chkShow->setGeometry(Twips::rect(3855, 480, 780, 315));
    connect(chkShow, &QCheckBox::toggled, this, [this](bool show) {
        txtPassword->setEchoMode(show ? QLineEdit::Normal : QLineEdit::Password);
    });
    setTabOrder(txtPassword, chkShow);
    setTabOrder(chkShow, txtWebsite);
}

void frmAdd::passwordsHiddenChanged()
{
    if (m_context.settings.hidePasswords()) {
        if (chkShow) {
            chkShow->setChecked(false);
        } else {
            maskPassword();
            chkShow->show();
        }
        return;
    }
    if (!chkShow)
        return;
    const bool hadFocus = chkShow->hasFocus();
    delete chkShow;
    chkShow = nullptr;
    txtPassword->setEchoMode(QLineEdit::Normal);
    txtPassword->setGeometry(Twips::rect(1320, 480, 3255, 315));
    setTabOrder(txtPassword, txtWebsite);
    if (hadFocus)
        txtPassword->setFocus();
}

void frmAdd::cmdGenerate_Click()
{
    const PasswordGenerator::Options options = PasswordGenerator::normalised(generatorOptions());
    txtPassword->setText(PasswordGenerator::generate(options));
    // The focus stays on the button, so the news comes as a change of its
    // description, which screen readers speak for the focused control. It
    // names the length only, never the password.
    const QString news
        = QStringLiteral("New password generated, %1 characters.").arg(options.length);
    if (cmdGenerate->accessibleDescription() != news) {
        cmdGenerate->setAccessibleDescription(news); // which tells of the change
        return;
    }
    // The same news again: told again, once.
    QAccessibleEvent event(cmdGenerate, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

QToolButton *frmAdd::makeButton(const QString &name, const QString &caption, const QString &icon,
                                double left, double top)
{
    return Controls::pictureButton(this, name, caption, icon, Twips::rect(left, top, 1155, 1035));
}

QLineEdit *frmAdd::makeBox(const QString &name, SkinLabel *label, double top)
{
    // No length limit; the password is shown in clear, as the main list
    // shows it, unless passwords are hidden.
    auto *box = new QLineEdit(this);
    box->setObjectName(name);
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setGeometry(Twips::rect(1320, top, 3255, 315));
    label->setBuddy(box);
    box->setAccessibleName(Controls::withoutMnemonic(label->text()));
    // Alt and a letter is for the underlined letters, never typed.
    Controls::refuseAltTyping(box);
    return box;
}

QLineEdit *frmAdd::box(Field field) const
{
    const std::array<QLineEdit *, kFieldCount> boxes = {txtUsername, txtPassword, txtWebsite};
    return boxes[size_t(field)];
}

void frmAdd::formLoad()
{
    // The mode and the entry are taken once, now: a later Add or Edit while
    // this window is open only brings it forward, and Save writes into the
    // entry it was opened for wherever sorting has moved it.
    const EditorState &editor = m_state;
    m_target.adding = editor.entryMode == EditorState::Mode::Add;
    if (!m_target.adding) {
        m_target.id = editor.editId;
        setWindowTitle(QStringLiteral("Edit an entry"));
        // The editor's own copies (the list keeps its entry): the boxes and
        // the state share them, and both are wiped when the editor closes.
        txtUsername->setText(editor.editUsername);
        txtPassword->setText(editor.editPassword);
        txtWebsite->setText(editor.editLocation);
    } else {
        setWindowTitle(QStringLiteral("Add an entry"));
    }
    if (editor.restoreTyped) {
        txtUsername->setText(separateCopy(editor.typed.username));
        txtPassword->setText(separateCopy(editor.typed.password));
        txtWebsite->setText(separateCopy(editor.typed.location));
        m_state.restoreTyped = false;
        m_state.typed = VaultEntry();
    }

    Controls::centreOnScreen(this);
    // Opened while the help window is kept on top, it must not open
    // underneath it.
    keepAboveTopmostWindows(this);
    if (m_context.skin.bUseSkin)
        ApplySkinToForm(m_context.skin, this);
}

frmAdd::~frmAdd()
{
    // The boxes share their texts with nobody outside the editor (the list
    // keeps copies of its own). A box that shows its text in clear draws it
    // from a copy of its own, which Qt would free without wiping.
    for (QLineEdit *box : {txtUsername, txtPassword, txtWebsite}) {
        QString held = box->text();
        wipeEverywhere(held);
        QString shown = box->displayText();
        wipeEverywhere(shown);
        box->clear();
    }
    wipeEverywhere(m_state.editUsername);
    wipeEverywhere(m_state.editPassword);
    wipeEverywhere(m_state.editLocation);
}

SecureBytes frmAdd::packHeld() const
{
    EditorState held = m_state;
    held.entryMode = m_target.adding ? EditorState::Mode::Add : EditorState::Mode::Edit;
    held.editId = m_target.id;
    held.typed = typedEntry();
    return held.pack();
}

VaultEntry frmAdd::typedEntry() const
{
    return VaultEntry {txtUsername->text(), txtPassword->text(), txtWebsite->text()};
}

bool frmAdd::hasChanges() const
{
    const VaultEntry opened = m_target.adding
        ? VaultEntry()
        : VaultEntry {m_state.editUsername, m_state.editPassword, m_state.editLocation};
    return typedEntry() != opened;
}

void frmAdd::cmdAdd_Click(int)
{
    submit();
}

void frmAdd::submit()
{
    const EntryRules::EntryProblem problem = EntryRules::checkEntry(typedEntry());
    if (!problem.ok()) {
        m_context.platform.messages->show(problem.message, MessageBox::OkOnly,
                                          EntryRules::errorTitle());
        // Back to the box that needs changing; everything typed stays.
        if (isVisible())
            box(*problem.field)->setFocus();
        return;
    }
    emit entrySubmitted(m_target, typedEntry());
}

void frmAdd::cmdDelete_Click()
{
    close();
}

void frmAdd::txtWebsite_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        cmdAdd_Click(0);
}
