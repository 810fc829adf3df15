#include "SkinColours.h"

#include <QOperatingSystemVersion>

SkinRole skinRoleFor(QStringView typeName)
{
    if (typeName == u"CommandButton")
        return SkinRole::BackOnly;
    static constexpr QStringView kTextLike[]
        = {u"TextBox",      u"ComboBox", u"FileListBox", u"DirListBox",
           u"DriveListBox", u"ListBox",  u"ListView"};
    for (QStringView name : kTextLike) {
        if (typeName == name)
            return SkinRole::BackAndFore;
    }
    if (typeName == u"PictureBox")
        return SkinRole::PanelBackground;
    return SkinRole::Untouched;
}

bool IsNt6OrLater()
{
    // Only ever true on Windows Vista and later; every other system is not
    // of the NT family.
    static const QOperatingSystemVersion vista(QOperatingSystemVersion::Windows, 6, 0);
    return QOperatingSystemVersion::current() >= vista;
}
