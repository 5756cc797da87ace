#include "engine/FHThumbnail.h"

#include "engine/FHBmffCheck.h"
#include "engine/FHFileTypes.h"

#include <QFile>

#include <exiv2/exiv2.hpp>

#include <exception>

namespace FHThumbnail {

void prepare()
{
    // The XMP parser's set-up is not safe to race; the BMFF switch is a global.
    static const bool ready = [] {
        Exiv2::XmpParser::initialize();
        Exiv2::enableBMFF(true);
        return true;
    }();
    Q_UNUSED(ready)
}

QByteArray embeddedPreview(const QString &path, int minWidth, QString *problem)
{
    const auto refuse = [problem](const QString &why) {
        if (problem)
            *problem = why;
        return QByteArray();
    };
    // The library's video readers loop on damaged files; a video has no
    // preview of its own anyway.
    if (FHFileTypes::familyOf(path) == FHFileTypes::Video)
        return refuse(QStringLiteral("The file holds a video, not a photo"));
    try {
        prepare();
        // No remote or standard-input access, whatever the path looks like.
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString(), false);
        if (!image.get())
            return refuse(QStringLiteral("Not an image the EXIF library knows"));
        if (image->mimeType().compare(0, 6, "video/") == 0)
            return refuse(QStringLiteral("The file holds a video, not a photo"));
        if (dynamic_cast<Exiv2::BmffImage *>(image.get())) {
            const QString refusal = bmffRefusal(path);
            if (!refusal.isEmpty())
                return refuse(refusal);
        }
        image->readMetadata();
        Exiv2::PreviewManager manager(*image);
        // Smallest first.
        const Exiv2::PreviewPropertiesList list = manager.getPreviewProperties();
        const Exiv2::PreviewProperties *chosen = nullptr;
        for (const Exiv2::PreviewProperties &properties : list) {
            // Others are TIFF strips or raw pixels, which a viewer may not read.
            if (properties.size_ == 0 || properties.size_ > quint32(MaxPreviewBytes)
                || properties.mimeType_ != "image/jpeg")
                continue;
            chosen = &properties;
            if (properties.width_ >= quint32(minWidth))
                break;
        }
        if (!chosen)
            return refuse(QString());
        const Exiv2::PreviewImage preview = manager.getPreviewImage(*chosen);
        if (preview.size() == 0 || preview.size() > quint32(MaxPreviewBytes))
            return refuse(QString());
        return QByteArray(reinterpret_cast<const char *>(preview.pData()), int(preview.size()));
    } catch (const std::exception &e) {
        // The EXIF library's errors are standard exceptions too.
        return refuse(QString::fromUtf8(e.what()).trimmed());
    } catch (...) {
        return refuse(QStringLiteral("The EXIF library failed"));
    }
}

} // namespace FHThumbnail
