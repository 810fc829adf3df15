#pragma once

#include <QString>
#include <QStringView>

// Text as the find bar compares it: letter case and accents do not count,
// as in the sort, so "É" finds "e" and "ﬁ" finds "FI".
namespace SearchText {

// The text decomposed (NFKD), without its combining marks, case-folded.
QString fold(QStringView text);

} // namespace SearchText
