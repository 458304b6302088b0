// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/boundedfile.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace kr52;

namespace {

using testsupport::writeFile;

int refuseAccess(const char *, int)
{
    errno = EACCES;
    return -1;
}

} // namespace

// Files from outside are opened one way: never blocking, regular files only, bounded reads.
class tst_boundedfile : public QObject {
    Q_OBJECT

private slots:
    // Every kind of name a folder can hold; none of them may stall or read without end.
    void whatIsRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("tooLarge");
        QTest::addColumn<QString>("error");

        const QString notRegular(notRegularFileReason);
        QTest::newRow("regular file") << "file" << QByteArray("0123456789") << false << "";
        QTest::newRow("empty file") << "empty" << QByteArray() << false << "";
        QTest::newRow("one byte over the bound") << "large" << QByteArray() << true << "";
        QTest::newRow("link to a regular file") << "link to file" << QByteArray("0123456789") << false << "";
        QTest::newRow("FIFO without a writer") << "fifo" << QByteArray() << false << notRegular;
        QTest::newRow("link to a FIFO") << "link to fifo" << QByteArray() << false << notRegular;
        QTest::newRow("link to /dev/zero") << "link to zero" << QByteArray() << false << notRegular;
        QTest::newRow("socket") << "socket" << QByteArray() << false << "No such device or address";
        QTest::newRow("folder") << "folder" << QByteArray() << false << QString(folderReason);
        QTest::newRow("missing") << "missing" << QByteArray() << false << "No such file or directory";
        QTest::newRow("dangling link") << "dangling" << QByteArray() << false << "No such file or directory";
    }

    void whatIsRead()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFETCH(QString, kind);
        const QString path = dir.filePath(QStringLiteral("page"));
        const QByteArray native = QFile::encodeName(path);
        const QString file = dir.filePath(QStringLiteral("target"));
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QVERIFY(writeFile(file, "0123456789"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

        int socketFd = -1;
        if (kind == QLatin1String("file"))
            QVERIFY(writeFile(path, "0123456789"));
        else if (kind == QLatin1String("empty"))
            QVERIFY(writeFile(path, {}));
        else if (kind == QLatin1String("large"))
            QVERIFY(writeFile(path, QByteArray(17, 'x')));
        else if (kind == QLatin1String("link to file"))
            QVERIFY(QFile::link(file, path));
        else if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        else if (kind == QLatin1String("link to fifo"))
            QVERIFY(QFile::link(fifo, path));
        else if (kind == QLatin1String("link to zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("page")));
        else if (kind == QLatin1String("dangling"))
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), path));
        else if (kind == QLatin1String("socket")) {
            socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QVERIFY(socketFd >= 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, native.constData(), sizeof address.sun_path);
            QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        }

        const FileContents read = readRegularFile(native, 16);
        if (socketFd >= 0)
            ::close(socketFd);
        QTEST(read.bytes, "bytes");
        QTEST(read.tooLarge, "tooLarge");
        QTEST(read.error, "error");
        // The same refusals come from opening alone.
        const OpenedFile opened = openRegularFile(native);
        QCOMPARE(opened.file == nullptr, !read.error.isEmpty());
        QCOMPARE(opened.error, read.error);
    }

    void aReadStopsAtTheBound()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("exact"));
        QVERIFY(writeFile(path, QByteArray(16, 'x')));
        QCOMPARE(readRegularFile(QFile::encodeName(path), 16).bytes, QByteArray(16, 'x'));
        QVERIFY(readRegularFile(QFile::encodeName(path), 15).tooLarge);
    }

    // Names are bytes: one that is not UTF-8 opens as well as any other.
    void namesAreBytes()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray path = QFile::encodeName(dir.path()) + "/caf\xe9.rtf";
        {
            FILE *stream = std::fopen(path.constData(), "w");
            QVERIFY(stream);
            std::fputs("latin-1 name", stream);
            std::fclose(stream);
        }
        QCOMPARE(readRegularFile(path, 100).bytes, QByteArray("latin-1 name"));
    }

    // The seam gives tests any failure of the system's open, even as root.
    void theOpenCallCanBeReplaced()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("readable"));
        QVERIFY(writeFile(path, "x"));
        const OpenCall previous = setOpenCallForTests(refuseAccess);
        const FileContents refused = readRegularFile(QFile::encodeName(path), 10);
        setOpenCallForTests(previous);
        QCOMPARE(refused.error, QStringLiteral("Permission denied"));
        QCOMPARE(readRegularFile(QFile::encodeName(path), 10).bytes, QByteArray("x"));
    }
};

QTEST_GUILESS_MAIN(tst_boundedfile)
#include "tst_boundedfile.moc"
