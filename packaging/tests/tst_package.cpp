// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the .deb with CPack into a temporary folder and looks inside it with dpkg-deb, without
// installing it: its files, its control fields, its copyright file, and its programs run unpacked.
#include "metainfo.h"
#include "programrun.h"

#include "app/appinfo.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString appId = QString::fromLatin1(kr52::applicationId);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_package : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_package;
    QStringList m_listing; // dpkg-deb -c, one line per entry
    QString m_unpacked;

    ProgramRun dpkgDeb(const QStringList &arguments) const { return runProgram(QStringLiteral("dpkg-deb"), arguments); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        const QString out = m_root.filePath(QStringLiteral("out"));
        const ProgramRun cpack = runProgram(QStringLiteral(KR52_CPACK),
                                            {"-G", "DEB", "--config", KR52_BUILD_DIR "/CPackConfig.cmake", "-B", out});
        QVERIFY2(cpack.finished && cpack.exitCode == 0, qPrintable(cpack.describe()));
        const QStringList packages = QDir(out).entryList({QStringLiteral("*.deb")}, QDir::Files);
        QCOMPARE(packages.size(), 1);
        m_package = out + QLatin1Char('/') + packages.first();

        const ProgramRun listing = dpkgDeb({"-c", m_package});
        QVERIFY2(listing.finished && listing.exitCode == 0, qPrintable(listing.describe()));
        m_listing = QString::fromUtf8(listing.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);

        m_unpacked = m_root.filePath(QStringLiteral("unpacked"));
        const ProgramRun unpack = dpkgDeb({"-x", m_package, m_unpacked});
        QVERIFY2(unpack.finished && unpack.exitCode == 0, qPrintable(unpack.describe()));
    }

    void contents_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("executable");
        QTest::newRow("utility") << "./usr/bin/kr52-config" << true;
        QTest::newRow("virtual printer") << "./usr/bin/kr52-virtual" << true;
        QTest::newRow("help page") << "./usr/share/kr52-config/help/help7.rtf" << false;
        QTest::newRow("preset") << "./usr/share/kr52-config/Presets/Labels.pre" << false;
        QTest::newRow("desktop entry") << "./usr/share/applications/" + appId + ".desktop" << false;
        QTest::newRow("metainfo") << "./usr/share/metainfo/" + appId + ".metainfo.xml" << false;
        QTest::newRow("48 pixel icon") << "./usr/share/icons/hicolor/48x48/apps/" + appId + ".png" << false;
        QTest::newRow("scalable icon") << "./usr/share/icons/hicolor/scalable/apps/" + appId + ".svg" << false;
        QTest::newRow("man page") << "./usr/share/man/man1/kr52-config.1.gz" << false;
        QTest::newRow("copyright") << "./usr/share/doc/kr52-config/copyright" << false;
        QTest::newRow("changelog") << "./usr/share/doc/kr52-config/changelog.gz" << false;
    }

    // Each entry is there, owned by root, with the mode a package should give it.
    void contents()
    {
        QFETCH(QString, path);
        QFETCH(bool, executable);
        const QString mode = executable ? QStringLiteral("-rwxr-xr-x") : QStringLiteral("-rw-r--r--");
        const QRegularExpression entry(QStringLiteral("^%1 root/root +\\d+ \\S+ \\S+ %2$")
                                           .arg(QRegularExpression::escape(mode), QRegularExpression::escape(path)));
        QVERIFY2(!m_listing.filter(entry).isEmpty(), qPrintable(m_listing.join(QLatin1Char('\n'))));
    }

    void everythingBelongsToRoot()
    {
        QCOMPARE(m_listing.filter(QRegularExpression(QStringLiteral("^\\S+ root/root "))), m_listing);
    }

    void controlFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("name") << "Package"
                              << "kr52-config";
        QTest::newRow("version") << "Version" << QRegularExpression::escape(kr52::versionText());
        QTest::newRow("dependency on Qt Widgets") << "Depends"
                                                  << ".*libqt6widgets6.*";
        QTest::newRow("dependency on Qt Serial Port") << "Depends"
                                                      << ".*libqt6serialport6.*";
        QTest::newRow("maintainer") << "Maintainer"
                                    << ".+ <[^ >]+@[^ >]+>";
    }

    void controlFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, pattern);
        const ProgramRun run = dpkgDeb({"-f", m_package, field});
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.describe()));
        const QString value = QString::fromUtf8(run.out).trimmed();
        const QRegularExpression whole(QRegularExpression::anchoredPattern(pattern),
                                       QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(whole.match(value).hasMatch(), qPrintable(value));
    }

    // The summary and the paragraphs are the AppStream ones, folded into lines under 80 columns.
    void descriptionIsTheAppStreamText()
    {
        const Metainfo info =
            readMetainfo(QStringLiteral(KR52_SOURCE_DIR "/packaging/") + appId + QStringLiteral(".metainfo.xml"));
        QVERIFY2(info.error.isEmpty(), qPrintable(info.error));
        const ProgramRun run = dpkgDeb({"-f", m_package, "Description"});
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.describe()));
        const QStringList lines = QString::fromUtf8(run.out).trimmed().split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), info.summary);

        QStringList paragraphs{QString()};
        for (const QString &line : lines.mid(1)) {
            QVERIFY2(line.size() < 80 && line.startsWith(QLatin1Char(' ')), qPrintable(line));
            if (line == QStringLiteral(" ."))
                paragraphs.append(QString());
            else
                paragraphs.last() = (paragraphs.last() + line).simplified();
        }
        QCOMPARE(paragraphs, info.paragraphs);
    }

    // The licence text is Debian's own copy, which the copyright file points to.
    void copyrightPointsToDebiansLicence()
    {
        const QByteArray shipped = readAll(m_unpacked + QStringLiteral("/usr/share/doc/kr52-config/copyright"));
        QCOMPARE(shipped, readAll(QStringLiteral(KR52_SOURCE_DIR "/packaging/copyright")));
        QVERIFY(shipped.contains("License: GPL-3.0-or-later"));
        QVERIFY(shipped.contains("/usr/share/common-licenses/GPL-3"));
    }

    // dpkg reads the changelog the package carries; its newest entry is this version.
    void changelogNamesThisVersion()
    {
        const ProgramRun run = runProgram(QStringLiteral("dpkg-parsechangelog"),
                                          {"-l", KR52_SOURCE_DIR "/packaging/changelog", "-S", "Version"});
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.describe()));
        QCOMPARE(QString::fromUtf8(run.out).trimmed(), kr52::versionText());
    }

    void unpackedProgramsRun_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("utility") << "kr52-config";
        QTest::newRow("virtual printer") << "kr52-virtual";
    }

    void unpackedProgramsRun()
    {
        QFETCH(QString, name);
        const ProgramRun run =
            runProgram(m_unpacked + QStringLiteral("/usr/bin/") + name, {"--version"}, headlessEnvironment());
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.describe()));
        QCOMPARE(QString::fromLocal8Bit(run.out), name + QLatin1Char(' ') + kr52::versionText() + QLatin1Char('\n'));
    }
};

QTEST_GUILESS_MAIN(tst_package)
#include "tst_package.moc"
