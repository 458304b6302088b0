// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the .deb with CPack into a temporary folder and looks inside it with dpkg-deb, without
// installing it: its files, its control fields, its copyright file, its programs run unpacked and
// their hardening, its debug symbols, the same bytes when packaged again; and the RPM's needs
// and files.
#include "metainfo.h"
#include "support/programrun.h"

#include "app/appinfo.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using testsupport::headlessEnvironment;
using testsupport::ProgramOptions;
using testsupport::ProgramRun;
using testsupport::runProgram;

namespace {

// cpack builds every package of the program.
constexpr int packagingMs = 120000;

const QString appId = QString::fromLatin1(kr52::applicationId);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The time every packaged file carries, as a package build sets it from the commit.
ProgramOptions packaging()
{
    ProgramOptions options;
    options.environment.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("1765000000"));
    options.timeLimitMs = packagingMs;
    return options;
}

// Runs cpack with generator into folder; the package files it made there, with extension.
QStringList makePackages(const QString &generator, const QString &folder, const QString &extension, QString &failure)
{
    const QString configuration = QStringLiteral(KR52_BUILD_DIR) + "/CPackConfig.cmake";
    const ProgramRun cpack =
        runProgram(QStringLiteral(KR52_CPACK), {"-G", generator, "--config", configuration, "-B", folder}, packaging());
    if (!cpack.finished || cpack.exitCode != 0)
        failure = cpack.describe();
    QStringList packages;
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.") + extension}, QDir::Files))
        packages.append(folder + QLatin1Char('/') + name);
    return packages;
}

const QStringList programs{QStringLiteral("kr52-config"), QStringLiteral("kr52-virtual"), QStringLiteral("kr52ctl")};

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
        QString failure;
        const QString out = m_root.filePath(QStringLiteral("out"));
        const QStringList packages = makePackages(QStringLiteral("DEB"), out, QStringLiteral("deb"), failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(packages.size(), 1);
        m_package = packages.first();

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
        QTest::newRow("command-line tool") << "./usr/bin/kr52ctl" << true;
        QTest::newRow("help page") << "./usr/share/kr52-config/help/help7.rtf" << false;
        QTest::newRow("preset") << "./usr/share/kr52-config/Presets/Labels.pre" << false;
        QTest::newRow("desktop entry") << "./usr/share/applications/" + appId + ".desktop" << false;
        QTest::newRow("metainfo") << "./usr/share/metainfo/" + appId + ".metainfo.xml" << false;
        QTest::newRow("48 pixel icon") << "./usr/share/icons/hicolor/48x48/apps/" + appId + ".png" << false;
        QTest::newRow("scalable icon") << "./usr/share/icons/hicolor/scalable/apps/" + appId + ".svg" << false;
        QTest::newRow("man page") << "./usr/share/man/man1/kr52-config.1.gz" << false;
        QTest::newRow("command-line tool's man page") << "./usr/share/man/man1/kr52ctl.1.gz" << false;
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
        QTest::newRow("recommends the window's face") << "Recommends"
                                                      << ".*fonts-liberation2.*";
        QTest::newRow("recommends the Wayland plugin") << "Recommends"
                                                       << ".*qt6-wayland.*";
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
        ProgramOptions headless;
        headless.environment = headlessEnvironment();
        const ProgramRun run = runProgram(m_unpacked + QStringLiteral("/usr/bin/") + name, {"--version"}, headless);
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.describe()));
        QCOMPARE(QString::fromLocal8Bit(run.out), name + QLatin1Char(' ') + kr52::versionText() + QLatin1Char('\n'));
    }
    void manPagesNameThisVersion_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : programs)
            QTest::newRow(qPrintable(name)) << name;
    }

    // Each page's header names its program and the version packaged.
    void manPagesNameThisVersion()
    {
        QFETCH(QString, name);
        const ProgramRun run =
            runProgram(QStringLiteral("zcat"), {m_unpacked + QStringLiteral("/usr/share/man/man1/") + name + ".1.gz"});
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.describe()));
        const QString header =
            QString::fromUtf8(run.out).split(QLatin1Char('\n')).filter(QStringLiteral(".TH ")).value(0);
        QVERIFY2(header.contains(QStringLiteral("\"%1 %2\"").arg(name, kr52::versionText())), qPrintable(header));
    }

    void programsAreHardened_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("kr52-config") << "kr52-config";
        QTest::newRow("kr52-virtual") << "kr52-virtual";
        QTest::newRow("kr52ctl") << "kr52ctl";
    }

    // As hardening-check sees them: stack protector, fortified calls, read-only relocations bound
    // at start-up, and no library search path of their own for a stray library to win through.
    void programsAreHardened()
    {
        QFETCH(QString, name);
        const QString path = m_unpacked + QStringLiteral("/usr/bin/") + name;
        const ProgramRun dynamic = runProgram(QStringLiteral("readelf"), {"-W", "--dynamic", path});
        const ProgramRun segments = runProgram(QStringLiteral("readelf"), {"-W", "--segments", path});
        const ProgramRun symbols = runProgram(QStringLiteral("readelf"), {"-W", "--dyn-syms", path});
        for (const ProgramRun *run : {&dynamic, &segments, &symbols})
            QVERIFY2(run->finished && run->exitCode == 0, qPrintable(run->describe()));
        QVERIFY2(!dynamic.out.contains("(RUNPATH)") && !dynamic.out.contains("(RPATH)"), dynamic.out.constData());
        QVERIFY2(dynamic.out.contains("BIND_NOW"), dynamic.out.constData());
        QVERIFY2(segments.out.contains("GNU_RELRO"), segments.out.constData());
        QVERIFY2(symbols.out.contains("__stack_chk_fail"), symbols.out.constData());
        const QRegularExpression fortifiedCall(QStringLiteral("__\\w+_chk@"));
        const bool checkedCalls =
            QString::fromLatin1(symbols.out).remove(QStringLiteral("__stack_chk_fail")).contains(fortifiedCall);
        QVERIFY2(checkedCalls, symbols.out.constData()); // calls whose buffer sizes the compiler knows
    }

    // The stripped debug information is in the -dbgsym package, under each program's build id,
    // and its md5sums name the files as dpkg finds them, relative to the root.
    void debugSymbolsAreInTheDbgsymPackage()
    {
        const QStringList found =
            QDir(m_root.filePath(QStringLiteral("out"))).entryList({QStringLiteral("*-dbgsym_*.ddeb")}, QDir::Files);
        QCOMPARE(found.size(), 1);
        const ProgramRun listing = dpkgDeb({"-c", m_root.filePath(QStringLiteral("out/")) + found.first()});
        QVERIFY2(listing.finished && listing.exitCode == 0, qPrintable(listing.describe()));
        for (const QString &name : programs) {
            const ProgramRun notes =
                runProgram(QStringLiteral("readelf"), {"-n", m_unpacked + QStringLiteral("/usr/bin/") + name});
            const QRegularExpressionMatch id = QRegularExpression(QStringLiteral("Build ID: ([0-9a-f]{2})([0-9a-f]+)"))
                                                   .match(QString::fromLatin1(notes.out));
            QVERIFY2(id.hasMatch(), qPrintable(notes.describe()));
            const QString debugFile =
                QStringLiteral("./usr/lib/debug/.build-id/%1/%2.debug").arg(id.captured(1), id.captured(2));
            QVERIFY2(listing.out.contains(debugFile.toLatin1()), qPrintable(debugFile + "\n" + listing.out));
        }
        const ProgramRun sums = dpkgDeb({"-I", m_root.filePath(QStringLiteral("out/")) + found.first(), "md5sums"});
        QVERIFY2(sums.finished && sums.exitCode == 0, qPrintable(sums.describe()));
        const QStringList lines = QString::fromLatin1(sums.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), programs.size());
        for (const QString &line : lines)
            QVERIFY2(line.contains(QRegularExpression(QStringLiteral("^[0-9a-f]{32}  usr/lib/debug/\\.build-id/"))),
                     qPrintable(line));
    }

    // Packaged again elsewhere, with the same SOURCE_DATE_EPOCH, both packages have the same bytes.
    void packagingAgainGivesTheSameBytes()
    {
        QString failure;
        const QString elsewhere = m_root.filePath(QStringLiteral("again/elsewhere"));
        const QStringList again = makePackages(QStringLiteral("DEB"), elsewhere, "deb", failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(again.size(), 1);
        QVERIFY(readAll(again.first()) == readAll(m_package));
        const QString out = m_root.filePath(QStringLiteral("out"));
        const QStringList debug = QDir(out).entryList({QStringLiteral("*.ddeb")}, QDir::Files);
        QCOMPARE(debug.size(), 1);
        QVERIFY(readAll(elsewhere + QLatin1Char('/') + debug.first()) ==
                readAll(out + QLatin1Char('/') + debug.first()));
    }

    // The RPM from the same set-up: its needs are worked out from the programs' libraries.
    void rpmNamesItsNeedsAndFiles()
    {
        QString failure;
        const QStringList rpms =
            makePackages(QStringLiteral("RPM"), m_root.filePath(QStringLiteral("rpm")), "rpm", failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(rpms.size(), 1);
        // Made again elsewhere, seconds later, with the same SOURCE_DATE_EPOCH: the same bytes.
        const QStringList again =
            makePackages(QStringLiteral("RPM"), m_root.filePath(QStringLiteral("rpm-again/elsewhere")), "rpm", failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(again.size(), 1);
        QVERIFY(readAll(again.first()) == readAll(rpms.first()));
        const ProgramRun needs = runProgram(QStringLiteral("rpm"), {"-qpR", rpms.first()});
        QVERIFY2(needs.finished && needs.exitCode == 0, qPrintable(needs.describe()));
        for (const char *library :
             {"libQt6Widgets.so.6()(64bit)", "libQt6SerialPort.so.6()(64bit)", "libc.so.6()(64bit)"})
            QVERIFY2(needs.out.contains(library), needs.out.constData());
        const ProgramRun files = runProgram(QStringLiteral("rpm"), {"-qpl", rpms.first()});
        QVERIFY2(files.finished && files.exitCode == 0, qPrintable(files.describe()));
        const QStringList listed = QString::fromUtf8(files.out).split(QLatin1Char('\n'));
        for (const QString &name : programs)
            QVERIFY2(listed.contains("/usr/bin/" + name), files.out.constData());
        for (const QString &path :
             {"/usr/share/applications/" + appId + ".desktop", QStringLiteral("/usr/share/kr52-config/help/help7.rtf"),
              QStringLiteral("/usr/share/man/man1/kr52ctl.1.gz")})
            QVERIFY2(listed.contains(path), files.out.constData());
    }
};

QTEST_GUILESS_MAIN(tst_package)
#include "tst_package.moc"
