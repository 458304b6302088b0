// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/boundedfile.h"
#include "presets/presetfile.h"
#include "presets/presetfolder.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <sys/stat.h>

using namespace kr52;

Q_DECLARE_METATYPE(PresetDescription::Outcome)
Q_DECLARE_METATYPE(PresetHeader::Outcome)

namespace {

int openDescriptors()
{
    return int(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot).size());
}

} // namespace

class tst_presetfile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir.filePath(name);
        testsupport::writeFile(path, content);
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void descriptionRead_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<PresetDescription::Outcome>("outcome");
        QTest::addColumn<QString>("description");
        using O = PresetDescription::Outcome;

        QTest::newRow("one line, second never read")
            << QByteArray("VX5PREV1,Receipt set-up\r\nVX5PREV1,\"other") << O::Read << "Receipt set-up";
        QTest::newRow("two lines, unquoted comma cuts")
            << QByteArray("VX5PREV1\r\nTickets, 2 mm\r\n") << O::Read << "Tickets";
        QTest::newRow("two lines, quoted keeps comma")
            << QByteArray("VX5PREV1\r\n\"Tickets, 2 mm\"\r\n") << O::Read << "Tickets, 2 mm";
        QTest::newRow("LF lines") << QByteArray("VX5PREV1\nTickets\n") << O::Read << "Tickets";
        QTest::newRow("no final line end") << QByteArray("VX5PREV1\r\nTickets") << O::Read << "Tickets";
        QTest::newRow("header after spaces") << QByteArray("   VX5PREV1,Tickets") << O::Read << "Tickets";
        QTest::newRow("header in quotes") << QByteArray("\"VX5PREV1\",Tickets") << O::Read << "Tickets";
        QTest::newRow("no version") << QByteArray("VX5PREV,Tickets") << O::Read << "Tickets";
        QTest::newRow("version too large") << QByteArray("VX5PREV99999,Tickets") << O::Read << "Tickets";
        QTest::newRow("empty description") << QByteArray("VX5PREV1,,Tickets") << O::Read << "";
        QTest::newRow("blank second line") << QByteArray("VX5PREV1\r\n\r\nTickets") << O::Read << "";
        QTest::newRow("header only") << QByteArray("VX5PREV1") << O::Read << "";
        QTest::newRow("header only with line end") << QByteArray("VX5PREV1\r\n") << O::Read << "";
        QTest::newRow("lower case") << QByteArray("vx5prev1,Tickets") << O::NotAPreset << "";
        QTest::newRow("six characters") << QByteArray("VX5PRE,Tickets") << O::NotAPreset << "";
        QTest::newRow("six characters and a version") << QByteArray("VX5PRE1,Tickets") << O::NotAPreset << "";
        QTest::newRow("magic after other text") << QByteArray("xVX5PREV1,Tickets") << O::NotAPreset << "";
        QTest::newRow("empty file") << QByteArray() << O::NotAPreset << "";
        QTest::newRow("blank first line") << QByteArray("\r\nVX5PREV1,Tickets") << O::NotAPreset << "";
        QTest::newRow("binary") << QByteArray("\x00\xff\x1bVX5PREV1", 11) << O::NotAPreset << "";

        // A field holds at most 64 KB of the file, the comma after it included.
        const qsizetype bound = qsizetype{64} * 1024;
        QTest::newRow("description longer than a field is cut and marked")
            << QByteArray("VX5PREV1," + QByteArray(1 << 20, 'd')) << O::Read
            << QString(bound, QLatin1Char('d')) + cutDescriptionMark.toString();
        QTest::newRow("description that just fits") << QByteArray("VX5PREV1," + QByteArray(bound - 1, 'd') + ",")
                                                    << O::Read << QString(bound - 1, QLatin1Char('d'));
        QTest::newRow("header longer than a field")
            << QByteArray("VX5PREV1" + QByteArray(1 << 20, 'x') + ",Tickets") << O::NotAPreset << "";
        QTest::newRow("header that just fits")
            << QByteArray("VX5PREV1" + QByteArray(bound - 9, ' ') + ",Tickets") << O::Read << "Tickets";
    }

    void descriptionRead()
    {
        QFETCH(QByteArray, content);
        QFETCH(PresetDescription::Outcome, outcome);
        QFETCH(QString, description);
        const PresetDescription read = readPresetDescription(write(QStringLiteral("read.pre"), content));
        QCOMPARE(read.outcome, outcome);
        QCOMPARE(read.description, description);
    }

    void headerCheck_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<PresetHeader::Outcome>("outcome");
        QTest::addColumn<int>("version");
        using O = PresetHeader::Outcome;

        QTest::newRow("version 1") << QByteArray("VX5PREV1,Tickets") << O::Valid << 1;
        QTest::newRow("header only, no line end") << QByteArray("VX5PREV7") << O::Valid << 7;
        QTest::newRow("no version reads 0") << QByteArray("VX5PREV\r\nTickets") << O::Valid << 0;
        QTest::newRow("letter reads 0") << QByteArray("VX5PREVx2") << O::Valid << 0;
        QTest::newRow("in quotes") << QByteArray("\"VX5PREV3\"") << O::Valid << 3;
        QTest::newRow("negative") << QByteArray("VX5PREV-4") << O::Valid << -4;
        QTest::newRow("half rounds to even, down") << QByteArray("VX5PREV2.5") << O::Valid << 2;
        QTest::newRow("half rounds to even, up") << QByteArray("VX5PREV3.5") << O::Valid << 4;
        QTest::newRow("largest") << QByteArray("VX5PREV32767") << O::Valid << 32767;
        QTest::newRow("smallest, by rounding") << QByteArray("VX5PREV-32768.5") << O::Valid << -32768;
        QTest::newRow("rounds past largest") << QByteArray("VX5PREV32767.5") << O::Corrupt << 0;
        QTest::newRow("one past largest") << QByteArray("VX5PREV32768") << O::Corrupt << 0;
        QTest::newRow("one below smallest") << QByteArray("VX5PREV-32769") << O::Corrupt << 0;
        QTest::newRow("99999") << QByteArray("VX5PREV99999,Tickets") << O::Corrupt << 0;
        QTest::newRow("huge exponent") << QByteArray("VX5PREV1E999") << O::Corrupt << 0;
        QTest::newRow("lower case") << QByteArray("vx5prev1") << O::Corrupt << 0;
        QTest::newRow("six characters") << QByteArray("VX5PRE") << O::Corrupt << 0;
        QTest::newRow("empty file") << QByteArray() << O::Corrupt << 0;
        QTest::newRow("header longer than a field")
            << QByteArray("VX5PREV1" + QByteArray(1 << 20, ' ') + ",Tickets") << O::Corrupt << 0;
    }

    void headerCheck()
    {
        QFETCH(QByteArray, content);
        QFETCH(PresetHeader::Outcome, outcome);
        QFETCH(int, version);
        const PresetHeader check = checkPresetHeader(write(QStringLiteral("check.pre"), content));
        QCOMPARE(check.outcome, outcome);
        QCOMPARE(int(check.version), version);
    }

    void unreadableFilesGiveTheReason()
    {
        const QString missing = m_dir.filePath(QStringLiteral("missing.pre"));
        const PresetDescription read = readPresetDescription(missing);
        QCOMPARE(read.outcome, PresetDescription::Outcome::Unreadable);
        QVERIFY2(read.error.contains(QStringLiteral("No such file")), qPrintable(read.error));
        const PresetHeader check = checkPresetHeader(missing);
        QCOMPARE(check.outcome, PresetHeader::Outcome::Unreadable);
        QVERIFY2(check.error.contains(QStringLiteral("No such file")), qPrintable(check.error));

        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder.pre")));
        const QString folder = m_dir.filePath(QStringLiteral("folder.pre"));
        QCOMPARE(readPresetDescription(folder).outcome, PresetDescription::Outcome::Unreadable);
        QVERIFY(!readPresetDescription(folder).error.isEmpty());
        QCOMPARE(checkPresetHeader(folder).outcome, PresetHeader::Outcome::Unreadable);
    }

    // Every read closes its file, whatever it found.
    void filesAreClosed()
    {
        const QStringList paths{write(QStringLiteral("a.pre"), "VX5PREV1,Tickets"),
                                write(QStringLiteral("b.pre"), "junk"), write(QStringLiteral("c.pre"), ""),
                                write(QStringLiteral("d.pre"), "VX5PREV99999")};
        const int before = openDescriptors();
        {
            QFile held(paths.first());
            QVERIFY(held.open(QIODevice::ReadOnly));
            QCOMPARE(openDescriptors(), before + 1); // the count sees an open file
        }
        for (const QString &path : paths) {
            (void)readPresetDescription(path);
            (void)checkPresetHeader(path);
        }
        QCOMPARE(openDescriptors(), before);
    }

    void shippedPresetsAreValid()
    {
        const QString folder = presetFolder(QStringLiteral(KR52_SOURCE_DIR));
        const PresetFolderListing listing = listPresetFiles(folder);
        QVERIFY(listing.readable);
        QVERIFY(listing.names.size() >= 2);
        for (const QString &name : listing.names) {
            const QString path = folder + QLatin1Char('/') + name;
            const PresetDescription read = readPresetDescription(path);
            QCOMPARE(read.outcome, PresetDescription::Outcome::Read);
            QVERIFY2(read.description.size() > 20, qPrintable(name));
            const PresetHeader check = checkPresetHeader(path);
            QCOMPARE(check.outcome, PresetHeader::Outcome::Valid);
            QCOMPARE(check.version, qint16(1));
        }
    }

    // Only names whose target is a regular file are listed: a FIFO would stall the dialog and a
    // device would be read without end. Each is refused when opened all the same.
    void oddEntriesAreLeftOut()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const auto path = [&dir](const char *name) { return dir.filePath(QLatin1String(name)); };
        QVERIFY(QFile(path("plain.pre")).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(path("plain.pre"), path("link to plain.pre")));
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo.pre")).constData(), 0600), 0);
        QVERIFY(QFile::link(path("fifo.pre"), path("link to fifo.pre")));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path("zero.pre")));
        QVERIFY(QFile::link(path("nowhere"), path("dangling.pre")));
        const PresetFolderListing listing = listPresetFiles(dir.path());
        QVERIFY(listing.readable);
        QCOMPARE(listing.names, (QStringList{"link to plain.pre", "plain.pre"}));

        for (const char *name : {"fifo.pre", "link to fifo.pre", "zero.pre"}) {
            const PresetDescription read = readPresetDescription(path(name));
            QCOMPARE(read.outcome, PresetDescription::Outcome::Unreadable);
            QCOMPARE(read.error, QString(notRegularFileReason));
            const PresetHeader check = checkPresetHeader(path(name));
            QCOMPARE(check.outcome, PresetHeader::Outcome::Unreadable);
            QCOMPARE(check.error, QString(notRegularFileReason));
        }
    }

    // The folder's names are 8-bit text: those that are not UTF-8 are shown decoded and opened
    // by their own bytes.
    void namesThatAreNotUtf8()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray latin1Name = "caf\xe9.pre";
        const QByteArray utf8Name = "na\xc3\xafve.pre";
        for (const QByteArray &name : {latin1Name, utf8Name}) {
            FILE *stream = std::fopen((QFile::encodeName(dir.path()) + '/' + name).constData(), "w");
            QVERIFY(stream);
            std::fputs("VX5PREV1,Found by its bytes", stream);
            std::fclose(stream);
        }
        const PresetFolderListing listing = listPresetFiles(dir.path());
        QVERIFY(listing.readable);
        QCOMPARE(listing.names, (QStringList{QStringLiteral("caf\u00e9.pre"), QStringLiteral("na\u00efve.pre")}));
        QCOMPARE(listing.fileNames, (QList<QByteArray>{latin1Name, utf8Name}));
        for (const QByteArray &name : listing.fileNames) {
            const PresetDescription read = readPresetDescription(QFile::encodeName(dir.path()) + '/' + name);
            QCOMPARE(read.outcome, PresetDescription::Outcome::Read);
            QCOMPARE(read.description, QStringLiteral("Found by its bytes"));
        }
    }

    void folderListing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const char *name : {"b.pre", "A.pre", "UPPER.PRE", "notes.txt", ".hidden.pre", "pre", "recipe", "x.apre"})
            QVERIFY(QFile(dir.filePath(QLatin1String(name))).open(QIODevice::WriteOnly));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.pre")));
        const PresetFolderListing listing = listPresetFiles(dir.path());
        QVERIFY(listing.readable);
        QCOMPARE(listing.names, (QStringList{"A.pre", "b.pre", "UPPER.PRE"}));

        const PresetFolderListing missing = listPresetFiles(dir.filePath(QStringLiteral("Presets")));
        QVERIFY(!missing.readable);
        QVERIFY2(missing.error.contains(QStringLiteral("No such file")), qPrintable(missing.error));
        const PresetFolderListing notFolder = listPresetFiles(dir.filePath(QStringLiteral("notes.txt")));
        QVERIFY(!notFolder.readable);
        QVERIFY2(notFolder.error.contains(QStringLiteral("Not a directory")), qPrintable(notFolder.error));
    }
};

QTEST_GUILESS_MAIN(tst_presetfile)
#include "tst_presetfile.moc"
