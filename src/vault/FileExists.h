#pragma once

#include <QString>

// The last component of a path: everything after its last folder separator.
QString fileNamePart(const QString &path);

// Whether the path names an ordinary file: folders, hidden files and system
// files do not count. The name on disk is compared with the path's file name
// ignoring letter case. Any error gives false.
bool fileExists(const QString &path);

// The path of the file that fileExists finds, under its own name on disk
// (the exact name when there is a file of that name); empty when it finds
// none.
QString foundFilePath(const QString &path);
