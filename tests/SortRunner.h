#ifndef SORTRUNNER_H
#define SORTRUNNER_H

#include "TestSupport.h"
#include "engine/FHExif.h"
#include "engine/FHFileTypes.h"

#include <QList>
#include <QString>
#include <QStringList>

// One sort run as the main window makes it, with its signals and boxes recorded.
struct SortRunner
{
    QString input;
    QString output;
    QStringList nameFilters = FHFileTypes::defaultNameFilters();
    QString pattern = QStringLiteral("${NUM}");
    bool exifOnly = true;
    bool recursive = false;
    int mode = 0;

    quint32 moved = 0;
    qint32 notMoved = 0;
    QString makers = defaultCameraMakers();
    QList<int> progress;
    QStringList currentFiles;
    QList<ModalCloser::Seen> boxes;

    // Runs sortImages() of the application object with the fields above.
    void run();
    // The code texts of the run-time error boxes, and the texts of other boxes.
    QStringList boxTexts() const;
};

#endif // SORTRUNNER_H
