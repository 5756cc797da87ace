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
    // A window of its own, but no reason to stay: the program ends with its
    // main window.
    setAttribute(Qt::WA_QuitOnClose, false);
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
    // The panel gets a frame like the anchor's from the window manager.
    const QRect frame = anchor->frameGeometry();
    const QRect inner = anchor->geometry();
    const QMargins decoration(inner.left() - frame.left(), inner.top() - frame.top(),
        frame.right() - inner.right(), frame.bottom() - inner.bottom());
    const QSize extra(
        decoration.left() + decoration.right(), decoration.top() + decoration.bottom());
    const QRect place = placement(frame, anchor->screen()->availableGeometry(), sizeHint() + extra);
    if (place.isEmpty())
        return;
    resize((place.size() - extra).expandedTo(QSize(1, 1)));
    move(place.topLeft());
}

QRect FHOutputWidget::placement(const QRect &anchor, const QRect &screen, const QSize &preferred)
{
    const int left = qMax(anchor.left(), screen.left());
    const int right = qMin(anchor.right(), screen.right());
    const int top = qMax(anchor.top(), screen.top());
    const int bottom = qMin(anchor.bottom(), screen.bottom());
    const int width = qMax(0, right - left + 1);
    const int height = qMax(0, bottom - top + 1);
    const int roomBelow = qMax(0, screen.bottom() - anchor.bottom());
    const int roomAbove = qMax(0, anchor.top() - screen.top());
    const int roomRight = qMax(0, screen.right() - anchor.right());
    const int roomLeft = qMax(0, anchor.left() - screen.left());

    struct Side
    {
        QRect place;
        bool fits;
    };
    const int h = preferred.height();
    const int w = preferred.width();
    const Side sides[] = {
        { QRect(left, anchor.bottom() + 1, width, qMin(h, roomBelow)), roomBelow >= h },
        { QRect(left, anchor.top() - qMin(h, roomAbove), width, qMin(h, roomAbove)),
            roomAbove >= h },
        { QRect(anchor.right() + 1, top, qMin(w, roomRight), height), roomRight >= w },
        { QRect(anchor.left() - qMin(w, roomLeft), top, qMin(w, roomLeft), height), roomLeft >= w },
    };
    const auto area = [](const QRect &r) { return qint64(r.width()) * r.height(); };
    const Side *best = nullptr;
    for (const Side &side : sides) {
        if (side.place.isEmpty())
            continue;
        if (side.fits)
            return side.place;
        if (!best || area(side.place) > area(best->place))
            best = &side;
    }
    return best ? best->place : QRect();
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
