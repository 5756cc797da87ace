#ifndef FHINPUTWALK_H
#define FHINPUTWALK_H

#include "engine/FHFileTypes.h"
#include "engine/platform/FHFolder.h"

#include <QString>
#include <QStringList>
#include <QVector>

// One walk of the input folder that finds everything a run needs to know
// before it plans: the files to sort, the names it cannot handle, the folders
// it cannot read, and the files of families not chosen. Like a listing with
// the filters Files, NoSymLinks and NoDotAndDotDot: hidden entries, links and
// special files are left out, and links to folders are not followed.
class FHInputWalk
{
public:
    struct File
    {
        QString folder; // absolute, native separators; shared by its files
        QString name;
        QString path() const { return folder + QLatin1Char('/') + name; }
    };

    // A recursive walk does not go into skip (the output folder, where it lies
    // inside the input): what is sorted already is not sorted again.
    FHInputWalk(const QString &root, const FHNameFilter &filter, bool recursive,
        const QString &skip = QString());

    // The files matching the filter, in the order the file system gives them.
    const QVector<File> &files() const { return m_files; }
    // Sidecars (NAME.xmp, NAME.EXT.xmp, NAME.THM, NAME.AAE), which go with their
    // photo and are never sorted on their own.
    const QVector<File> &sidecars() const { return m_sidecars; }
    // Files matching the filter whose path has no form in the system's
    // file-name encoding, shown with each byte that does not decode as \xNN.
    const QStringList &undecodable() const { return m_undecodable; }
    // Folders that could not be read; the root first when it is one of them.
    const QStringList &unreadableFolders() const { return m_unreadable; }
    // Files of a known family that the filter leaves out, by family.
    int otherTypes(unsigned family) const;

private:
    void walk(const FHFolder &folder, const QByteArray &path, const QString &decoded, bool decodes);

    FHNameFilter m_filter;
    bool m_recursive;
    QString m_skip;
    QVector<File> m_files;
    QVector<File> m_sidecars;
    QStringList m_undecodable;
    QStringList m_unreadable;
    QVector<QPair<unsigned, int>> m_otherTypes;
};

#endif // FHINPUTWALK_H
