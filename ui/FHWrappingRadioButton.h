#ifndef FHWRAPPINGRADIOBUTTON_H
#define FHWRAPPINGRADIOBUTTON_H

#include <QRadioButton>

// A radio button whose text wraps onto further lines when the layout gives it
// less width than one line needs; the main window's option texts are long and
// its size is fixed.
class FHWrappingRadioButton : public QRadioButton
{
    Q_OBJECT

public:
    explicit FHWrappingRadioButton(QWidget *parent = nullptr);
    ~FHWrappingRadioButton() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    int textIndent() const;
    QRect textRect(int width) const;
};

#endif // FHWRAPPINGRADIOBUTTON_H
