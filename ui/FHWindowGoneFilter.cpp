#include "ui/FHWindowGoneFilter.h"

#include <QCoreApplication>
#include <QWidget>

namespace {

// The X protocol's events as xcb hands them over, as far as they matter here:
// the toolkit's headers for them are private, and the layout is the protocol's.
struct XcbEvent
{
    quint8 responseType; // 0 for an error; the top bit marks a sent event
    quint8 detail; // an error's code
    quint16 sequence;
    quint32 first; // DestroyNotify: the window told; an error: the resource
    quint32 second; // DestroyNotify: the window destroyed
};

const quint8 xcbError = 0;
const quint8 xcbDestroyNotify = 17;

} // namespace

FHWindowGoneFilter::FHWindowGoneFilter(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

// The base class takes the filter out of the application.
FHWindowGoneFilter::~FHWindowGoneFilter() = default;

bool FHWindowGoneFilter::nativeEventFilter(const QByteArray &eventType, void *message, long *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const XcbEvent *>(message);
    const quint8 type = event->responseType & 0x7f;
    if (m_goneId) {
        // The toolkit still holds the window's id and tells the window system
        // what to do with it until it quits; the complaints say nothing new.
        return type == xcbError && event->first == m_goneId;
    }
    // The id of the window now: one the toolkit made anew is not gone.
    const quintptr id = m_window->internalWinId();
    if (type != xcbDestroyNotify || id == 0 || event->second != id)
        return false;
    m_goneId = id;
    emit gone();
    return false;
}
