#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

// Closes every modal box or dialog that appears while it lives, so that no test
// ever waits for a person. What each closed window showed is kept for checks.
class ModalCloser : public QObject
{
    Q_OBJECT

public:
    struct Seen
    {
        QString className;
        QString title;
        QString text; // QMessageBox::text()
        QString informativeText; // QMessageBox::informativeText()
        int icon = 0; // QMessageBox::Icon
    };

    // answer, when set, is called with the modal widget instead of closing it
    // plainly; it must make the widget leave its event loop.
    explicit ModalCloser(std::function<void(QWidget *)> answer = {});
    ~ModalCloser() override;

    const QList<Seen> &seen() const { return m_seen; }
    int count() const { return m_seen.size(); }

private:
    void poll();

    QTimer m_timer;
    std::function<void(QWidget *)> m_answer;
    QList<Seen> m_seen;
};

// Plain text of a rich-text label content, as the user reads it.
QString plainTextOf(const QString &maybeRichText);

// Runs the test object with its output kept on the original standard output,
// from inside a fresh temporary working directory: the program under test
// redirects stdout into ./Quilm.Log.txt on its first report, and must never
// touch the real working directory of the person running the tests.
int runTestObject(QObject *test, int argc, char **argv);

// The one main of the tests: keeps the user's data folders out of reach (runs
// keep a journal there), creates the application object and runs the test
// object from a fresh temporary working directory.
int quilmTestMain(int argc, char **argv, const std::function<QObject *()> &makeTest);

#define QUILM_TEST_MAIN(TestClass)                                                                 \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        return quilmTestMain(argc, argv, [] { return new TestClass; });                            \
    }

#endif // TESTSUPPORT_H
