#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include "EngineTest.h"

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

// The main of the window's tests: the user's folders out of reach, the
// window's application object, a fresh temporary working directory.
int quilmTestMain(int argc, char **argv, const std::function<QObject *()> &makeTest);

class FHexiv2Application;

// The application object the window tests run under.
FHexiv2Application *quilmApp();

// The descendant of that type and object name; a missing one ends the test,
// as it is the test that is broken.
template<typename T> T *child(const QObject &parent, const QString &name)
{
    T *found = parent.findChild<T *>(name);
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

// Empty when the paths a window showed during a run name no file by its
// temporary name, and some by their final names in the output.
QString checkShownPaths(const QStringList &shown, const QString &output);

#define QUILM_TEST_MAIN(TestClass)                                                                 \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        return quilmTestMain(argc, argv, [] { return new TestClass; });                            \
    }

#endif // TESTSUPPORT_H
