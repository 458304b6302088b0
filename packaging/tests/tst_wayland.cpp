// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a headless Wayland compositor (weston) and the utility in it, and opens each of its
// windows through waylandprobe: each dialog and the help window must be transient for the main
// window, so that the compositor places it over it, and the main window stays shown meanwhile,
// since a window hidden and shown again comes back wherever the compositor puts it.
#include "support/programrun.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using testsupport::headlessEnvironment;
using testsupport::ProgramOptions;
using testsupport::ProgramRun;
using testsupport::runProgram;

class tst_wayland : public QObject {
    Q_OBJECT

    QTemporaryDir m_runtime; // the compositor's socket; its own, mode 0700 as Wayland wants
    QProcess m_compositor;
    QJsonObject m_report;

    static constexpr const char *socketName = "kr52-wayland";

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        QVERIFY(QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment environment = headlessEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        m_compositor.setProcessEnvironment(environment);
        m_compositor.setProcessChannelMode(QProcess::MergedChannels);
        m_compositor.start(QStringLiteral("weston"), {"--backend=headless-backend.so", "--no-config", "--idle-time=0",
                                                      QStringLiteral("--socket=%1").arg(socketName)});
        QVERIFY2(m_compositor.waitForStarted(), qPrintable(m_compositor.errorString()));
        const QString socket = m_runtime.filePath(QString::fromLatin1(socketName));
        QTRY_VERIFY2_WITH_TIMEOUT(QFile::exists(socket) || m_compositor.state() == QProcess::NotRunning,
                                  "the compositor made no socket", 20000);
        QVERIFY2(m_compositor.state() == QProcess::Running, m_compositor.readAll().constData());

        QTemporaryDir config;
        ProgramOptions utility;
        utility.environment = environment;
        utility.environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QString::fromLatin1(socketName));
        utility.environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        utility.environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        utility.environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(KR52_WAYLAND_PROBE));
        utility.timeLimitMs = 60000; // past the probe's own time limit, so that it reports why
        const ProgramRun run = runProgram(QStringLiteral(KR52_BUILD_DIR "/bin/kr52-config"), {}, utility);
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.describe()));
        m_report = QJsonDocument::fromJson(run.out.trimmed().split('\n').last()).object();
        QCOMPARE(m_report.value(QStringLiteral("platform")).toString(), QStringLiteral("wayland"));
    }

    void cleanupTestCase()
    {
        m_compositor.terminate();
        if (!m_compositor.waitForFinished(5000))
            m_compositor.kill();
        m_compositor.waitForFinished();
    }

    void eachWindowOpensOverTheMainWindow_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("port dialog") << "frmPort";
        QTest::newRow("presets dialog") << "frmPresets";
        QTest::newRow("help window") << "frmHelp";
    }

    void eachWindowOpensOverTheMainWindow()
    {
        QFETCH(QString, window);
        const QJsonObject seen = m_report.value(window).toObject();
        const QByteArray shown = QJsonDocument(m_report).toJson(QJsonDocument::Compact);
        QVERIFY2(seen.value(QStringLiteral("shown")).toBool(), shown.constData());
        QVERIFY2(seen.value(QStringLiteral("transientForMain")).toBool(), shown.constData());
        QVERIFY2(seen.value(QStringLiteral("mainShown")).toBool(), shown.constData());
    }
};

QTEST_GUILESS_MAIN(tst_wayland)
#include "tst_wayland.moc"
