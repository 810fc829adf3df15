#include "entries/EntryRules.h"
#include "entries/PasswordGenerator.h"

#include <QSet>
#include <QTest>

#include <algorithm>
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
double unevenness(const Generator &generate, int samples,
                  const PasswordGenerator::Options &options = {})
{
    const QString chars = PasswordGenerator::alphabet(options);
    const int n = options.length;
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
    const double classes = double(
        std::count_if(classSizes.cbegin(), classSizes.cend(), [](int size) { return size > 0; }));
    const double freedom = double(n) * chars.size() - classes;
    return (chiSquare - freedom) / std::sqrt(2 * freedom);
}

} // namespace

Q_DECLARE_METATYPE(PasswordGenerator::Options)

class tst_PasswordGenerator : public QObject
{
    Q_OBJECT

private slots:
    void makesStorablePasswordsOfEveryClass_data();
    void makesStorablePasswordsOfEveryClass();
    void tenThousandInARowAreAllDifferent();
    void drawsEveryCharacterAlike_data();
    void drawsEveryCharacterAlike();
};

void tst_PasswordGenerator::makesStorablePasswordsOfEveryClass_data()
{
    QTest::addColumn<PasswordGenerator::Options>("options");
    QTest::addColumn<QString>("classes"); // l small, u capital, d digit, s symbol
    QTest::addColumn<int>("length");

    QTest::newRow("default") << PasswordGenerator::Options() << "luds" << 20;
    QTest::newRow("8, digits") << PasswordGenerator::Options {8, false, true, false} << "d" << 8;
    QTest::newRow("64, letters and symbols")
        << PasswordGenerator::Options {64, true, false, true} << "lus" << 64;
    QTest::newRow("out of range, no class")
        << PasswordGenerator::Options {3, false, false, false} << "lu" << 8;
    QTest::newRow("too long") << PasswordGenerator::Options {65, false, true, true} << "ds" << 64;
}

void tst_PasswordGenerator::makesStorablePasswordsOfEveryClass()
{
    QFETCH(PasswordGenerator::Options, options);
    QFETCH(QString, classes);
    QFETCH(int, length);
    for (int i = 0; i < 2000; ++i) {
        const QString password = PasswordGenerator::generate(options);
        QCOMPARE(password.size(), length);
        QString seen;
        for (const QChar c : password) {
            QVERIFY2(c.unicode() > u' ' && c.unicode() < 127 && c != u'|', qPrintable(password));
            seen += QStringLiteral("luds")[c.isLower() ? 0 : c.isUpper() ? 1 : c.isDigit() ? 2 : 3];
        }
        for (const QChar c : QStringLiteral("luds"))
            QVERIFY2(seen.contains(c) == classes.contains(c), qPrintable(password));
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

void tst_PasswordGenerator::drawsEveryCharacterAlike_data()
{
    QTest::addColumn<PasswordGenerator::Options>("options");
    QTest::newRow("default") << PasswordGenerator::Options();
    QTest::newRow("8, digits") << PasswordGenerator::Options {8, false, true, false};
    QTest::newRow("64, letters and symbols") << PasswordGenerator::Options {64, true, false, true};
}

void tst_PasswordGenerator::drawsEveryCharacterAlike()
{
    QFETCH(PasswordGenerator::Options, options);
    // A fair generator stays within 6 standard deviations but for a chance of
    // about one in a billion; a remainder taken of a small random number, or
    // a position kept for each class, lands far beyond.
    const double sigmas
        = unevenness([&options] { return PasswordGenerator::generate(options); }, 5000, options);
    QVERIFY2(sigmas < 6, qPrintable(QString::number(sigmas)));
}

QTEST_GUILESS_MAIN(tst_PasswordGenerator)
#include "tst_PasswordGenerator.moc"
