#include "TestSupport.h"

#include "engine/FHNaming.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHRunReporter.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

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

QString checkShownPaths(const QStringList &shown, const QString &output)
{
    QStringList temporary;
    int named = 0;
    for (const QString &path : shown) {
        if (isTemporaryName(path))
            temporary << path;
        named += path.startsWith(QDir::toNativeSeparators(output) + QStringLiteral("/00")) ? 1 : 0;
    }
    if (!temporary.isEmpty())
        return QStringLiteral("temporary names shown: ") + temporary.join(QStringLiteral(", "));
    if (named == 0)
        return QStringLiteral("no final name shown: ") + shown.join(QStringLiteral(", "));
    return QString();
}

FHexiv2Application *quilmApp()
{
    return static_cast<FHexiv2Application *>(QCoreApplication::instance());
}

int quilmTestMain(int argc, char **argv, const std::function<QObject *()> &makeTest)
{
    isolateUserFolders();
    // The offscreen screen claims 100 dpi, which high-density scaling would take
    // for a ratio of 1.04; tests of other ratios set their own.
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    FHexiv2Application app(argc, argv);
    app.setReporters(&FHRunReporter::make);
    const std::unique_ptr<QObject> test(makeTest());
    return runTestObject(test.get(), argc, argv);
}
