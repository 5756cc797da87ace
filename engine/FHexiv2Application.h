#ifndef FHEXIV2APPLICATION_H
#define FHEXIV2APPLICATION_H

#include "FHApplication.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

class FHIO;
class FHRunReporter;

namespace Exiv2 {
class ExifData;
}

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
        const QStringList &nameFilters, const QString &namePattern, bool exifOnly, bool recursive,
        int subFolderMode, quint32 &movedCount, qint32 &notMovedCount, QString &cameraMakers);

    // Adds the camera maker to cameraMakers when new, then writes the capture
    // date; true when that date is valid. Without a maker no date is read.
    static bool readExif(Exiv2::ExifData &exifData, QString &cameraMakers, QDateTime &date);

signals:
    void getProgress(int value);

private:
    void runSort(FHRunReporter &reporter, const QString &inputDir, const QString &outputDir,
        const QStringList &nameFilters, const QString &namePattern, bool exifOnly, bool recursive,
        int subFolderMode, quint32 &movedCount, qint32 &notMovedCount, QString &cameraMakers);
    void renameTemporaryFiles(
        FHIO *folderGuard, const QStringList &nameFilters, const QString &namePattern);
    void setProgress(int value);
    void stepProgress(int limit);

    std::unique_ptr<FHIO> m_fileGuard;
    int m_progress = 0;
};

#endif // FHEXIV2APPLICATION_H
