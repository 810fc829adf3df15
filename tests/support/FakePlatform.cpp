#include "FakePlatform.h"

int FakeMessageBoxes::show(const QString &text, int style, const QString &title)
{
    const Shown box {text, style, title};
    shown.append(box);
    if (onShow)
        onShow(box);
    if (!answers.isEmpty())
        return answers.dequeue();
    const int buttons = style & 0x0F;
    if (buttons == MessageBox::YesNo)
        return MessageBox::No;
    return buttons == MessageBox::RetryCancel ? MessageBox::Cancel : MessageBox::Ok;
}

QString FakeSettings::path(const QString &application, const QString &section, const QString &key)
{
    return application + QLatin1Char('/') + section + QLatin1Char('/') + key;
}

QString FakeSettings::value(const QString &application, const QString &section, const QString &key,
                            const QString &defaultValue) const
{
    return values.value(path(application, section, key), defaultValue);
}

void FakeSettings::setValue(const QString &application, const QString &section, const QString &key,
                            const QString &value)
{
    values.insert(path(application, section, key), value);
    ++writes;
}

QString FakeFileDialogs::openFileName(const QString &caption, const QString &)
{
    asked.append(caption);
    return answers.isEmpty() ? QString() : answers.dequeue();
}

QString FakeFileDialogs::saveFileName(const QString &caption, const QString &suggested,
                                      const QString &)
{
    asked.append(caption + QStringLiteral(": ") + suggested);
    return answers.isEmpty() ? QString() : answers.dequeue();
}
