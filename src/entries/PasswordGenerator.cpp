#include "PasswordGenerator.h"

#include "settings/Settings.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>

namespace PasswordGenerator {

namespace {

constexpr char16_t kAlphabet[] = u"!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                 u"[\\]^_`abcdefghijklmnopqrstuvwxyz{}~";

enum Class { Lower = 1, Upper = 2, Digit = 4, Symbol = 8 };

int classOf(char16_t u)
{
    if (u >= u'a' && u <= u'z')
        return Lower;
    if (u >= u'A' && u <= u'Z')
        return Upper;
    if (u >= u'0' && u <= u'9')
        return Digit;
    return Symbol;
}

int classesOf(const Options &options)
{
    return (options.letters ? Lower | Upper : 0) | (options.digits ? Digit : 0)
        | (options.symbols ? Symbol : 0);
}

int classesIn(QStringView password)
{
    int seen = 0;
    for (const QChar c : password)
        seen |= classOf(c.unicode());
    return seen;
}

// The characters a password is drawn from, in code order ("!" to "~"
// without "|").
QStringView alphabet()
{
    return QStringView(kAlphabet, qsizetype(std::size(kAlphabet) - 1));
}

// A number in [0, bound) with every value equally likely: draws that fall
// into the incomplete last block of 2^32 are drawn again rather than folded
// back by the remainder, which would favour the small values.
quint32 uniformBelow(QRandomGenerator &random, quint32 bound)
{
    // 2^32 mod bound values at the top would make the first values one draw
    // more likely than the rest; they are refused.
    const quint32 refused = (std::numeric_limits<quint32>::max() - bound + 1) % bound;
    const quint32 limit = std::numeric_limits<quint32>::max() - refused;
    quint32 draw = random.generate();
    while (draw > limit)
        draw = random.generate();
    return draw % bound;
}

} // namespace

Options normalised(Options options)
{
    options.length = std::clamp(options.length, kMinLength, kMaxLength);
    if (!options.letters && !options.digits && !options.symbols)
        options.letters = true;
    return options;
}

QString alphabet(const Options &options)
{
    const int allowed = classesOf(normalised(options));
    QString chars;
    for (const QChar c : alphabet()) {
        if (classOf(c.unicode()) & allowed)
            chars += c;
    }
    return chars;
}

QString generate(QRandomGenerator &random, const Options &options)
{
    const Options usable = normalised(options);
    const QString chars = alphabet(usable);
    const int wanted = classesOf(usable);
    QString password(usable.length, Qt::Uninitialized);
    do {
        for (QChar &c : password)
            c = chars[qsizetype(uniformBelow(random, quint32(chars.size())))];
    } while (classesIn(password) != wanted);
    return password;
}

QString generate(const Options &options)
{
    return generate(*QRandomGenerator::system(), options);
}

Options storedOptions(const Settings &settings)
{
    Options options;
    options.length = settings.generatorLength();
    options.letters = settings.generatorUses(Settings::Key::GeneratorLetters);
    options.digits = settings.generatorUses(Settings::Key::GeneratorDigits);
    options.symbols = settings.generatorUses(Settings::Key::GeneratorSymbols);
    return normalised(options);
}

void storeOptions(Settings &settings, const Options &options)
{
    const Options usable = normalised(options);
    settings.setGeneratorLength(usable.length);
    settings.setGeneratorUses(Settings::Key::GeneratorLetters, usable.letters);
    settings.setGeneratorUses(Settings::Key::GeneratorDigits, usable.digits);
    settings.setGeneratorUses(Settings::Key::GeneratorSymbols, usable.symbols);
}

} // namespace PasswordGenerator
