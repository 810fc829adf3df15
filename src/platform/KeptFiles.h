#pragma once

#include <QRegularExpression>
#include <QString>

#include <vector>

// The files the program keeps for itself, each with the words that tell a
// user what it is. A file that the user names for the program to write (an
// export) must be none of them, by whatever name it reaches one: a symbolic
// link, a second (hard) link, another letter case, a path through "..".
// Each owner adds the files it keeps; a file it will make later is kept by
// its name all the same.
class KeptFiles
{
public:
    // The file at `path`; the letter case of its name does not count.
    void addFile(const QString &path, const QString &what);
    // Every file in `folder` whose name `names` matches, in any letter case.
    void addFiles(const QString &folder, QRegularExpression names, const QString &what);

    // What the file that a write to `path` would replace is, when it is one
    // the program keeps; empty otherwise. The file is found by the folder
    // and name it is written under, once links are followed, and, when it
    // exists, by the identity the system gives it.
    QString whatIs(const QString &path) const;

private:
    struct Kept
    {
        QString folder;
        QRegularExpression names;
        QString what;
    };

    std::vector<Kept> m_kept;
};
