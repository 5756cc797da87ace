#include "FHExif.h"

#include "FHexiv2Application.h"

#include <QFile>

#include <exiv2/exiv2.hpp>

bool lookupCaptureDate(const QString &path, QString &cameraMakers, QDateTime &date)
{
    // No remote or standard-input access, whatever the path looks like.
    auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString(), false);
    if (!image.get())
        return false;
    image->readMetadata();
    Exiv2::ExifData &exifData = image->exifData();
    if (exifData.empty())
        return false;
    return FHexiv2Application::readExif(exifData, cameraMakers, date);
}

void muteExifLibraryWarnings()
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::error);
}
