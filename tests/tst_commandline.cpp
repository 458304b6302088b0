// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QCoreApplication>
#include <QTest>

using namespace kr52;

// The command line as it is read before any application object exists.
class tst_commandline : public QObject {
    Q_OBJECT

    static void prepare(QCommandLineParser &options)
    {
        addStandardOptions(options);
        options.addOption({QStringLiteral("fifo"), QStringLiteral("A program's own option."), QStringLiteral("path")});
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("kr52-test"));
        QCoreApplication::setApplicationVersion(QStringLiteral("9.8.7"));
    }

    void readCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("carryOn");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("outStart");
        QTest::addColumn<QString>("errStart");
        const QString usage = QStringLiteral("Usage: kr52-test [options]\n");
        QTest::newRow("nothing") << QStringList() << true << 0 << ""
                                 << "";
        QTest::newRow("own option") << QStringList{"--fifo", "/tmp/f"} << true << 0 << ""
                                    << "";
        QTest::newRow("help") << QStringList{"--help"} << false << 0 << usage << "";
        QTest::newRow("short help") << QStringList{"-h"} << false << 0 << usage << "";
        QTest::newRow("version") << QStringList{"--version"} << false << 0 << "kr52-test 9.8.7\n"
                                 << "";
        QTest::newRow("short version") << QStringList{"-v"} << false << 0 << "kr52-test 9.8.7\n"
                                       << "";
        QTest::newRow("help wins over Qt options")
            << QStringList{"-style", "fusion", "--help"} << false << 0 << usage << "";
        QTest::newRow("unknown option") << QStringList{"--colour"} << false << 2 << ""
                                        << "kr52-test: Unknown option 'colour'.\n" + usage;
        QTest::newRow("unknown single-dash word") << QStringList{"-xyz"} << false << 2 << ""
                                                  << "kr52-test: Unknown option 'xyz'.\n" + usage;
        QTest::newRow("missing value") << QStringList{"--fifo"} << false << 2 << ""
                                       << "kr52-test: Missing value after '--fifo'.\n" + usage;
        QTest::newRow("stray argument") << QStringList{"file.pre"} << false << 2 << ""
                                        << "kr52-test: unexpected argument 'file.pre'.\n" + usage;
        QTest::newRow("argument after --") << QStringList{"--", "-h"} << false << 2 << ""
                                           << "kr52-test: unexpected argument '-h'.\n" + usage;
        // Qt's own options are QApplication's to read; a session manager restarts with -session.
        QTest::newRow("platform") << QStringList{"-platform", "offscreen"} << true << 0 << ""
                                  << "";
        QTest::newRow("double-dash platform") << QStringList{"--platform", "offscreen"} << true << 0 << ""
                                              << "";
        QTest::newRow("style with =") << QStringList{"-style=fusion"} << true << 0 << ""
                                      << "";
        QTest::newRow("session") << QStringList{"-session", "1234_5"} << true << 0 << ""
                                 << "";
        QTest::newRow("reverse") << QStringList{"-reverse"} << true << 0 << ""
                                 << "";
        QTest::newRow("stylesheet with =") << QStringList{"-stylesheet=a.qss"} << true << 0 << ""
                                           << "";
        QTest::newRow("platform with =") << QStringList{"-platform=offscreen"} << false << 2 << ""
                                         << "kr52-test: Qt's option '-platform' takes its value as the next "
                                            "argument.\n" +
                                                usage;
        QTest::newRow("session with =") << QStringList{"--session=1234_5"} << false << 2 << ""
                                        << "kr52-test: Qt's option '--session' takes its value as the next "
                                           "argument.\n" +
                                               usage;
        QTest::newRow("= after --") << QStringList{"--", "-platform=x"} << false << 2 << ""
                                    << "kr52-test: unexpected argument '-platform=x'.\n" + usage;
        QTest::newRow("X display and geometry")
            << QStringList{"-display", ":1", "-geometry", "640x480"} << true << 0 << ""
            << "";
    }

    void readCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, carryOn);
        QFETCH(int, status);
        QFETCH(QString, outStart);
        QFETCH(QString, errStart);
        QCommandLineParser options;
        prepare(options);
        const CommandLineOutcome outcome =
            kr52::readCommandLine(options, QStringList{"/usr/bin/kr52-test"} + arguments);
        QCOMPARE(outcome.carryOn, carryOn);
        QCOMPARE(outcome.exitCode, status);
        const auto begins = [](const QString &text, const QString &start) {
            return start.isEmpty() ? text.isEmpty() : text.startsWith(start);
        };
        QVERIFY2(begins(outcome.output, outStart), qPrintable(outcome.output));
        QVERIFY2(begins(outcome.error, errStart), qPrintable(outcome.error));
    }

    // The help lists the program's options, not Qt's.
    void helpLeavesOutQtOptions()
    {
        QCommandLineParser options;
        prepare(options);
        const QString help = kr52::readCommandLine(options, {"kr52-test", "--help"}).output;
        QVERIFY(help.contains(QStringLiteral("--fifo <path>")));
        QVERIFY(!help.contains(QStringLiteral("platform")));
        QVERIFY(!help.contains(QStringLiteral("session")));
    }

    // kr52-config's --profile: read before any window, once at most.
    void profileToOpen_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("profile"); // "<none>" when none is to be opened
        QTest::addColumn<QString>("error");
        QTest::newRow("none") << QStringList{} << "<none>" << QString();
        QTest::newRow("given") << QStringList{"--profile", "shop.ini"} << "shop.ini" << QString();
        QTest::newRow("joined, with Qt's options")
            << QStringList{"-platform", "offscreen", "--profile=a b.ini"} << "a b.ini" << QString();
        QTest::newRow("empty, read as a file name") << QStringList{"--profile", ""} << "" << QString();
        QTest::newRow("twice") << QStringList{"--profile", "a.ini", "--profile", "b.ini"} << "<none>"
                               << "kr52-test: --profile is given more than once.\nUsage: kr52-test [options]\n";
        QTest::newRow("no file") << QStringList{"--profile"} << "<none>"
                                 << "kr52-test: Missing value after '--profile'.\n";
    }

    void profileToOpen()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, profile);
        QFETCH(QString, error);
        QCommandLineParser options;
        addStandardOptions(options);
        addProfileOption(options);
        const CommandLineOutcome outcome = kr52::readCommandLine(options, QStringList{"kr52-test"} + arguments);
        QVERIFY2(outcome.error.startsWith(error), qPrintable(outcome.error));
        QCOMPARE(outcome.carryOn, error.isEmpty());
        if (outcome.carryOn)
            QCOMPARE(kr52::profileToOpen(options).value_or(QStringLiteral("<none>")), profile);
        QVERIFY(kr52::readCommandLine(options, {"kr52-test", "--help"})
                    .output.contains(QStringLiteral("--profile <file>")));
    }

    void missingDisplayReason_data()
    {
        QTest::addColumn<QStringList>("environment"); // NAME=value, set for the case; the rest unset
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("missing");
        QTest::newRow("nothing") << QStringList() << QStringList() << true;
        QTest::newRow("empty variables") << QStringList{"DISPLAY=", "WAYLAND_DISPLAY="} << QStringList() << true;
        QTest::newRow("X11") << QStringList{"DISPLAY=:0"} << QStringList() << false;
        QTest::newRow("Wayland") << QStringList{"WAYLAND_DISPLAY=wayland-0"} << QStringList() << false;
        QTest::newRow("platform variable") << QStringList{"QT_QPA_PLATFORM=offscreen"} << QStringList() << false;
        QTest::newRow("platform option") << QStringList() << QStringList{"-platform", "offscreen"} << false;
        QTest::newRow("display option") << QStringList() << QStringList{"-display", ":1"} << false;
        QTest::newRow("style is no display") << QStringList() << QStringList{"-style", "fusion"} << true;
    }

    void missingDisplayReason()
    {
        QFETCH(QStringList, environment);
        QFETCH(QStringList, arguments);
        QFETCH(bool, missing);
        const QList<QByteArray> names{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
        QMap<QByteArray, QByteArray> saved;
        for (const QByteArray &name : names) {
            saved.insert(name, qgetenv(name));
            qunsetenv(name);
        }
        for (const QString &setting : environment)
            qputenv(setting.section(QLatin1Char('='), 0, 0).toLatin1(),
                    setting.section(QLatin1Char('='), 1).toLocal8Bit());

        QCommandLineParser options;
        prepare(options);
        QVERIFY(kr52::readCommandLine(options, QStringList{"kr52-test"} + arguments).carryOn);
        const QString reason = kr52::missingDisplayReason(options);

        for (const QByteArray &name : names)
            saved.value(name).isNull() ? qunsetenv(name) : qputenv(name, saved.value(name));
        QCOMPARE(!reason.isEmpty(), missing);
        if (missing) {
            QVERIFY(reason.startsWith(QStringLiteral("kr52-test: ")));
            QVERIFY(reason.contains(QStringLiteral("DISPLAY")) && reason.contains(QStringLiteral("WAYLAND_DISPLAY")));
            QVERIFY(!reason.contains(QLatin1Char('\n')));
        }
    }
    // Qt's warning names the plugin it did not find; the note says which package has it.
    void missingPlatformPluginNote_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("note");
        QTest::newRow("wayland")
            << R"(Could not find the Qt platform plugin "wayland" in "")"
            << R"(Qt's platform plugin "wayland" is not installed: install the package qt6-wayland.)";
        QTest::newRow("xcb") << R"(Could not find the Qt platform plugin "xcb" in "/opt/plugins")"
                             << R"(Qt's platform plugin "xcb" is not installed: install the package libqt6gui6.)";
        QTest::newRow("unknown plugin") << R"(Could not find the Qt platform plugin "vnc" in "")"
                                        << R"(Qt's platform plugin "vnc" is not installed.)";
        // Found but failing (no display to connect to) is no missing plugin.
        QTest::newRow("found, not loaded")
            << R"(Could not load the Qt platform plugin "xcb" in "" even though it was found.)" << QString();
        QTest::newRow("other message") << "could not connect to display :4242" << QString();
    }

    void missingPlatformPluginNote()
    {
        QFETCH(QString, message);
        QFETCH(QString, note);
        QCOMPARE(kr52::missingPlatformPluginNote(message), note);
    }
};

QTEST_GUILESS_MAIN(tst_commandline)
#include "tst_commandline.moc"
