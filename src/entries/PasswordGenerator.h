#pragma once

#include <QString>

class QRandomGenerator;
class Settings;

// New passwords for the entry editor, drawn uniformly from the printable
// ASCII characters other than space and "|" that the chosen classes allow,
// with at least one character of every chosen class (letters count as two:
// a small one and a capital). Without "|" every password it makes can be
// stored in the vault file as it is.
namespace PasswordGenerator {

inline constexpr int kLength = 20;
inline constexpr int kMinLength = 8;
inline constexpr int kMaxLength = 64;

// What a new password is made of. By default 20 characters of every class.
struct Options
{
    int length = kLength;
    bool letters = true;
    bool digits = true;
    bool symbols = true;

    friend bool operator==(const Options &, const Options &) = default;
};

// The options made usable: the length brought into [8, 64], and letters
// allowed when no class is.
Options normalised(Options options);

// The characters of the alphabet that the options allow, in code order.
QString alphabet(const Options &options);

// A new password from this source. A draw that misses one of the chosen
// classes is thrown away whole and drawn again, so that every password that
// has them all is equally likely and no position is kept for a class.
QString generate(QRandomGenerator &random, const Options &options = {});

// A new password from the system's secure random source.
QString generate(const Options &options = {});

// The options as the settings remember them, normalised.
Options storedOptions(const Settings &settings);
void storeOptions(Settings &settings, const Options &options);

} // namespace PasswordGenerator
