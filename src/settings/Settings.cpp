#include "Settings.h"

#include "platform/SettingsStore.h"

namespace {

struct Definition
{
    Settings::Key key;
    const char16_t *name;
    // What a missing value counts as.
    const char16_t *defaultText;
};

// In the order of Settings::Key.
constexpr std::array<Definition, Settings::kKeyCount> kDefinitions = {{
    {Settings::Key::ShowHelp, u"showHelp", u"1"},
    {Settings::Key::HidePasswords, u"HidePasswords", u"0"},
    {Settings::Key::ClipboardSeconds, u"ClipboardSeconds", u"30"},
    {Settings::Key::GeneratorLength, u"GeneratorLength", u"20"},
    {Settings::Key::GeneratorLetters, u"GeneratorLetters", u"1"},
    {Settings::Key::GeneratorDigits, u"GeneratorDigits", u"1"},
    {Settings::Key::GeneratorSymbols, u"GeneratorSymbols", u"1"},
    {Settings::Key::LockAfterMinutes, u"LockAfterMinutes", u"10"},
    {Settings::Key::LockWithDesktop, u"LockWithDesktop", u"1"},
}};

constexpr bool inKeyOrder()
{
    for (size_t i = 0; i < kDefinitions.size(); ++i) {
        if (size_t(kDefinitions[i].key) != i)
            return false;
    }
    return true;
}
static_assert(inKeyOrder(), "the table of keys follows the order of Settings::Key");

constexpr int kDefaultClipboardSeconds = 30;
constexpr int kDefaultGeneratorLength = 20;
constexpr int kDefaultLockAfterMinutes = 10;

const Definition &definition(Settings::Key key)
{
    return kDefinitions[size_t(key)];
}

QString section()
{
    return QStringLiteral("Settings");
}

} // namespace

Settings::Settings(SettingsStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    for (const Definition &each : kDefinitions)
        m_values[size_t(each.key)] = QString::fromUtf16(each.defaultText);
}

void Settings::load(const QString &application)
{
    m_application = application;
    for (const Definition &each : kDefinitions)
        m_values[size_t(each.key)]
            = m_store.value(m_application, section(), QString::fromUtf16(each.name),
                            QString::fromUtf16(each.defaultText));
}

QString Settings::text(Key key) const
{
    return m_values[size_t(key)];
}

void Settings::setText(Key key, const QString &text)
{
    m_store.setValue(m_application, section(), QString::fromUtf16(definition(key).name), text);
    QString &held = m_values[size_t(key)];
    if (held == text)
        return;
    held = text;
    emit changed(key);
}

std::optional<int> Settings::number(Key key) const
{
    bool ok = false;
    const int value = text(key).trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

void Settings::setFlag(Key key, bool on)
{
    setText(key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

bool Settings::hidePasswords() const
{
    return text(Key::HidePasswords) == u"1";
}

void Settings::setHidePasswords(bool hide)
{
    setFlag(Key::HidePasswords, hide);
}

int Settings::clipboardSeconds() const
{
    const std::optional<int> seconds = number(Key::ClipboardSeconds);
    return seconds && *seconds >= 0 ? *seconds : kDefaultClipboardSeconds;
}

int Settings::generatorLength() const
{
    return number(Key::GeneratorLength).value_or(kDefaultGeneratorLength);
}

void Settings::setGeneratorLength(int length)
{
    setText(Key::GeneratorLength, QString::number(length));
}

bool Settings::generatorUses(Key flag) const
{
    return text(flag) != u"0";
}

void Settings::setGeneratorUses(Key flag, bool used)
{
    setFlag(flag, used);
}

int Settings::lockAfterMinutes() const
{
    const std::optional<int> minutes = number(Key::LockAfterMinutes);
    return minutes && *minutes >= 0 ? *minutes : kDefaultLockAfterMinutes;
}

void Settings::setLockAfterMinutes(int minutes)
{
    setText(Key::LockAfterMinutes, QString::number(qMax(0, minutes)));
}

bool Settings::lockWithDesktop() const
{
    return text(Key::LockWithDesktop).trimmed() != u"0";
}

void Settings::setLockWithDesktop(bool on)
{
    setFlag(Key::LockWithDesktop, on);
}
