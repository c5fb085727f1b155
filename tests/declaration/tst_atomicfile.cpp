// Writing a file in one piece: complete or not there, never half written, and an earlier
// file of the same name untouched when the write fails.
#include "declaration/atomicfile.h"
#include "declaration/declarationxml.h"
#include "sampledata.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

using namespace zelvo;

using namespace zelvo::declaration;
using namespace Qt::StringLiterals;

namespace {

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// Lowers the largest file this process may write, for the lifetime of the object. Writing
// past it fails with EFBIG (the signal that would come with it is ignored meanwhile).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

} // namespace

class TestAtomicFile : public QObject {
    Q_OBJECT

private slots:
    void writesNewFile();
    void replacesEarlierFile();
    void missingFolder();
    void pathIsAFolder();
    void readOnlyFolderKeepsEarlierFile();
    void failedWriteKeepsEarlierFile();
    void declarationIntoMissingFolder();
};

void TestAtomicFile::writesNewFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"new.csv"_s);
    QCOMPARE(writeFileAtomically(path, "a;b;\r\n"), QString());
    QCOMPARE(contentOf(path), QByteArray("a;b;\r\n"));
    QCOMPARE(filesIn(dir.path()), QStringList{u"new.csv"_s});
}

void TestAtomicFile::replacesEarlierFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"file.xml"_s);
    QVERIFY(put(path, QByteArray(5000, 'x')));
    QCOMPARE(writeFileAtomically(path, "short\r\n"), QString());
    QCOMPARE(contentOf(path), QByteArray("short\r\n"));
    QCOMPARE(writeFileAtomically(path, QByteArray()), QString());
    QCOMPARE(contentOf(path), QByteArray());
    QCOMPARE(filesIn(dir.path()), QStringList{u"file.xml"_s});
}

void TestAtomicFile::missingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"not-there/file.xml"_s);
    const QString error = writeFileAtomically(path, "content\r\n");
    QVERIFY(!error.isEmpty());
    QVERIFY2(error.contains(u"not-there"_s), qPrintable(error));
    QVERIFY(!QFile::exists(path));
    QVERIFY(filesIn(dir.path()).isEmpty());
}

void TestAtomicFile::pathIsAFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    const QString error = writeFileAtomically(dir.filePath(u"folder"_s), "content\r\n");
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(dir.filePath(u"folder"_s)).isDir());
    QVERIFY(filesIn(dir.path()).isEmpty());
}

void TestAtomicFile::readOnlyFolderKeepsEarlierFile()
{
    if (geteuid() == 0) {
        QSKIP("the superuser writes into read-only folders; see failedWriteKeepsEarlierFile");
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"file.xml"_s);
    QVERIFY(put(path, "earlier\r\n"));
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const QString error = writeFileAtomically(path, "new content\r\n");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!error.isEmpty());
    QCOMPARE(contentOf(path), QByteArray("earlier\r\n"));
    QCOMPARE(filesIn(dir.path()), QStringList{u"file.xml"_s});
}

void TestAtomicFile::failedWriteKeepsEarlierFile()
{
    // The disk "fills up" after 4 KiB: the write fails halfway, whoever runs the test.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"file.xml"_s);
    QVERIFY(put(path, "earlier\r\n"));
    const QByteArray big(256 * 1024, 'y');
    QString error;
    {
        FileSizeLimit limit(4096);
        QVERIFY(limit.active());
        error = writeFileAtomically(path, big);
    }
    QVERIFY(!error.isEmpty());
    // The system's reason, as for a full disk, and the file it concerns.
    QCOMPARE(error,
             QDir::toNativeSeparators(path) + u": "_s + QString::fromLocal8Bit(strerror(EFBIG)));
    QCOMPARE(contentOf(path), QByteArray("earlier\r\n"));
    QCOMPARE(filesIn(dir.path()), QStringList{u"file.xml"_s}); // no partial file behind

    // Without the limit the same write goes through.
    QCOMPARE(writeFileAtomically(path, big), QString());
    QCOMPARE(contentOf(path), big);
}

void TestAtomicFile::declarationIntoMissingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"gone/12-xml-03.xml"_s);
    QVERIFY(!writeDeclarationXml(path, sample::marchInput()).isEmpty());
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
