// Where the settings file lives, alone: the user's settings folder from the environment, and
// the choice between it and the program's folder on real folders.
#include "settings/SettingsFolder.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

using namespace settings;

class TestSettingsFolder : public QObject {
    Q_OBJECT

private slots:
    void userFolderFollowsXdgConfigHomeElseHome_data() {
        QTest::addColumn<QByteArray>("configHome"); // "-": not set
        QTest::addColumn<QByteArray>("home");
        QTest::addColumn<QString>("folder");
        QTest::newRow("XDG_CONFIG_HOME")
            << QByteArray("/cfg") << QByteArray("/home/op") << "/cfg/chromix3";
        QTest::newRow("not set") << QByteArray("-") << QByteArray("/home/op")
                                 << "/home/op/.config/chromix3";
        QTest::newRow("empty") << QByteArray("") << QByteArray("/home/op")
                               << "/home/op/.config/chromix3";
        QTest::newRow("relative, ignored")
            << QByteArray("cfg") << QByteArray("/home/op") << "/home/op/.config/chromix3";
        QTest::newRow("nothing known") << QByteArray("-") << QByteArray("-") << "";
    }
    void userFolderFollowsXdgConfigHomeElseHome() {
        QFETCH(QByteArray, configHome);
        QFETCH(QByteArray, home);
        QFETCH(QString, folder);
        auto given = [](const QByteArray& value) { return value == "-" ? nullptr : value.data(); };
        QCOMPARE(QString::fromStdString(UserSettingsFolder(given(configHome), given(home))),
                 folder);
    }

    void aReadOnlyProgramFolderSendsTheSettingsToTheUserFolder_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("system"); // the folder named in a package's file list
        QTest::addColumn<bool>("fileBeside");
        QTest::addColumn<bool>("fileInUserFolder");
        QTest::addColumn<bool>("besideProgram");
        QTest::addColumn<bool>("seeded");
        QTest::newRow("writable") << false << false << false << false << true << false;
        QTest::newRow("writable, both files") << false << false << true << true << true << false;
        QTest::newRow("read-only") << true << false << false << false << false << false;
        QTest::newRow("read-only, file beside") << true << false << true << false << false << true;
        QTest::newRow("read-only, both files") << true << false << true << true << false << false;
        // Root can write there, but nothing of the user's is left in a package's folder, and
        // a file found there is a left-over, not a default.
        QTest::newRow("system, writable, file beside")
            << false << true << true << false << false << false;
    }
    void aReadOnlyProgramFolderSendsTheSettingsToTheUserFolder() {
        QFETCH(bool, readOnly);
        QFETCH(bool, system);
        QFETCH(bool, fileBeside);
        QFETCH(bool, fileInUserFolder);
        QFETCH(bool, besideProgram);
        QFETCH(bool, seeded);
        QTemporaryDir program;
        QTemporaryDir user;
        QTemporaryDir lists;
        const std::string programDir = program.path().toStdString();
        const std::string beside = programDir + "/PanelSettings.cfg";
        const std::string inUser = user.path().toStdString() + "/PanelSettings.cfg";
        if (fileBeside) QVERIFY(QFile(QString::fromStdString(beside)).open(QIODevice::WriteOnly));
        if (fileInUserFolder)
            QVERIFY(QFile(QString::fromStdString(inUser)).open(QIODevice::WriteOnly));
        const auto mode = QFile::permissions(program.path());
        // Read-only by its mode, which holds for root as well.
        if (readOnly)
            QVERIFY(QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                              QFile::ReadOther | QFile::ExeOther));
        const auto restore = qScopeGuard([&] { QFile::setPermissions(program.path(), mode); });

        QFile list(lists.filePath("chromix3-tools.list"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(QByteArray("/.\n") +
                   (system ? QDir(program.path()).canonicalPath() : "/x").toUtf8() + "\n");
        list.close();

        QCOMPARE(FolderTakesFiles(programDir), !readOnly);
        const bool inSystem = IsSystemFolder(programDir, lists.path().toStdString());
        QCOMPARE(inSystem, system);
        const SettingsPlace place = PlaceSettings(programDir, FolderTakesFiles(programDir),
                                                  inSystem, user.path().toStdString(), '/');
        QCOMPARE(place.besideProgram, besideProgram);
        QCOMPARE(place.folder, besideProgram ? programDir : user.path().toStdString());
        QCOMPARE(place.path, besideProgram ? beside : inUser);
        QCOMPARE(place.seedFrom, seeded ? beside : std::string());
    }

    void theSystemsTreesAreTheSystemsWhateverTheirLinks() {
        QTemporaryDir dir;
        QVERIFY(QFile::link(QStringLiteral("/usr/bin"), dir.filePath("bin")));
        for (const char* folder : {"/usr/bin", "/usr/local/bin", "/lib64", "/snap/chromix3/1"})
            QVERIFY2(IsSystemFolder(folder, dir.path().toStdString()), folder);
        QVERIFY(IsSystemFolder(dir.filePath("bin").toStdString(), dir.path().toStdString()));
        for (const char* folder : {"/usrx/bin", "/home/op/build", "/opt/chromix3/bin"})
            QVERIFY2(!IsSystemFolder(folder, dir.path().toStdString()), folder);
    }
};

QTEST_APPLESS_MAIN(TestSettingsFolder)
#include "TestSettingsFolder.moc"
