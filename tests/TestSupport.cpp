#include "TestSupport.h"

#include "shell/FHexiv2Application.h"
#include "ui/FHRunReporter.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include <unistd.h>

ModalCloser::ModalCloser(std::function<void(QWidget *)> answer)
    : m_answer(std::move(answer))
{
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &ModalCloser::poll);
    m_timer.start();
}

ModalCloser::~ModalCloser() = default;

void ModalCloser::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    Seen seen;
    seen.className = QString::fromLatin1(modal->metaObject()->className());
    seen.title = modal->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        seen.text = box->text();
        seen.informativeText = box->informativeText();
        seen.icon = box->icon();
    }
    m_seen.append(seen);
    if (m_answer) {
        m_answer(modal);
    } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}

QString plainTextOf(const QString &maybeRichText)
{
    if (!Qt::mightBeRichText(maybeRichText))
        return maybeRichText;
    QTextDocument doc;
    doc.setHtml(maybeRichText);
    return doc.toPlainText();
}

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

int quilmTestMain(int argc, char **argv, const std::function<QObject *()> &makeTest)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    for (const char *name : { "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME" })
        qputenv(name, QFile::encodeName(home.filePath(QString::fromLatin1(name))));
    // The offscreen screen claims 100 dpi, which high-density scaling would take
    // for a ratio of 1.04; tests of other ratios set their own.
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    FHexiv2Application app(argc, argv);
    app.setReporters(&FHRunReporter::make);
    const std::unique_ptr<QObject> test(makeTest());
    return runTestObject(test.get(), argc, argv);
}
