#pragma once

#include <QString>
#include <QStringView>

class QRandomGenerator;

// New passwords for the entry editor: 20 characters drawn uniformly from the
// printable ASCII characters other than space and "|", with at least one
// small letter, one capital, one digit and one other sign. Without "|" every
// password it makes can be stored in the vault file as it is.
namespace PasswordGenerator {

inline constexpr int kLength = 20;

// The characters a password is drawn from, in code order ("!" to "~"
// without "|").
QStringView alphabet();

// A number in [0, bound) with every value equally likely: draws that fall
// into the incomplete last block of 2^32 are drawn again rather than folded
// back by the remainder, which would favour the small values.
quint32 uniformBelow(QRandomGenerator &random, quint32 bound);

// A new password from this source. A draw that misses one of the four
// classes is thrown away whole and drawn again, so that every password that
// has all four is equally likely and no position is kept for a class.
QString generate(QRandomGenerator &random);

// A new password from the system's secure random source.
QString generate();

} // namespace PasswordGenerator
