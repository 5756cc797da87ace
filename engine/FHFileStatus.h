#ifndef FHFILESTATUS_H
#define FHFILESTATUS_H

#include "engine/FHFileIdentity.h"

#include <QString>

class FHFolderTree;

// A listed file as the run finds it when it comes to it: still there, still a
// file, still reached without following a link.
struct FHFileStatus
{
    bool exists = false;
    bool regular = false;
    bool unreachable = false; // a link stands where one of its folders was
    FHFileIdentity identity;
    // The earlier of modification and birth time: a copy off a card is born
    // when it is copied, but keeps the time the camera wrote it.
    qint64 fileDateMs = 0;

    static FHFileStatus of(const FHFolderTree &tree, const QString &path);
    // Why the file at path is no longer one to sort, or an empty text.
    QString goneText(const QString &path) const;
};

#endif // FHFILESTATUS_H
