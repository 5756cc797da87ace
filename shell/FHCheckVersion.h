#ifndef FHCHECKVERSION_H
#define FHCHECKVERSION_H

#include <QObject>
#include <QString>

class QNetworkAccessManager;
class FHReporter;
class QNetworkReply;

// Asks the maker's server once whether a newer version exists. run() blocks in a
// nested event loop that handles paint, timer and network events but no user
// input; newVersion() then holds the answer.
class FHCheckVersion : public QObject
{
    Q_OBJECT

public:
    // How long run() waits for the server before it gives up.
    static constexpr int TimeoutMs = 5000;
    // A version number is a few bytes; a longer reply is not an answer.
    static constexpr int MaxReplyBytes = 1024;

    // Asks the server configured at build time (QUILM_VERSION_SERVER). A
    // failed request is told to the reporter, which must outlive the check.
    explicit FHCheckVersion(FHReporter *reporter);
    // baseAddress: scheme and host (and port); a trailing slash is ignored.
    FHCheckVersion(FHReporter *reporter, const QString &baseAddress);
    ~FHCheckVersion() override;

    // Sends the request and returns once the reply has finished, with success,
    // an error or the timeout. Emits 10, 20, 100 and 50 on the way.
    void run();

    // The server's reply if it is a version number above this program's own
    // (QUILM_VERSION, not the older one the request names), else an empty string.
    QString newVersion() const;

    // True for three runs of ASCII digits joined by single dots, optionally
    // followed by one final line feed.
    static bool isVersionString(const QString &text);
    // Whether the version number is above the other, part by part as numbers
    // of any length. Both must be version strings.
    static bool isAbove(const QString &version, const QString &other);

signals:
    void emitProgress(int progress);

public slots:
    // Keeps the body of a good reply; reports a failed one, or one longer than
    // MaxReplyBytes, as a message. Never throws.
    void replyFinished(QNetworkReply *reply);

private:
    static QString tooLong();

    FHReporter *m_reporter;
    QNetworkAccessManager *m_manager;
    QString m_url;
    QString m_replyText;
    bool m_tooLong = false;
};

#endif // FHCHECKVERSION_H
