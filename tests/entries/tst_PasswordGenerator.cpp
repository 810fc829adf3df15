#include "entries/EntryRules.h"
#include "entries/PasswordGenerator.h"

#include <QSet>
#include <QTest>

#include <array>
#include <cmath>
#include <functional>

namespace {

using Generator = std::function<QString()>;

int classOf(QChar c)
{
    if (c.isLower())
        return 0;
    if (c.isUpper())
        return 1;
    if (c.isDigit())
        return 2;
    return 3;
}

// Chi-square of the counts of every character at every position against what
// a fair generator gives: within a class every character equally likely, and
// every position drawn alike. The share of each class is taken from the
// sample itself, since refusing passwords that miss a class shifts it a
// little. The result is in standard deviations above the expected value.
double unevenness(const Generator &generate, int samples)
{
    const QStringView chars = PasswordGenerator::alphabet();
    const int n = PasswordGenerator::kLength;
    std::vector<std::array<double, 128>> counts(size_t(n), std::array<double, 128> {});
    std::array<double, 4> classTotals {};
    std::array<int, 4> classSizes {};
    for (const QChar c : chars)
        ++classSizes[size_t(classOf(c))];
    for (int i = 0; i < samples; ++i) {
        const QString password = generate();
        for (int p = 0; p < n; ++p) {
            ++counts[size_t(p)][password[p].unicode()];
            ++classTotals[size_t(classOf(password[p]))];
        }
    }
    double chiSquare = 0;
    for (int p = 0; p < n; ++p) {
        for (const QChar c : chars) {
            const int k = classOf(c);
            const double expected = classTotals[size_t(k)] / (n * classSizes[size_t(k)]);
            const double d = counts[size_t(p)][c.unicode()] - expected;
            chiSquare += d * d / expected;
        }
    }
    const double freedom = double(n) * chars.size() - 4;
    return (chiSquare - freedom) / std::sqrt(2 * freedom);
}

} // namespace

class tst_PasswordGenerator : public QObject
{
    Q_OBJECT

private slots:
    void makesStorablePasswordsOfEveryClass();
    void tenThousandInARowAreAllDifferent();
    void drawsEveryCharacterAlike();
};

void tst_PasswordGenerator::makesStorablePasswordsOfEveryClass()
{
    for (int i = 0; i < 2000; ++i) {
        const QString password = PasswordGenerator::generate();
        QCOMPARE(password.size(), PasswordGenerator::kLength);
        std::array<bool, 4> seen {};
        for (const QChar c : password) {
            QVERIFY2(c.unicode() > u' ' && c.unicode() < 127 && c != u'|', qPrintable(password));
            seen[size_t(classOf(c))] = true;
        }
        QVERIFY2(seen == (std::array<bool, 4> {true, true, true, true}), qPrintable(password));
        QVERIFY(EntryRules::checkEntry({QStringLiteral("user"), password, QString()}).ok());
    }
}

void tst_PasswordGenerator::tenThousandInARowAreAllDifferent()
{
    QSet<QString> seen;
    for (int i = 0; i < 10000; ++i)
        seen.insert(PasswordGenerator::generate());
    QCOMPARE(seen.size(), 10000);
}

void tst_PasswordGenerator::drawsEveryCharacterAlike()
{
    // A fair generator stays within 6 standard deviations but for a chance of
    // about one in a billion; a remainder taken of a small random number, or
    // a position kept for each class, lands far beyond.
    const double sigmas = unevenness([] { return PasswordGenerator::generate(); }, 5000);
    QVERIFY2(sigmas < 6, qPrintable(QString::number(sigmas)));
}

QTEST_GUILESS_MAIN(tst_PasswordGenerator)
#include "tst_PasswordGenerator.moc"
