#include "ui/FHOutputWidget.h"

#include "engine/FHException.h"
#include "shell/FHLogFile.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QScreen>

namespace {
FHOutputWidget *s_panel = nullptr;
}

FHOutputWidget::FHOutputWidget(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setWindowTitle(QStringLiteral("Output"));
    setReadOnly(true);
    setMaximumBlockCount(1000);
}

FHOutputWidget *FHOutputWidget::instance(QWidget *parent)
{
    if (!s_panel)
        s_panel = new FHOutputWidget(parent);
    return s_panel;
}

bool FHOutputWidget::exists()
{
    return s_panel != nullptr;
}

void FHOutputWidget::appendText(const QString &text, bool box)
{
    appendPlainText(text.trimmed());
    if (!box)
        return;
    QMessageBox messageBox;
    messageBox.setTextFormat(Qt::PlainText);
    messageBox.setText(text);
    messageBox.setIcon(QMessageBox::Critical);
    messageBox.exec();
}

void FHOutputWidget::appendException(const FHException &e)
{
    // File names and paths are data: escape them so "<b>x</b>.jpg" reads as it is,
    // and keep their blanks, tabs and line breaks.
    appendHtml(QStringLiteral("<html><body><p style=\"white-space:pre-wrap\"><font "
                              "color=\"red\">%1</font></p></body></html>")
                   .arg(e.message().toHtmlEscaped()));
}

void FHOutputWidget::reveal()
{
    if (!isVisible() && !m_placed && isWindow()) {
        m_placed = true;
        placeNear(anchorWindow());
    }
    show();
    raise();
}

QWidget *FHOutputWidget::anchorWindow() const
{
    QWidget *active = QApplication::activeWindow();
    if (active && active != this)
        return active;
    // Without a window manager nothing may be active: take the main window.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (w != this && w->isVisible() && qobject_cast<QMainWindow *>(w))
            return w;
    }
    return nullptr;
}

void FHOutputWidget::placeNear(const QWidget *anchor)
{
    if (!anchor || !anchor->screen())
        return;
    const QRect frame = anchor->frameGeometry();
    const QRect screen = anchor->screen()->availableGeometry();
    resize(frame.width(), sizeHint().height());
    const QRect below(frame.bottomLeft() + QPoint(0, 1), size());
    const QRect above(frame.topLeft() - QPoint(0, height() + 1), size());
    if (screen.contains(below))
        move(below.topLeft());
    else if (screen.contains(above))
        move(above.topLeft());
}

QSize FHOutputWidget::sizeHint() const
{
    QSize size = QPlainTextEdit::sizeHint();
    size.setHeight(10 * fontMetrics().height());
    return size;
}

QSize FHOutputWidget::minimumSizeHint() const
{
    QSize size = QPlainTextEdit::minimumSizeHint();
    size.setHeight(5 * fontMetrics().height());
    return size;
}

void reportMessage(const QString &text)
{
    FHLogFile::instance().write(text);
    FHOutputWidget::instance()->appendText(text, false);
}

void reportError(const QString &text)
{
    FHLogFile::instance().write(text);
    FHOutputWidget *panel = FHOutputWidget::instance();
    panel->reveal();
    panel->appendText(text, true);
}

void reportException(const FHException &e)
{
    FHLogFile::instance().write(e.message());
    if (!e.systemReason().isEmpty())
        FHLogFile::instance().write(e.systemReason());
    FHOutputWidget *panel = FHOutputWidget::instance();
    panel->appendException(e);
    if (!e.systemReason().isEmpty())
        panel->appendText(e.systemReason(), false);
    panel->reveal();
    showRunTimeError(e);
}

void showRunTimeError(const FHException &e)
{
    QMessageBox box;
    box.setTextFormat(Qt::RichText);
    box.setText(QStringLiteral("<html><body><b>%1 %2</b></body></html>")
                    .arg(QStringLiteral("Quilm run time error"))
                    .arg(e.codeText()));
    // Paths and file names are data: the informative label guesses its format, so
    // hand it the message as rich text that keeps every blank, tab and line break
    // of a name, and still wraps.
    box.setInformativeText(QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>")
                               .arg(e.message().toHtmlEscaped()));
    box.setIcon(QMessageBox::Critical);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}
