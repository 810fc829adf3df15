#pragma once

#include "vault/VaultFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A fresh program folder per test case with the vault's path in it, and the
// bytes of a file read and written as they stand.
class VaultFolderFixture
{
protected:
    void setUp()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = VaultFile::pathIn(m_dir->path());
    }
    void tearDown() { m_dir.reset(); }

    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};
