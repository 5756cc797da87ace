#include "EngineTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>
#include <memory>
#include <unistd.h>

int runTestObject(QObject *test, int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Keep the test log on the stream CTest reads even after the code under test
    // has pointed descriptor 1 at its log file.
    if (!args.contains(QStringLiteral("-o"))) {
        const int fd = ::dup(STDOUT_FILENO);
        if (fd >= 0)
            args << QStringLiteral("-o") << QStringLiteral("/dev/fd/%1,txt").arg(fd);
    }
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
}

ScopedTimeZone::ScopedTimeZone(const char *zone)
    : m_previous(qgetenv("TZ"))
{
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
