#ifndef FHEXIV2APPLICATION_H
#define FHEXIV2APPLICATION_H

#include "FHApplication.h"

#include <QString>
#include <QStringList>

class FHIO;

// The application object that also performs sort runs.
class FHexiv2Application : public FHApplication
{
    Q_OBJECT

public:
    FHexiv2Application(int &argc, char **argv);
    ~FHexiv2Application() override;

    // The guard that stands for the file in hand; its getCurrentFile signal
    // carries every path a run works on.
    FHIO *fileGuard() const;

    // One whole run, synchronous. Reports its own failures and returns normally.
    void sortImages(const QString &inputDir, const QString &outputDir,
                    const QStringList &nameFilters, const QString &namePattern, bool exifOnly,
                    bool recursive, int subFolderMode, quint32 &movedCount,
                    qint32 &notMovedCount, QString &cameraMakers);

signals:
    void getProgress(int value);

    // (private members are the engine's own)
};

#endif // FHEXIV2APPLICATION_H
