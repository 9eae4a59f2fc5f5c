#include "model/FileIdentity.h"
#include "model/IniFileOps.h"
#include "model/IniStore.h"

#include <QtTest>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace settings;

namespace {

// The real file system, except that one numbered step (counting every call that can fail while
// writing) fails the way a full disk or a crash would: a write gets half of its bytes out.
class FailingFileOps : public IniFileOps {
public:
    int failAt = 0;            // 0: never
    bool cleanupFails = false; // the process "dies": no temporary file is removed
    bool readFailsLater = false;
    int steps = 0;

    Handle OpenForReading(const std::string& path, std::string& refusal) override {
        return real.OpenForReading(path, refusal);
    }
    long Read(Handle file, char* buffer, std::size_t size) override {
        if (readFailsLater && readCalls++ > 0) return -1;
        return real.Read(file, buffer, std::min<std::size_t>(size, 16));
    }
    bool Exists(const std::string& path) override { return real.Exists(path); }
    bool TargetWritable(const std::string& path) override {
        return !Fails() && real.TargetWritable(path);
    }
    Handle CreateNew(const std::string& path) override {
        return Fails() ? nullptr : real.CreateNew(path);
    }
    bool Write(Handle file, const char* data, std::size_t size) override {
        if (!Fails()) return real.Write(file, data, size);
        real.Write(file, data, size / 2);
        return false;
    }
    bool Close(Handle file) override {
        const bool closed = real.Close(file);
        return !Fails() && closed;
    }
    bool Replace(const std::string& from, const std::string& to) override {
        return !Fails() && real.Replace(from, to);
    }
    bool Remove(const std::string& path) override { return !cleanupFails && real.Remove(path); }

private:
    bool Fails() { return ++steps == failAt; }
    IniFileOps& real = StandardIniFileOps();
    int readCalls = 0;
};

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Big enough that the text goes out in several writes.
IniStore LargeStore() {
    IniStore store;
    for (int i = 0; i < 1500; ++i) {
        store.PutString("SECTION " + std::to_string(i % 7), "ITEM " + std::to_string(i),
                        std::string(100, char('a' + i % 26)));
    }
    return store;
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.filePath(name); }
    QStringList Entries() const {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

private slots:
    void init() {
        for (const QString& entry : Entries()) {
            QDir(dir.filePath(entry)).removeRecursively();
            QDir(dir.path()).remove(entry);
        }
    }

    void writeThenReadFileGivesTheSameStore() {
        const IniStore store = LargeStore();
        const std::string path = Path("a.ini").toStdString();
        QCOMPARE(store.WriteToFile(path), int(kIniOk));
        QCOMPARE(ReadBytes(Path("a.ini")), QByteArray::fromStdString(store.WriteToText()));
        IniStore back;
        QCOMPARE(back.ReadFromFile(path), int(kIniOk));
        QCOMPARE(back.WriteToText(), store.WriteToText());
        QCOMPARE(Entries(), QStringList{"a.ini"});
    }

    void interruptedWriteAtEveryStepKeepsThePreviousFile() {
        const QByteArray previous = "[OLD]\r\nKEEP = 1\r\n\r\n";
        const std::string path = Path("p.ini").toStdString();
        const IniStore store = LargeStore();
        FailingFileOps counting;
        QCOMPARE(store.WriteToFile(path, counting), int(kIniOk));
        QVERIFY(counting.steps >= 6); // check, create, several writes, close, rename
        for (int step = 1; step <= counting.steps; ++step) {
            WriteBytes(Path("p.ini"), previous);
            FailingFileOps ops;
            ops.failAt = step;
            QVERIFY2(store.WriteToFile(path, ops) < 0, qPrintable(QString::number(step)));
            QCOMPARE(ReadBytes(Path("p.ini")), previous);
            QCOMPARE(Entries(), QStringList{"p.ini"});
        }
    }

    void crashDuringWriteLeavesOldOrNewFileNeverATornOne() {
        const QByteArray previous = "[OLD]\r\nKEEP = 1\r\n\r\n";
        const IniStore store = LargeStore();
        const QByteArray complete = QByteArray::fromStdString(store.WriteToText());
        for (int step = 1; step <= 8; ++step) {
            WriteBytes(Path("c.ini"), previous);
            FailingFileOps ops;
            ops.failAt = step;
            ops.cleanupFails = true;
            store.WriteToFile(Path("c.ini").toStdString(), ops);
            const QByteArray now = ReadBytes(Path("c.ini"));
            QVERIFY2(now == previous || now == complete, qPrintable(QString::number(step)));
        }
    }

    void existingTemporaryNamesAreNeverOverwritten() {
        WriteBytes(Path("t.ini.~tmp1"), "someone else's");
        IniStore store;
        store.PutInt("S", "K", 1);
        QCOMPARE(store.WriteToFile(Path("t.ini").toStdString()), int(kIniOk));
        QCOMPARE(ReadBytes(Path("t.ini.~tmp1")), QByteArray("someone else's"));
        QCOMPARE(ReadBytes(Path("t.ini")), QByteArray("[S]\r\nK = 1\r\n\r\n"));
    }

    void leftoverTemporariesNeitherStopWritingNorPileUp() {
        // A hundred leftovers once used up every temporary name there was.
        for (int n = 1; n <= 100; ++n)
            WriteBytes(Path("p.cfg.~tmp%1").arg(n), "left over");
        const QString stale = Path("p.cfg.~tmp7");
        QFile old(stale);
        QVERIFY(old.open(QIODevice::ReadWrite));
        QVERIFY(old.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                QFileDevice::FileModificationTime));
        old.close();
        IniStore store;
        store.PutInt("S", "K", 2);
        QCOMPARE(store.WriteToFile(Path("p.cfg").toStdString()), int(kIniOk));
        QCOMPARE(ReadBytes(Path("p.cfg")), QByteArray("[S]\r\nK = 2\r\n\r\n"));
        // The stale one is gone, the fresh ones (perhaps another writer's) stay, none is added.
        QVERIFY(!QFileInfo::exists(stale));
        QVERIFY(QFileInfo::exists(Path("p.cfg.~tmp8")));
        QCOMPARE(Entries().size(), 100);
    }

    void unwritableTargetsFailAndChangeNothing() {
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        IniStore store;
        store.PutInt("S", "K", 1);
        QVERIFY(store.WriteToFile(Path("sub").toStdString()) < 0);
        QVERIFY(QFileInfo(Path("sub")).isDir());
        QVERIFY(store.WriteToFile(Path("missing/x.ini").toStdString()) < 0);
        QVERIFY(store.WriteToFile("") < 0);
        QCOMPARE(Entries(), QStringList{"sub"});
    }

    // The save is given s.ini; it writes the file the link leads to, or s.ini itself.
    void savesFollowLinksKeepModesAndLeaveSpecialFilesAlone_data() {
        QTest::addColumn<QString>("link"); // where s.ini leads, when it is a link
        QTest::addColumn<int>("mode");     // of an existing target, kept; 0: none before
        QTest::addColumn<bool>("fifo");    // the target is a fifo and stays one
        QTest::newRow("regular file") << QString() << 0644 << false;
        QTest::newRow("symlink") << "real.ini" << 0640 << false;
        QTest::newRow("dangling symlink") << "sub/new.ini" << 0 << false;
        QTest::newRow("mode 0600") << QString() << 0600 << false;
        QTest::newRow("fifo") << QString() << 0 << true;
        QTest::newRow("symlink to a fifo") << "f" << 0 << true;
    }
    void savesFollowLinksKeepModesAndLeaveSpecialFilesAlone() {
        QFETCH(QString, link);
        QFETCH(int, mode);
        QFETCH(bool, fifo);
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        const QString targetFile = dir.filePath(link.isEmpty() ? "s.ini" : link);
        const QByteArray targetPath = QFile::encodeName(targetFile);
        if (!link.isEmpty()) QVERIFY(QFile::link(link, Path("s.ini")));
        if (mode) WriteBytes(targetFile, "old");
        if (mode) QCOMPARE(::chmod(targetPath, mode_t(mode)), 0);
        if (fifo) QCOMPARE(::mkfifo(targetPath, 0644), 0);
        // The other end held open, as a device is always there: nothing may wait on it.
        const int reader = fifo ? ::open(targetPath, O_RDONLY | O_NONBLOCK) : -1;
        IniStore store;
        store.PutInt("S", "K", 3);
        std::string refusal;
        const int result = store.WriteToFile(Path("s.ini").toStdString(), &refusal);
        if (reader >= 0) ::close(reader);
        struct stat after {};
        QCOMPARE(::stat(targetPath, &after), 0);
        QCOMPARE(QFileInfo(Path("s.ini")).isSymLink(), !link.isEmpty());
        QCOMPARE(S_ISFIFO(after.st_mode), fifo);
        QCOMPARE(result, fifo ? int(kIniRefused) : int(kIniOk));
        QCOMPARE(refusal.empty(), !fifo);
        if (fifo) return;
        QCOMPARE(ReadBytes(targetFile), QByteArray("[S]\r\nK = 3\r\n\r\n"));
        if (mode) QCOMPARE(int(after.st_mode & 07777), mode);
    }

    void unreadablePathsFailAndLeaveTheStoreAsItWas() {
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        IniStore store;
        store.PutInt("S", "K", 1);
        const std::string before = store.WriteToText();
        QCOMPARE(store.ReadFromFile(Path("none.ini").toStdString()), int(kIniCannotOpen));
        QVERIFY(store.ReadFromFile(Path("sub").toStdString()) < 0);
        QVERIFY(store.ReadFromFile("") < 0);
        QCOMPARE(store.WriteToText(), before);
    }

    void readsTakeOnlyRegularFiles_data() {
        QTest::addColumn<QString>("path"); // %1: the temporary folder
        QTest::addColumn<QString>("kind"); // what the refusal calls it; empty: read
        QTest::newRow("regular file") << "%1/r.ini"
                                      << "";
        QTest::newRow("link to it") << "%1/l.ini"
                                    << "";
        QTest::newRow("fifo") << "%1/fifo"
                              << "a fifo";
        QTest::newRow("directory") << "%1"
                                   << "a directory";
        QTest::newRow("/dev/null") << "/dev/null"
                                   << "a character device";
    }
    void readsTakeOnlyRegularFiles() {
        QFETCH(QString, path);
        QFETCH(QString, kind);
        WriteBytes(Path("r.ini"), "[S]\r\nK = 1\r\n");
        QVERIFY(QFile::link("r.ini", Path("l.ini")));
        QCOMPARE(::mkfifo(QFile::encodeName(Path("fifo")).constData(), 0644), 0);
        const std::string name = path.arg(dir.path()).toStdString();
        IniStore store;
        std::string refusal;
        QCOMPARE(store.ReadFromFile(name, &refusal),
                 kind.isEmpty() ? int(kIniOk) : int(kIniRefused));
        QCOMPARE(store.Sections().size(), std::size_t(kind.isEmpty()));
        QCOMPARE(refusal, kind.isEmpty() ? std::string()
                                         : name + " is " + kind.toStdString() +
                                               ", not a regular file: left untouched.");
        // The loads of the side files read through it and keep the text for the operator.
        QCOMPARE(ReadIdentifiedIniFile(name).refusal, refusal);
    }

    void readErrorHalfwayAddsNothing() {
        WriteBytes(Path("r.ini"), "[A]\r\nK = 1\r\n[B]\r\nL = 2\r\n");
        IniStore store;
        FailingFileOps ops;
        ops.readFailsLater = true;
        QCOMPARE(store.ReadFromFile(Path("r.ini").toStdString(), ops), int(kIniReadFailed));
        QVERIFY(store.Sections().empty());
    }

    void lineEndsSplitAcrossReadChunksStillCountOnce() {
        WriteBytes(Path("l.ini"), "[SECTION NAME]\r\n" + QByteArray(13, ' ') + "KEY = 1\r\n\r\n" +
                                      "[B]\n\rL = \"two words\"\n\r");
        IniStore store;
        FailingFileOps ops; // reads 16 bytes at a time
        QCOMPARE(store.ReadFromFile(Path("l.ini").toStdString(), ops), int(kIniOk));
        QCOMPARE(store.WriteToText(),
                 std::string("[SECTION NAME]\r\nKEY = 1\r\n\r\n[B]\r\nL = \"two words\"\r\n\r\n"));
    }

    void appendingReadsAddSectionsAfterThePutOnes() {
        WriteBytes(Path("m.ini"), "[S]\nK = 2\n");
        IniStore store;
        store.PutInt("S", "K", 1);
        QCOMPARE(store.ReadFromFile(Path("m.ini").toStdString()), int(kIniOk));
        QCOMPARE(store.Sections().size(), std::size_t(2));
        std::int32_t value = 0;
        QCOMPARE(store.GetInt("S", "K", value), int(kIniFound));
        QCOMPARE(value, 1);
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "TestIniFile.moc"
