#ifndef ENGINETEST_H
#define ENGINETEST_H

#include <QByteArray>
#include <QObject>

#include <functional>

// Runs the test object with its output kept on the original standard output,
// from inside a fresh temporary working directory: the program under test
// redirects stdout into ./Quilm.Log.txt on its first report, and must never
// touch the real working directory of the person running the tests.
int runTestObject(QObject *test, int argc, char **argv);

// Keeps the user's data, configuration and cache folders out of reach (runs
// keep a journal in the data folder) for the life of the process.
void isolateUserFolders();
// Points the user's data folder, and so the journals, at the path, for this
// process and the commands it starts.
void useDataFolder(const QString &path);

// The main of the tests that need no window: a core application object, the
// user's folders out of reach, a fresh temporary working directory.
int quilmEngineTestMain(int argc, char **argv, const std::function<QObject *()> &makeTest);

// Sets the process's time zone (TZ) while it lives.
class ScopedTimeZone
{
public:
    explicit ScopedTimeZone(const char *zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone &) = delete;
    ScopedTimeZone &operator=(const ScopedTimeZone &) = delete;

private:
    QByteArray m_previous;
};

#define QUILM_ENGINE_TEST_MAIN(TestClass)                                                          \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        return quilmEngineTestMain(argc, argv, [] { return new TestClass; });                      \
    }

#endif // ENGINETEST_H
