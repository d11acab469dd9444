// One Clipvane a data folder: the first holds it, a later one asks it to show itself.
#include "platform/linux/SingleInstance.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace clipvane;

class TstSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void laterLaunchAsksTheFirstToShow() {
        QTemporaryDir folder;
        SingleInstance first(folder.path());
        QVERIFY(first.isFirst());
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        SingleInstance second(folder.path());
        QVERIFY(!second.isFirst());
        QVERIFY(second.askFirstToShow(2000));
        QVERIFY(shown.wait(2000));

        // Another folder is another copy's.
        QTemporaryDir other;
        QVERIFY(SingleInstance(other.path()).isFirst());
    }

    // The same folder named another way (a trailing separator, through a link) is the same folder.
    void folderIsKeyedByItsCanonicalPath() {
        QTemporaryDir folder;
        const QString link = m_runtime.filePath("link");
        QVERIFY(QFile::link(folder.path(), link));
        SingleInstance first(folder.path());
        QVERIFY(first.isFirst());
        QVERIFY(!SingleInstance(folder.path() + "/").isFirst());
        QVERIFY(!SingleInstance(link).isFirst());
        QFile::remove(link);
    }

    // A crashed copy leaves its socket file behind, but not its lock: the next launch takes over.
    void staleSocketIsTakenOver() {
        QTemporaryDir folder;
        const QByteArray path = QFile::encodeName(SingleInstance::socketPath(folder.path()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd); // the file stays, nobody listens
        QVERIFY(QFile::exists(QFile::decodeName(path)));

        SingleInstance first(folder.path());
        QVERIFY(first.isFirst());
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        QVERIFY(SingleInstance(folder.path()).askFirstToShow(2000));
        QVERIFY(shown.wait(2000));
    }

    // Nobody listens where the lock is held (a first copy that never got its socket): the later launch
    // gives up after its time instead of starting a second copy.
    void firstThatDoesNotAnswer() {
        QTemporaryDir folder;
        SingleInstance first(folder.path());
        QFile::remove(SingleInstance::socketPath(folder.path()));
        SingleInstance second(folder.path());
        QVERIFY(!second.isFirst());
        QVERIFY(!second.askFirstToShow(200));
    }

private:
    QTemporaryDir m_runtime;
};

QTEST_GUILESS_MAIN(TstSingleInstance)
#include "tst_singleinstance.moc"
