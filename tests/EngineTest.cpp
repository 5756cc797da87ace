#include "EngineTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>
#include <memory>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

int runTestObject(QObject *test, int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
#ifndef Q_OS_WIN
    // Keep the test log on the stream CTest reads even after the code under test
    // has pointed descriptor 1 at its log file. (The Windows build has only the
    // engine's tests, which never do.)
    if (!args.contains(QStringLiteral("-o"))) {
        const int fd = ::dup(STDOUT_FILENO);
        if (fd >= 0)
            args << QStringLiteral("-o") << QStringLiteral("/dev/fd/%1,txt").arg(fd);
    }
#endif
    QTemporaryDir workDir;
    if (!workDir.isValid() || !QDir::setCurrent(workDir.path()))
        return 1;
    return QTest::qExec(test, args);
}

void isolateUserFolders()
{
    static QTemporaryDir home;
    if (!home.isValid())
        qFatal("no temporary folder for the user's folders");
    for (const char *name : { "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME" })
        qputenv(name, QFile::encodeName(home.filePath(QString::fromLatin1(name))));
    useDataFolder(home.filePath(QStringLiteral("XDG_DATA_HOME")));
}

void useDataFolder(const QString &path)
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(path));
#ifdef Q_OS_WIN
    // Windows takes the user's data folder from the registry, not from the
    // environment: the journals' own variable stands in.
    qputenv("QUILM_JOURNAL_DIR", QFile::encodeName(path + QStringLiteral("/quilm/journal")));
#endif
}

ScopedTimeZone::ScopedTimeZone(const char *zone)
    : m_previous(qgetenv("TZ"))
{
#ifdef Q_OS_WIN
    // The C library of Windows knows no zone names, only offsets.
    if (qstrcmp(zone, "Europe/Berlin") == 0)
        zone = "CET-1CEST";
#endif
    qputenv("TZ", zone);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone()
{
    if (m_previous.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", m_previous);
    tzset();
}

int quilmEngineTestMain(int argc, char **argv, const std::function<QObject *()> &makeTest)
{
    isolateUserFolders();
    QCoreApplication app(argc, argv);
    const std::unique_ptr<QObject> test(makeTest());
    return runTestObject(test.get(), argc, argv);
}
