// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/datafolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace kr52;

// Program folders laid out as a build tree, an installed tree and in between.
class tst_datafolder : public QObject {
    Q_OBJECT

private slots:
    void dataFolder_data()
    {
        QTest::addColumn<QStringList>("folders"); // made under a temporary root
        QTest::addColumn<bool>("ownFolder");      // the program folder holds the data
        QTest::newRow("build tree") << QStringList{"bin/help", "bin/Presets"} << true;
        QTest::newRow("installed tree") << QStringList{"bin", "share/kr52-config/help", "share/kr52-config/Presets"}
                                        << false;
        QTest::newRow("help only beside the program") << QStringList{"bin/help", "share/kr52-config/help"} << false;
        QTest::newRow("presets only beside the program") << QStringList{"bin/Presets"} << false;
        QTest::newRow("nothing anywhere") << QStringList{"bin"} << false;
    }

    void dataFolder()
    {
        QFETCH(QStringList, folders);
        QFETCH(bool, ownFolder);
        QTemporaryDir root;
        for (const QString &folder : folders)
            QVERIFY(QDir(root.path()).mkpath(folder));
        const QString program = root.filePath(QStringLiteral("bin"));
        const QString installed = QDir::cleanPath(root.filePath(QStringLiteral("share/kr52-config")));

        QCOMPARE(kr52::dataFolder(program), ownFolder ? program : installed);
        // The same from a relative program path and one with a trailing slash.
        QCOMPARE(kr52::dataFolder(program + QLatin1Char('/')), ownFolder ? program : installed);
        const QString current = QDir::currentPath();
        QVERIFY(QDir::setCurrent(root.path()));
        const QString relative = kr52::dataFolder(QStringLiteral("bin"));
        QVERIFY(QDir::setCurrent(current));
        QCOMPARE(relative, ownFolder ? program : installed);
    }

    void fileNamedLikeAFolderIsNotData()
    {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("bin/help")));
        QFile presets(root.filePath(QStringLiteral("bin/Presets")));
        QVERIFY(presets.open(QIODevice::WriteOnly));
        QVERIFY(kr52::dataFolder(root.filePath(QStringLiteral("bin"))).endsWith(QStringLiteral("/share/kr52-config")));
    }
};

QTEST_GUILESS_MAIN(tst_datafolder)
#include "tst_datafolder.moc"
