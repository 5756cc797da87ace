#ifndef FHOUTPUTWIDGET_H
#define FHOUTPUTWIDGET_H

#include <QPlainTextEdit>

class FHException;

// The one panel that collects every report of the process.
class FHOutputWidget : public QPlainTextEdit
{
    Q_OBJECT

public:
    // The one panel, created on the first call with that call's parent.
    static FHOutputWidget *instance(QWidget *parent = nullptr);
    // True once the first report has created the panel.
    static bool exists();

    // Appends the trimmed text as a plain paragraph; with box, then shows the
    // untrimmed text in a modal critical box.
    void appendText(const QString &text, bool box);
    // Appends the exception's message as one red line, shown literally.
    void appendException(const FHException &e);

    // Shows the panel as a window of its own and brings it to the front; the
    // first time it goes next to the active (or main) window; see placement().
    void reveal();

    // The frame of the panel next to the anchor's frame, inside the screen's
    // available area and clear of the anchor: below, else above, at the
    // anchor's width and the preferred height; else right, else left, at the
    // anchor's height and the preferred width. Where none of these has room,
    // the place with the most room, made smaller to fit it. Empty where the
    // anchor leaves no room at all.
    static QRect placement(const QRect &anchor, const QRect &screen, const QSize &preferred);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    explicit FHOutputWidget(QWidget *parent);
    QWidget *anchorWindow() const;
    void placeNear(const QWidget *anchor);

    bool m_placed = false;
};

// The program's only way of telling the user and the log about an event. Each
// writes the log line first; when the log cannot be opened they throw
// FHException 260 before anything reaches the panel. The two that show a box
// reveal the panel too, so the history stays in view once the box is closed;
// a plain message does not.
void reportMessage(const QString &text);
void reportError(const QString &text);
void reportException(const FHException &e);

// Shows the run-time error box for the exception and returns when the user has
// closed it.
void showRunTimeError(const FHException &e);

#endif // FHOUTPUTWIDGET_H
