#ifndef FHFONTFIT_H
#define FHFONTFIT_H

class QLayout;
class QWidget;

// Steps the widget's font down by half points, to no less than smallestPointSize,
// until its layout fits the widget's fixed size minus reservedHeight (a menu
// bar, say). The program's windows have fixed sizes that were made for compact
// fonts; wider fonts or longer translations would otherwise be clipped.
void shrinkFontToFit(
    QWidget *widget, QLayout *layout, int reservedHeight = 0, double smallestPointSize = 7.0);

#endif // FHFONTFIT_H
