#include "SearchText.h"

namespace SearchText {

namespace {

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

} // namespace

QString fold(QStringView text)
{
    // Most entries are plain ASCII: they need neither decomposing nor marks
    // taken out.
    if (isAscii(text))
        return text.toString().toCaseFolded();
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (!c.isMark())
            folded.append(c);
    }
    return folded.toCaseFolded();
}

} // namespace SearchText
