// SPDX-License-Identifier: GPL-3.0-or-later
// Installs the build into a temporary DESTDIR and checks what a desktop, a packager and a user
// find there: the layout, valid metadata, the command line, and the installed program finding its
// help pages and presets from any working folder.
#include "metainfo.h"
#include "support/programrun.h"

#include "app/appinfo.h"
#include "app/datafolder.h"
#include "helppages/helppage.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using testsupport::headlessEnvironment;
using testsupport::ProgramOptions;
using testsupport::ProgramRun;
using testsupport::runProgram;

namespace {

// Installing and a whole run of the window take long on a busy machine.
constexpr int slowProgramMs = 120000;

const QString sourceDir = QStringLiteral(KR52_SOURCE_DIR);
const QString appId = QString::fromLatin1(kr52::applicationId);
const QStringList iconSizes = {"16", "22", "24", "32", "48", "64", "128", "256"};

QStringList sortedEntries(const QString &folder, const QString &filter = {})
{
    return QDir(folder, filter, QDir::Name | QDir::IgnoreCase, QDir::Files).entryList();
}

} // namespace

class tst_install : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_prefix; // where the tree landed: DESTDIR + /usr

    QString installed(const QString &relative) const { return m_prefix + QLatin1Char('/') + relative; }
    QString programFolder() const { return installed(QStringLiteral(KR52_BINDIR)); }
    QString program(const QString &name) const { return programFolder() + QLatin1Char('/') + name; }
    QString dataFolder() const { return installed(QStringLiteral(KR52_DATADIR "/kr52-config")); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        ProgramOptions install;
        install.environment.insert(QStringLiteral("DESTDIR"), m_root.filePath(QStringLiteral("stage")));
        install.timeLimitMs = slowProgramMs;
        const ProgramRun run = runProgram(QStringLiteral(KR52_CMAKE),
                                          {"--install", QStringLiteral(KR52_BUILD_DIR), "--prefix", "/usr"}, install);
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.describe()));
        m_prefix = m_root.filePath(QStringLiteral("stage/usr"));
    }

    void layout_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("executable");
        QTest::newRow("utility") << KR52_BINDIR "/kr52-config" << true;
        QTest::newRow("virtual printer") << KR52_BINDIR "/kr52-virtual" << true;
        QTest::newRow("command-line tool") << KR52_BINDIR "/kr52ctl" << true;
        QTest::newRow("desktop entry") << KR52_DATADIR "/applications/" + appId + ".desktop" << false;
        QTest::newRow("metainfo") << KR52_DATADIR "/metainfo/" + appId + ".metainfo.xml" << false;
        QTest::newRow("scalable icon") << KR52_DATADIR "/icons/hicolor/scalable/apps/" + appId + ".svg" << false;
        QTest::newRow("utility man page") << KR52_MANDIR "/man1/kr52-config.1.gz" << false;
        QTest::newRow("virtual man page") << KR52_MANDIR "/man1/kr52-virtual.1.gz" << false;
        QTest::newRow("command-line man page") << KR52_MANDIR "/man1/kr52ctl.1.gz" << false;
        QTest::newRow("copyright") << KR52_DATADIR "/doc/kr52-config/copyright" << false;
    }

    void layout()
    {
        QFETCH(QString, path);
        QFETCH(bool, executable);
        const QFileInfo file(installed(path));
        QVERIFY2(file.isFile(), qPrintable(file.filePath()));
        QCOMPARE(file.isExecutable(), executable);
    }

    void nothingLeftInTheOldProgramFolder()
    {
        QVERIFY(!QFileInfo::exists(installed(QStringLiteral("lib/kr52-config"))));
        QVERIFY(!QFileInfo::exists(installed(QStringLiteral(KR52_BINDIR "/help"))));
    }

    void dataFoldersHoldTheSources_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("help pages") << "help";
        QTest::newRow("presets") << "Presets";
    }

    void dataFoldersHoldTheSources()
    {
        QFETCH(QString, folder);
        const QStringList sources = sortedEntries(sourceDir + QLatin1Char('/') + folder);
        QVERIFY(!sources.isEmpty());
        QCOMPARE(sortedEntries(dataFolder() + QLatin1Char('/') + folder), sources);
    }

    void iconsHaveTheirSizes_data()
    {
        QTest::addColumn<int>("size");
        for (const QString &size : iconSizes)
            QTest::newRow(qPrintable(size)) << size.toInt();
    }

    void iconsHaveTheirSizes()
    {
        QFETCH(int, size);
        const QString path =
            installed(QStringLiteral(KR52_DATADIR "/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(appId));
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("png"));
        QCOMPARE(reader.size(), QSize(size, size));
    }

    void metadataIsValid_data()
    {
        QTest::addColumn<QString>("validator");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::newRow("desktop entry") << "desktop-file-validate" << QStringList()
                                       << KR52_DATADIR "/applications/" + appId + ".desktop";
        QTest::newRow("metainfo") << "appstreamcli" << QStringList{"validate", "--no-net", "--pedantic"}
                                  << KR52_DATADIR "/metainfo/" + appId + ".metainfo.xml";
    }

    void metadataIsValid()
    {
        QFETCH(QString, validator);
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        const ProgramRun run = runProgram(validator, arguments << installed(file));
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.describe()));
    }

    void metadataAgrees()
    {
        const Metainfo info = readMetainfo(installed(KR52_DATADIR "/metainfo/" + appId + ".metainfo.xml"));
        QVERIFY2(info.error.isEmpty(), qPrintable(info.error));
        QCOMPARE(info.id, appId);
        QCOMPARE(info.launchable, appId + QStringLiteral(".desktop"));
        QCOMPARE(info.newestRelease, kr52::versionText());

        QSettings entry(installed(KR52_DATADIR "/applications/" + appId + ".desktop"), QSettings::IniFormat);
        entry.beginGroup(QStringLiteral("Desktop Entry"));
        QCOMPARE(entry.value(QStringLiteral("Icon")).toString(), appId);
        QVERIFY(QFileInfo(program(entry.value(QStringLiteral("Exec")).toString())).isExecutable());
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // patterns for the whole output; %1 is the version
        QTest::addColumn<QString>("err");
        const QString noDisplay = QStringLiteral("kr52-config: [^\\n]*DISPLAY[^\\n]*WAYLAND_DISPLAY[^\\n]*\\n");

        QTest::newRow("version") << "kr52-config" << QStringList{"--version"} << 0 << "kr52-config %1\\n"
                                 << "";
        QTest::newRow("help") << "kr52-config" << QStringList{"--help"} << 0
                              << "Usage: kr52-config \\[options\\]\\n.*-h, --help.*-v, --version.*"
                              << "";
        QTest::newRow("unknown option") << "kr52-config" << QStringList{"--bogus"} << 2 << ""
                                        << "kr52-config: Unknown option 'bogus'\\.\\nUsage: kr52-config .*";
        QTest::newRow("no display") << "kr52-config" << QStringList() << 1 << "" << noDisplay;
        QTest::newRow("virtual version") << "kr52-virtual" << QStringList{"--version"} << 0 << "kr52-virtual %1\\n"
                                         << "";
        QTest::newRow("command-line version") << "kr52ctl" << QStringList{"--version"} << 0 << "kr52ctl %1\\n"
                                              << "";
        QTest::newRow("virtual help") << "kr52-virtual" << QStringList{"-h"} << 0
                                      << "Usage: kr52-virtual \\[options\\]\\n.*--fifo <path>.*--selftest.*"
                                      << "";
    }

    // Without a display and without Qt's platform chosen, as on a console or over ssh.
    void commandLine()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        ProgramOptions headless;
        headless.environment = headlessEnvironment();
        const ProgramRun run = runProgram(program(name), arguments, headless);
        QVERIFY2(run.finished, qPrintable(run.describe()));
        QCOMPARE(run.exitCode, status);
        const auto whole = [](const QString &pattern) {
            return QRegularExpression(QRegularExpression::anchoredPattern(QString(pattern).replace(
                                          QStringLiteral("%1"), QRegularExpression::escape(kr52::versionText()))),
                                      QRegularExpression::DotMatchesEverythingOption);
        };
        QVERIFY2(whole(out).match(QString::fromLocal8Bit(run.out)).hasMatch(), qPrintable(run.describe()));
        QVERIFY2(whole(err).match(QString::fromLocal8Bit(run.err)).hasMatch(), qPrintable(run.describe()));
    }

    // A display that does not answer (a stale DISPLAY, another user's session): Qt's own reason,
    // then one line of the program's, and status 1 instead of an abort.
    void unreachableDisplay()
    {
        ProgramOptions options;
        options.environment = headlessEnvironment();
        options.environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":4242"));
        const ProgramRun run = runProgram(program(QStringLiteral("kr52-config")), {}, options);
        QVERIFY2(run.finished && run.exitCode == 1, qPrintable(run.describe()));
        QVERIFY2(run.out.isEmpty(), qPrintable(run.describe()));
        QVERIFY2(run.err.endsWith("kr52-config: could not open a window in the graphical session (DISPLAY :4242, "
                                  "WAYLAND_DISPLAY unset).\n"),
                 qPrintable(run.describe()));
    }

    // A platform whose plugin is not installed (as Wayland without qt6-wayland): the line names it.
    void missingPlatformPlugin()
    {
        ProgramOptions options;
        options.environment = headlessEnvironment();
        options.environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
        options.environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("nosuchplatform"));
        const ProgramRun run = runProgram(program(QStringLiteral("kr52-config")), {}, options);
        QVERIFY2(run.finished && run.exitCode == 1, qPrintable(run.describe()));
        QVERIFY2(run.err.endsWith("kr52-config: could not open a window in the graphical session (DISPLAY unset, "
                                  "WAYLAND_DISPLAY wayland-0). Qt's platform plugin \"nosuchplatform\" is not "
                                  "installed.\n"),
                 qPrintable(run.describe()));
    }

    // The installed program, started from another folder, opens a setting's help page and lists
    // the presets through the installed layout. windowprobe presses the buttons and reports.
    void installedProgramFindsItsData()
    {
        QCOMPARE(kr52::dataFolder(programFolder()), QDir::cleanPath(dataFolder()));

        QTemporaryDir elsewhere;
        ProgramOptions options;
        options.environment = headlessEnvironment();
        options.environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        options.environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(KR52_WINDOW_PROBE));
        options.workingFolder = elsewhere.path();
        options.timeLimitMs = slowProgramMs;
        const ProgramRun run = runProgram(program(QStringLiteral("kr52-config")), {}, options);
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.describe()));
        const QJsonObject report = QJsonDocument::fromJson(run.out.trimmed().split('\n').last()).object();

        QTextDocument expected;
        QCOMPARE(kr52::loadHelpPage(sourceDir + QStringLiteral("/help/help7.rtf"), expected), QString());
        QCOMPARE(report.value(QStringLiteral("help")).toString(), expected.toPlainText());
        QStringList presets;
        for (const auto &name : report.value(QStringLiteral("presets")).toArray())
            presets.append(name.toString());
        QCOMPARE(presets, sortedEntries(sourceDir + QStringLiteral("/Presets"), QStringLiteral("*.pre")));
    }
};

QTEST_MAIN(tst_install)
#include "tst_install.moc"
