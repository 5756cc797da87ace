#include "FHexiv2Application.h"

#include "FHException.h"
#include "FHExif.h"
#include "FHIO.h"
#include "FHNaming.h"
#include "FHRunReporter.h"
#include "FHSafeMove.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <exiv2/exiv2.hpp>

#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace {

const QString InputDirectoryRole = QStringLiteral("input directory");
const QString OutputDirectoryRole = QStringLiteral("output directory");
const QString ImageFileRole = QStringLiteral("image file in input directory");
const QString SubDirectoryRole = QStringLiteral("sub-directory in output directory");
const QString TemporaryFileRole
    = QStringLiteral("temporary file in sub-directory of output directory");

// The listing's entries in the order the file system delivers them. Taken
// whole before anything is moved: a directory read while its files are renamed
// delivers some of them twice.
QStringList takeListing(FHIO &guard, const QStringList &nameFilters, QDir::Filters filters,
    QDirIterator::IteratorFlags flags)
{
    QStringList entries;
    FHIO entry(guard.currentFile(), guard.role());
    guard.beginList(nameFilters, filters, flags);
    while (guard.nextEntry(&entry))
        entries.append(entry.currentFile());
    guard.endList();
    return entries;
}

// Taken by anything at all, a dangling link included.
bool pathTaken(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// The temporary names in a target folder before this run moved anything there,
// by their folder and capture second. One of them may be what an interrupted
// move left: the photo in place, its source not yet removed.
using Leftovers = QHash<QString, QStringList>;
constexpr int SecondLength = 19; // yyyy-MM-dd-HH-mm-ss

void collectLeftovers(FHIO &folderGuard, const QStringList &nameFilters, Leftovers &leftovers)
{
    const QStringList entries = takeListing(folderGuard, nameFilters,
        QDir::Files | QDir::NoDotAndDotDot, QDirIterator::NoIteratorFlags);
    for (const QString &entry : entries) {
        const QFileInfo info(entry);
        if (temporaryNamePattern().match(info.baseName()).hasMatch())
            leftovers[entry.left(entry.size() - info.fileName().size() + SecondLength)].append(
                entry);
    }
}

// A move cut short on a file system without the no-replace flag can leave a
// temporary name as a second name of a file that already has its final name.
// Such names are removed, so that the photo is not numbered twice.
void removeSecondNames(QStringList &entries)
{
    QList<int> linked;
    for (int i = 0; i < entries.size(); ++i) {
        struct stat st;
        if (temporaryNamePattern().match(QFileInfo(entries.at(i)).baseName()).hasMatch()
            && ::lstat(QFile::encodeName(entries.at(i)).constData(), &st) == 0 && st.st_nlink > 1)
            linked.append(i);
    }
    if (linked.isEmpty())
        return;
    QHash<QPair<dev_t, ino_t>, int> files;
    const auto identity = [](const QString &path, QPair<dev_t, ino_t> &id) {
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        id = qMakePair(st.st_dev, st.st_ino);
        return true;
    };
    // Final names first: they are the ones to keep.
    for (int i = 0; i < entries.size(); ++i) {
        QPair<dev_t, ino_t> id;
        if (!linked.contains(i) && identity(entries.at(i), id))
            files.insert(id, i);
    }
    QList<int> removed;
    for (const int i : qAsConst(linked)) {
        QPair<dev_t, ino_t> id;
        if (!identity(entries.at(i), id))
            continue;
        if (!files.contains(id))
            files.insert(id, i);
        else if (::unlink(QFile::encodeName(entries.at(i)).constData()) == 0)
            removed.prepend(i);
    }
    for (const int i : qAsConst(removed))
        entries.removeAt(i);
}

QString changedSinceListing(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("'%1' was removed after the input directory was listed; it is "
                              "not sorted")
            .arg(path);
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("'%1' is no longer a file since the input directory was listed; "
                              "it is left where it is")
            .arg(path);
    return QString();
}

// A folder that cannot be read lists as empty: say so rather than sort nothing
// in silence.
const char *const NotSortedText = "no image in it is sorted";
const char *const TemporaryNamesText = "the images in it keep their temporary names";

void reportIfUnreadable(
    FHRunReporter &reporter, const QString &folder, const char *consequence, bool box)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir) {
        ::closedir(dir);
        return;
    }
    const QString text = QStringLiteral("Unable to read directory '%1' (%2): %3")
                             .arg(folder, QString::fromLocal8Bit(std::strerror(errno)),
                                 QLatin1String(consequence));
    if (box)
        reporter.error(text);
    else
        reporter.message(text);
}

QString unreadableImageText(const QString &path, const char *libraryText)
{
    return QStringLiteral("Unable to read EXIF data of '%1', taken as an image without capture "
                          "date: %2")
        .arg(path, QString::fromUtf8(libraryText).trimmed());
}

// Removes the source when one of the candidates is its copy left by a cut move.
bool finishCutMove(FHRunReporter &reporter, const QString &source, QStringList &candidates)
{
    for (int i = 0; i < candidates.size(); ++i) {
        const QString copy = candidates.at(i);
        if (!FHSafeMove::isCutMoveOf(source, copy))
            continue;
        candidates.removeAt(i);
        if (FHSafeMove::finishCutMove(source, copy) != 0)
            return false;
        reporter.message(
            QStringLiteral("Finished the interrupted move of '%1' to '%2'").arg(source, copy));
        return true;
    }
    return false;
}

} // namespace

FHexiv2Application::FHexiv2Application(int &argc, char **argv)
    : FHApplication(argc, argv)
    , m_fileGuard(std::make_unique<FHIO>(QDir::currentPath(), QStringLiteral("FHexiv2Application")))
{
    muteExifLibraryWarnings();
}

FHexiv2Application::~FHexiv2Application() = default;

FHIO *FHexiv2Application::fileGuard() const
{
    return m_fileGuard.get();
}

void FHexiv2Application::sortImages(const QString &inputDir, const QString &outputDir,
    const QStringList &nameFilters, const QString &namePattern, bool exifOnly, bool recursive,
    int subFolderMode, quint32 &movedCount, qint32 &notMovedCount, QString &cameraMakers)
{
    FHRunReporter reporter;
    try {
        runSort(reporter, inputDir, outputDir, nameFilters, namePattern, exifOnly, recursive,
            subFolderMode, movedCount, notMovedCount, cameraMakers);
    } catch (const FHException &e) {
        reporter.exception(e);
    } catch (const Exiv2::Error &e) {
        reporter.error(QString::fromUtf8(e.what()));
    } catch (const std::exception &e) {
        reporter.error(QString::fromUtf8(e.what()));
    }
}

void FHexiv2Application::runSort(FHRunReporter &reporter, const QString &inputDir,
    const QString &outputDir, const QStringList &nameFilters, const QString &namePattern,
    bool exifOnly, bool recursive, int subFolderMode, quint32 &movedCount, qint32 &notMovedCount,
    QString &cameraMakers)
{
    if (!namePattern.contains(QLatin1String("${NUM}"), Qt::CaseSensitive))
        throw FHException(
            FHError::NumKeywordMissing, FHError::NumKeywordMissingFormat, namePattern);
    QString subFolderFormat;
    if (subFolderMode == 1)
        subFolderFormat = QStringLiteral("yyyy-MM");
    else if (subFolderMode == 2)
        subFolderFormat = QStringLiteral("yyyy-MM-dd");

    FHIO inputGuard(inputDir, InputDirectoryRole);
    inputGuard.checkDirectory();
    setProgress(10);
    FHIO outputGuard(outputDir, OutputDirectoryRole);
    outputGuard.makeDirectory();
    setProgress(20);

    // Pass 1: every accepted image goes to its target folder under a temporary name.
    reportIfUnreadable(reporter, inputGuard.currentFile(), NotSortedText, true);
    if (recursive) {
        const QStringList folders = takeListing(inputGuard, { QStringLiteral("*") },
            QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        for (const QString &folder : folders)
            reportIfUnreadable(reporter, folder, NotSortedText, false);
    }
    const QStringList images = takeListing(inputGuard, nameFilters,
        QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot,
        recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    // The listing cannot name these: the user is told, and they stay where they are.
    for (const QString &path : inputGuard.undecodableFiles(nameFilters, recursive)) {
        reporter.message(QStringLiteral("Unable to handle '%1': its name is not valid in the "
                                        "system's file-name encoding; it is left in place")
                             .arg(path));
        ++notMovedCount;
    }
    m_fileGuard->setRole(ImageFileRole);
    const QString separator = QDir::separator();
    QSet<QString> checkedFolders;
    Leftovers leftovers;
    quint32 tag = movedCount;
    for (const QString &image : images) {
        m_fileGuard->setCurrentFile(image);
        stepProgress(49);
        // Another program may have removed or replaced it since the listing.
        if (const QString change = changedSinceListing(image); !change.isEmpty()) {
            reporter.message(change);
            continue;
        }

        QDateTime date;
        bool dated = false;
        try {
            dated = lookupCaptureDate(m_fileGuard->currentFile(), cameraMakers, date);
        } catch (const Exiv2::Error &e) {
            reporter.message(unreadableImageText(m_fileGuard->currentFile(), e.what()));
        } catch (const std::exception &e) {
            reporter.message(unreadableImageText(m_fileGuard->currentFile(), e.what()));
        }
        if (!dated) {
            if (exifOnly) {
                ++notMovedCount;
                continue;
            }
            date = m_fileGuard->created();
        }

        QString folder = outputDir;
        if (!subFolderFormat.isEmpty())
            folder += separator + date.toString(subFolderFormat);
        FHIO folderGuard(folder, SubDirectoryRole);
        folderGuard.makeDirectory();
        if (!checkedFolders.contains(folderGuard.currentFile())) {
            FHSafeMove::removeStalePartialCopies(folderGuard.currentFile());
            checkedFolders.insert(folderGuard.currentFile());
            collectLeftovers(folderGuard, nameFilters, leftovers);
        }

        // A temporary name left by an interrupted run can equal this one.
        const QString suffix = QLatin1Char('.') + m_fileGuard->suffix();
        const auto cut = leftovers.find(
            folderGuard.currentFile() + separator + temporaryName(date, 0).left(SecondLength));
        if (cut != leftovers.end() && finishCutMove(reporter, m_fileGuard->currentFile(), *cut)) {
            ++movedCount;
            continue;
        }
        QString target;
        do {
            target = folder + separator + temporaryName(date, tag++) + suffix;
        } while (pathTaken(target));
        m_fileGuard->renameTo(target);
        ++movedCount;
    }
    setProgress(50);

    // Pass 2: temporary names become final names, folder by folder.
    FHIO folderGuard(outputDir, SubDirectoryRole);
    if (subFolderFormat.isEmpty()) {
        reportIfUnreadable(reporter, folderGuard.currentFile(), TemporaryNamesText, true);
        renameTemporaryFiles(&folderGuard, nameFilters, namePattern);
    } else {
        reportIfUnreadable(reporter, outputGuard.currentFile(), TemporaryNamesText, true);
        const QStringList folders = takeListing(outputGuard, { QStringLiteral("*") },
            QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDirIterator::NoIteratorFlags);
        for (const QString &folder : folders) {
            folderGuard.setCurrentFile(folder);
            reportIfUnreadable(reporter, folder, TemporaryNamesText, true);
            renameTemporaryFiles(&folderGuard, nameFilters, namePattern);
        }
    }
    setProgress(100);
}

void FHexiv2Application::renameTemporaryFiles(
    FHIO *folderGuard, const QStringList &nameFilters, const QString &namePattern)
{
    QStringList entries = takeListing(*folderGuard, nameFilters, QDir::Files | QDir::NoDotAndDotDot,
        QDirIterator::NoIteratorFlags);
    entries.sort(Qt::CaseSensitive);
    removeSecondNames(entries);

    const QRegularExpression &pattern = temporaryNamePattern();
    const QString folder = folderGuard->currentFile() + QDir::separator();
    int lastNumber = 0;
    for (int i = 0; i < entries.size(); ++i) {
        stepProgress(99);
        m_fileGuard->setCurrentFile(entries.at(i));
        m_fileGuard->setRole(TemporaryFileRole);
        const QRegularExpressionMatch match = pattern.match(m_fileGuard->baseName());
        if (!match.hasMatch())
            continue;
        int parts[6];
        for (int group = 1; group <= 6; ++group)
            parts[group - 1] = match.capturedRef(group).toInt(nullptr, 10);
        const QString suffix = QLatin1Char('.') + m_fileGuard->suffix();

        // The position in the listing, or the next number after it whose name is
        // free; numbers keep ascending within the folder.
        for (int number = qMax(i + 1, lastNumber + 1);; ++number) {
            QString name = namePattern;
            expandNamePattern(
                name, number, parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
            const QString target = folder + name + suffix;
            if (target == m_fileGuard->currentFile() || !pathTaken(target)) {
                m_fileGuard->renameTo(target);
                lastNumber = number;
                break;
            }
        }
    }
}

bool FHexiv2Application::readExif(Exiv2::ExifData &exifData, QString &cameraMakers, QDateTime &date)
{
    static const Exiv2::ExifKey makeKey("Exif.Image.Make");
    static const Exiv2::ExifKey dateKey("Exif.Photo.DateTimeOriginal");

    const auto make = exifData.findKey(makeKey);
    if (make == exifData.end())
        return false;
    const QString maker = QString::fromStdString(make->value().toString());
    if (!cameraMakers.contains(maker.trimmed(), Qt::CaseInsensitive))
        cameraMakers += QLatin1Char('|') + maker;

    const auto original = exifData.findKey(dateKey);
    if (original == exifData.end())
        return false;
    const QString text = QString::fromStdString(original->value().toString());
    date = QDateTime::fromString(text, QStringLiteral("yyyy:MM:dd hh:mm:ss"));
    if (!date.isValid() && text.size() == 19 && text.at(10) == QLatin1Char(' ')) {
        // A camera clock knows no daylight saving: a time that the local clock
        // skips in spring is still the time the photo shows. Only its fields are used.
        const QDate day = QDate::fromString(text.left(10), QStringLiteral("yyyy:MM:dd"));
        const QTime time = QTime::fromString(text.mid(11), QStringLiteral("hh:mm:ss"));
        if (day.isValid() && time.isValid())
            date = QDateTime(day, time, Qt::UTC);
    }
    return date.isValid();
}

void FHexiv2Application::setProgress(int value)
{
    m_progress = value;
    emit getProgress(value);
}

void FHexiv2Application::stepProgress(int limit)
{
    if (m_progress < limit)
        setProgress(m_progress + 1);
}
