#ifndef FHSTARTBUTTON_H
#define FHSTARTBUTTON_H

#include <QToolButton>

// The START button. A tool button answers only the space bar; this one also
// answers Enter, on the main keyboard and on the keypad, as a push button in
// a dialog does.
class FHStartButton : public QToolButton
{
    Q_OBJECT

public:
    explicit FHStartButton(QWidget *parent = nullptr);
    ~FHStartButton() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

#endif // FHSTARTBUTTON_H
