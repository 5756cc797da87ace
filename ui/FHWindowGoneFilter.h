#ifndef FHWINDOWGONEFILTER_H
#define FHWINDOWGONEFILTER_H

#include <QAbstractNativeEventFilter>
#include <QObject>

class QWidget;

// Tells when the window system destroys a window under the program, as
// `xdotool windowclose` does on X11: the toolkit sends no close event then,
// and the window is simply gone. Elsewhere it never fires.
class FHWindowGoneFilter : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // Watches the window, and goes with it.
    explicit FHWindowGoneFilter(QWidget *window);
    ~FHWindowGoneFilter() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;

signals:
    // Once, from within the window system's event: connect with a queued
    // connection to do more than note it.
    void gone();

private:
    QWidget *m_window;
    quintptr m_goneId = 0; // the window's native id, once it is gone
};

#endif // FHWINDOWGONEFILTER_H
