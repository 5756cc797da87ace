#ifndef FHSAFEMOVE_H
#define FHSAFEMOVE_H

#include "engine/FHCopy.h"

#include <QCryptographicHash>
#include <QString>

class FHFolder;
class FHFolderTree;

// Moving a photo must never lose or damage it, nor replace another file.
namespace FHSafeMove {

// Name prefix of the partial copies made while moving across file systems.
// It matches no image name filter, so no listing of the program picks one up.
extern const char *const PartialPrefix;

// What a move did: a rename, or a copy across file systems (its result,
// with the hash of the bytes copied).
struct Moved
{
    int error = 0;
    bool copied = false;
    FHCopy::Result copy;
};

// Moves the file of that name in one folder to the name in another. On one
// file system this is a rename that never replaces an existing target; across
// file systems the file is copied (FHCopy: a partial file beside the target,
// synced, checked as verify says, put in place without replacing) and only
// then removed at the source. A failed move leaves the source as it was and
// no partial copy.
Moved move(const FHFolder &from, const QString &name, const FHFolder &to, const QString &toName,
    FHVerify verify);
// The same, with the copy read back; 0 on success, else the errno of the
// failure (EIO when the copy read back wrong). When the move copied the file
// to another file system and contentHash is given, it receives the hash of
// the bytes copied.
int moveFile(const FHFolder &from, const QString &name, const FHFolder &to, const QString &toName,
    QByteArray *contentHash = nullptr);
// The same by paths, each folder reached through the tree: ELOOP when a link
// stands on the way, EXDEV when a path lies beneath none of its roots.
int moveFile(const FHFolderTree &tree, const QString &source, const QString &target,
    QByteArray *contentHash = nullptr);

// The hash of the first and last 64 KiB that tells a file again where its
// number cannot, and of whole copies in the journals of earlier versions.
constexpr QCryptographicHash::Algorithm ContentHash = QCryptographicHash::Sha1;

// Removes the partial copies in the folder whose process no longer runs.
void removeStalePartialCopies(const FHFolder &folder);

// True when the two files hold the same bytes, compared in full.
bool sameBytes(const FHFolderTree &tree, const QString &a, const QString &b);

// True when the file at copy is what a move of source, cut short by a crash
// after its target appeared and before its source went, left behind: another
// name of the same file, or a complete copy on another file system.
bool isCutMoveOf(const FHFolderTree &tree, const QString &source, const QString &copy);

// Ends such a move: makes the copy durable, then removes the source. Returns 0
// on success, else the errno of the failure.
int finishCutMove(const FHFolderTree &tree, const QString &source, const QString &copy);

} // namespace FHSafeMove

#endif // FHSAFEMOVE_H
