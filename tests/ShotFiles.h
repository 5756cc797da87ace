#ifndef SHOTFILES_H
#define SHOTFILES_H

#include <QDateTime>
#include <QHash>
#include <QString>

// The files of the shots a test sorts, made by the test, and the check that a
// run kept each shot together under a number of its own.
class ShotFiles
{
public:
    // Makes the file at path as a member of the shot: by its name a sidecar, a
    // QuickTime movie, or a photo (a JPEG, also under a RAW or HEIF name) taken
    // at `taken`, which an invalid time leaves undated. The shot's time is that
    // of its first dated file: make its primary first. A photo is padded to
    // padTo bytes after its end.
    bool make(const QString &path, const QString &shot, const QDateTime &taken = QDateTime(),
        int padTo = 0);

    // Empty when every file of a shot that reached the output lies there in one
    // folder under one number with the rest of its shot, none left in the input;
    // no number holds two shots; numbers ascend with capture time (unless later
    // runs added shots after the others); and nothing is left under a temporary
    // name or as a partial copy. Else one line per fault.
    // A file of no shot (another process's) counts as a shot of its own. Files
    // made with an empty shot are to stay: every check leaves them out.
    QString check(
        const QString &output, const QString &input = QString(), bool captureOrder = true) const;

private:
    QHash<QByteArray, QString> m_shotOf; // content -> shot
    QHash<QString, QDateTime> m_takenAt; // shot -> capture time
};

#endif // SHOTFILES_H
