#include "PasswordGenerator.h"

#include <QRandomGenerator>

#include <limits>

namespace PasswordGenerator {

namespace {

constexpr char16_t kAlphabet[] = u"!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                 u"[\\]^_`abcdefghijklmnopqrstuvwxyz{}~";

bool hasEveryClass(QStringView password)
{
    bool lower = false, upper = false, digit = false, other = false;
    for (const QChar c : password) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            lower = true;
        else if (u >= u'A' && u <= u'Z')
            upper = true;
        else if (u >= u'0' && u <= u'9')
            digit = true;
        else
            other = true;
    }
    return lower && upper && digit && other;
}

} // namespace

QStringView alphabet()
{
    return QStringView(kAlphabet, qsizetype(std::size(kAlphabet) - 1));
}

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

QString generate(QRandomGenerator &random)
{
    const QStringView chars = alphabet();
    QString password(kLength, Qt::Uninitialized);
    do {
        for (QChar &c : password)
            c = chars[qsizetype(uniformBelow(random, quint32(chars.size())))];
    } while (!hasEveryClass(password));
    return password;
}

QString generate()
{
    return generate(*QRandomGenerator::system());
}

} // namespace PasswordGenerator
