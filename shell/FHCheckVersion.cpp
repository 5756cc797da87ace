#include "shell/FHCheckVersion.h"

#include "FHConfig.h"
#include "engine/FHException.h"
#include "engine/FHReporter.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>

namespace {

// The version this build announces to the server; the about box shows its own.
const int RequestMajor = 3;
const int RequestMinor = 3;
const int RequestPatch = 0;

QString withoutTrailingSlashes(QString address)
{
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}

} // namespace

FHCheckVersion::FHCheckVersion(FHReporter *reporter)
    : FHCheckVersion(reporter, QStringLiteral(QUILM_VERSION_SERVER))
{
}

FHCheckVersion::FHCheckVersion(FHReporter *reporter, const QString &baseAddress)
    : m_reporter(reporter)
    , m_manager(new QNetworkAccessManager(this))
    , m_url(QStringLiteral("%1/%2?name=%3&version=%4.%5.%6")
                .arg(withoutTrailingSlashes(baseAddress), QStringLiteral("check_version.php"),
                    QStringLiteral("Quilm"))
                .arg(RequestMajor)
                .arg(RequestMinor)
                .arg(RequestPatch))
{
    // Connected before run() connects its loop, so the reply is handled before
    // the loop is told to quit.
    connect(m_manager, &QNetworkAccessManager::finished, this, &FHCheckVersion::replyFinished);
}

FHCheckVersion::~FHCheckVersion() = default;

void FHCheckVersion::run()
{
    m_replyText.clear();
    m_tooLong = false;
    emit emitProgress(10);

    // Connected before the request goes out, so a reply that finishes at once
    // cannot leave the loop waiting for a signal that has already passed.
    QEventLoop loop;
    bool finished = false;
    connect(m_manager, &QNetworkAccessManager::finished, &loop, [&finished, &loop] {
        finished = true;
        loop.quit();
    });

    QNetworkReply *reply = m_manager->get(QNetworkRequest(QUrl(m_url, QUrl::TolerantMode)));
    // Stop a long reply as soon as it shows, rather than take it all in.
    connect(reply, &QNetworkReply::downloadProgress, this,
        [this, reply](qint64 received, qint64 total) {
            if (received > MaxReplyBytes || total > MaxReplyBytes) {
                m_tooLong = true;
                reply->abort();
            }
        });

    emit emitProgress(20);

    // Without a bound, a connect that hangs, a server that never answers or one
    // that sends a byte now and then would keep the program behind its splash
    // screen. QNetworkRequest::setTransferTimeout() only bounds idle time, so the
    // whole wait gets one deadline; aborting finishes the reply with an error.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5% early
    connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline.start(TimeoutMs);

    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    emit emitProgress(50);
}

void FHCheckVersion::replyFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    emit emitProgress(100);

    QByteArray body;
    QString failure;
    if (m_tooLong) {
        failure = tooLong();
    } else if (reply->error() != QNetworkReply::NoError) {
        failure = reply->errorString();
    } else {
        body = reply->read(MaxReplyBytes + 1);
        if (body.size() > MaxReplyBytes)
            failure = tooLong();
    }
    if (!failure.isEmpty()) {
        // We are inside the event loop here: a log that cannot open must not
        // escape as an exception, so tell the user in its own box.
        try {
            m_reporter->message(failure);
        } catch (const FHException &e) {
            m_reporter->exception(e);
        }
        return;
    }

    const int zero = body.indexOf('\0');
    if (zero >= 0)
        body.truncate(zero);
    m_replyText = QString::fromUtf8(body);
}

QString FHCheckVersion::tooLong()
{
    return tr("The version server's reply is longer than %1 bytes.").arg(MaxReplyBytes);
}

QString FHCheckVersion::newVersion() const
{
    // The request goes on naming the version the server knows this build by;
    // whether the answer is news is for the version the user has.
    return isVersionString(m_replyText) && isAbove(m_replyText, QStringLiteral(QUILM_VERSION))
        ? m_replyText
        : QString();
}

bool FHCheckVersion::isAbove(const QString &version, const QString &other)
{
    const QStringList a = version.trimmed().split(QLatin1Char('.'));
    const QStringList b = other.trimmed().split(QLatin1Char('.'));
    // Digit runs of any length: without their leading zeros, the longer is larger.
    const auto significant = [](const QString &digits) {
        int zeros = 0;
        while (zeros + 1 < digits.size() && digits.at(zeros) == QLatin1Char('0'))
            ++zeros;
        return digits.midRef(zeros);
    };
    for (int i = 0; i < qMin(a.size(), b.size()); ++i) {
        const QStringRef x = significant(a.at(i));
        const QStringRef y = significant(b.at(i));
        if (x.size() != y.size())
            return x.size() > y.size();
        if (const int c = x.compare(y))
            return c > 0;
    }
    return false;
}

bool FHCheckVersion::isVersionString(const QString &text)
{
    // No Unicode option: \d stays ASCII. "$" also matches before one final "\n".
    static const QRegularExpression version(QStringLiteral("^\\d+\\.{1,1}\\d+\\.{1,1}\\d+$"));
    return version.match(text).hasMatch();
}
