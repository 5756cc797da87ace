#include "cli/FHWatch.h"

#include "cli/FHConsoleReporter.h"
#include "cli/FHPlanPrinter.h"
#include "cli/FHSortCommand.h"
#include "engine/FHCameraMakers.h"
#include "engine/FHInputWalk.h"
#include "engine/platform/FHOutputLock.h"
#include "engine/platform/FHSystem.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<bool> s_stop { false };
std::atomic<bool> s_reload { false };
int s_wakeUp[2] = { -1, -1 }; // a pipe that the signal handlers write to

void onSignal(int number)
{
    if (number == SIGHUP) {
        s_reload = true;
    } else {
        s_stop = true;
        // The batch in hand ends after the file in hand, its moved files named.
        FHSortCommand::stopRunningSort();
    }
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(s_wakeUp[1], &byte, 1);
    errno = saved;
}

qint64 steadyMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

bool isMountPoint(const QString &path)
{
    struct stat self, parent;
    const QByteArray name = QFile::encodeName(path);
    return ::stat(name.constData(), &self) == 0 && ::stat((name + "/..").constData(), &parent) == 0
        && (self.st_dev != parent.st_dev || self.st_ino == parent.st_ino);
}

// Human words for a batch: "5 moved, 2 left (no-capture-date: 1, duplicate: 1)".
QString batchText(const FHSortPlan &plan)
{
    QMap<QString, int> left;
    for (const FHPlanEntry &entry : plan.entries) {
        if (!entry.placed && !entry.companion)
            ++left[skipReasonName(entry.wasReached() ? entry.reason : FHSkipReason::Stopped)];
    }
    QStringList reasons;
    int count = 0;
    for (auto it = left.cbegin(); it != left.cend(); ++it) {
        reasons << QStringLiteral("%1: %2").arg(it.key()).arg(it.value());
        count += it.value();
    }
    QString text = QStringLiteral("%1 %2")
                       .arg(plan.movedCount)
                       .arg(plan.copy ? QStringLiteral("copied") : QStringLiteral("moved"));
    if (count > 0)
        text += QStringLiteral(", %1 left (%2)").arg(count).arg(reasons.join(QStringLiteral(", ")));
    return text;
}

} // namespace

FHWatch::FHWatch(const Settings &settings, Loader reload, Sorter sort, FHConsoleReporter &console)
    : m_settings(settings)
    , m_reload(std::move(reload))
    , m_sort(std::move(sort))
    , m_console(console)
    , m_settle(settings.settleMs)
{
}

FHWatch::~FHWatch()
{
    if (m_inotify >= 0)
        ::close(m_inotify);
}

void FHWatch::say(const QString &text)
{
    m_console.message(text);
}

int FHWatch::run()
{
    if (::pipe2(s_wakeUp, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_console.error(QStringLiteral("cannot watch: %1").arg(FHSystem::errorText(errno)));
        return FHSortCommand::RunFailed;
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (const int number : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(number, &action, nullptr);
    begin();
    while (!s_stop) {
        if (s_reload.exchange(false))
            reload();
        qint64 waitMs = 1000;
        if (foldersReady()) {
            const qint64 now = steadyMs();
            const bool pollDue = m_polling && now - m_lastScanMs >= m_settings.pollMs;
            scan(m_dirty || pollDue || m_lastScanMs < 0);
            const QStringList settled = m_settle.settled();
            const bool burstOver = m_settle.pending().isEmpty()
                || steadyMs() - m_settle.firstSettledMs() >= m_settings.settleMs;
            if (!settled.isEmpty() && burstOver && steadyMs() >= m_notBeforeMs && !s_stop)
                runBatch();
            // While files settle they are looked at often; else the watch
            // sleeps until the kernel, the next poll or a signal wakes it.
            if (!m_settle.pending().isEmpty() || !m_settle.settled().isEmpty())
                waitMs = qBound<qint64>(50, m_settings.settleMs / 4, 1000);
            else if (m_polling)
                waitMs = qMax<qint64>(0, m_lastScanMs + m_settings.pollMs - steadyMs());
            else
                waitMs = 5000;
        }
        wait(waitMs);
    }
    say(QStringLiteral("Watch of '%1' ended.").arg(m_input.path));
    return FHSortCommand::Done;
}

void FHWatch::begin()
{
    const QDir here(QDir::currentPath());
    m_input = Folder { QDir::cleanPath(here.absoluteFilePath(m_settings.options.inputDir)) };
    m_output = Folder { QDir::cleanPath(here.absoluteFilePath(m_settings.options.outputDir)) };
    m_settle = FHSettle(m_settings.settleMs);
    m_firstScan = true;
    m_dirty = true;
    m_lastScanMs = -1;
    m_watched.clear();
    if (m_inotify >= 0)
        ::close(m_inotify);
    m_inotify = -1;
    const FHSystem::FileSystem fileSystem = FHSystem::fileSystemOf(m_input.path);
    m_polling = m_settings.alwaysPoll || fileSystem.remote;
    if (!m_polling) {
        m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        m_polling = m_inotify < 0;
    }
    const QString how = !m_polling
        ? QStringLiteral("told of changes by the kernel")
        : QStringLiteral("looking every %1 s%2")
              .arg(m_settings.pollMs / 1000.0)
              .arg(fileSystem.remote
                      ? QStringLiteral(", as changes on %1 may not be told").arg(fileSystem.type)
                      : QString());
    say(QStringLiteral("Watching '%1' (%2); files settle for %3 s before they go to '%4'.")
            .arg(m_input.path, how)
            .arg(m_settings.settleMs / 1000.0)
            .arg(m_output.path));
}

bool FHWatch::folderReady(Folder &folder, const char *role)
{
    const QFileInfo info(folder.path);
    const bool here = info.isDir() && (!folder.mountPoint || isMountPoint(folder.path));
    if (here && !folder.existed) {
        folder.existed = true;
        folder.mountPoint = isMountPoint(folder.path);
    }
    if (here && folder.gone) {
        folder.gone = false;
        say(QStringLiteral("The %1 folder '%2' is back.").arg(QLatin1String(role), folder.path));
        m_dirty = true;
        m_watched.clear();
    } else if (!here && folder.existed && !folder.gone) {
        folder.gone = true;
        m_console.error(QStringLiteral("The %1 folder '%2' is gone; waiting for it to come back.")
                            .arg(QLatin1String(role), folder.path));
    }
    return here || !folder.existed;
}

bool FHWatch::foldersReady()
{
    // The output may be made by the first batch; the input must be there.
    const bool output = folderReady(m_output, "output");
    if (!folderReady(m_input, "input"))
        return false;
    if (!m_input.existed) {
        if (!m_input.gone) {
            m_input.gone = true;
            m_console.error(QStringLiteral("The input folder '%1' does not exist; waiting for it.")
                                .arg(m_input.path));
        }
        return false;
    }
    return output;
}

void FHWatch::watchFolders()
{
    if (m_inotify < 0)
        return;
    QStringList folders { m_input.path };
    if (m_settings.options.recursive) {
        QDirIterator it(m_input.path, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
            QDirIterator::Subdirectories);
        while (it.hasNext())
            folders.append(it.next());
    }
    for (const QString &folder : qAsConst(folders)) {
        if (m_watched.contains(folder))
            continue;
        const uint32_t mask = IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_CLOSE_WRITE | IN_MODIFY
            | IN_ATTRIB | IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
        if (::inotify_add_watch(m_inotify, QFile::encodeName(folder).constData(), mask) >= 0)
            m_watched.insert(folder);
    }
}

void FHWatch::scan(bool full)
{
    const qint64 now = steadyMs();
    QStringList paths;
    if (full) {
        // Watches first, so that nothing written during the walk goes unseen.
        watchFolders();
        m_dirty = false;
        m_lastScanMs = now;
        const bool outputInside = m_output.path.startsWith(m_input.path + QLatin1Char('/'));
        const FHInputWalk walk(m_input.path, FHNameFilter(m_settings.options.nameFilters),
            m_settings.options.recursive, outputInside ? m_output.path : QString());
        for (const auto *files : { &walk.files(), &walk.sidecars() }) {
            for (const FHInputWalk::File &file : *files)
                paths.append(file.path());
        }
    } else {
        paths = m_settle.pending() + m_settle.settled();
    }
    const qint64 wallNs = QDateTime::currentMSecsSinceEpoch() * 1000000;
    QSet<QString> seen;
    QSet<QString> ripe; // settled, as far as size and time tell
    for (const QString &path : qAsConst(paths)) {
        struct stat status;
        if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        const FHSettle::Look look { qint64(status.st_size),
            qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec };
        const qint64 age = m_firstScan ? (wallNs - look.mtimeNs) / 1000000 : 0;
        seen.insert(path);
        if (m_settle.see(path, look, now, false, age) == FHSettle::Settled)
            ripe.insert(path);
    }
    if (full) {
        m_settle.keepOnly(seen);
        m_firstScan = false;
    }
    // Only the files that have stayed still are worth asking /proc about.
    const QSet<QString> writing = filesOpenForWriting(ripe);
    for (const QString &path : writing) {
        struct stat status;
        if (::stat(QFile::encodeName(path).constData(), &status) == 0)
            m_settle.see(path,
                { qint64(status.st_size),
                    qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec },
                now, true);
    }
}

bool FHWatch::runBatch()
{
    // The output's lock is taken by the run; while another run holds it, the
    // batch waits rather than fail.
    if (QFileInfo(m_output.path).isDir()) {
        FHOutputLock probe;
        if (!probe.tryLock(m_output.path)) {
            if (!m_waitingForLock)
                say(QStringLiteral("Another sort into '%1' is running (%2); the next batch "
                                   "waits for it.")
                        .arg(m_output.path, probe.holder()));
            m_waitingForLock = true;
            m_notBeforeMs = steadyMs() + 500;
            return false;
        }
    }
    const QStringList files = m_settle.settled();
    FHSortOptions options = m_settings.options;
    options.onlyFiles = QSet<QString>(files.cbegin(), files.cend());
    ++m_batch;
    const bool json = m_console.json();
    if (json)
        FHConsoleReporter::printEvent({ { QStringLiteral("event"), QStringLiteral("batch") },
            { QStringLiteral("state"), QStringLiteral("start") },
            { QStringLiteral("batch"), m_batch }, { QStringLiteral("files"), files.size() } });
    FHSortPlan plan;
    const FHSortEngine::Outcome outcome = m_sort(options, plan);
    m_settings.options.cameraMakers = plan.cameraMakers;
    if (plan.outputBusy) {
        // Another run took the lock between the look and the run.
        m_waitingForLock = true;
        m_notBeforeMs = steadyMs() + 500;
    } else {
        m_waitingForLock = false;
    }
    const FHPlanPrinter printer(FHPlanPrinter::Sort, m_input.path, m_output.path, m_console);
    if (json) {
        printer.printFiles(plan, false);
        printer.printLeftovers(plan, false);
        printer.printSummary(plan, FHCameraMakers::toText(plan.cameraMakers), false,
            outcome == FHSortEngine::Stopped);
    }
    static const char *const outcomes[] = { "completed", "stopped", "failed" };
    if (json)
        FHConsoleReporter::printEvent({ { QStringLiteral("event"), QStringLiteral("batch") },
            { QStringLiteral("state"), QStringLiteral("end") },
            { QStringLiteral("batch"), m_batch }, { QStringLiteral("run"), plan.runId },
            { QStringLiteral("outcome"), QLatin1String(outcomes[outcome]) },
            { QStringLiteral("moved"), qint64(plan.movedCount) },
            { QStringLiteral("left"),
                int(std::count_if(plan.entries.cbegin(), plan.entries.cend(),
                    [](const FHPlanEntry &e) { return !e.placed && !e.companion; })) } });
    else if (!plan.outputBusy)
        m_console.printLine(
            QStringLiteral("Batch %1%2: %3%4.")
                .arg(m_batch)
                .arg(plan.runId.isEmpty() ? QString() : QStringLiteral(" (run %1)").arg(plan.runId))
                .arg(batchText(plan))
                .arg(outcome == FHSortEngine::Failed
                        ? QStringLiteral("; it failed and is tried again later")
                        : QString()));
    // A file the batch took or left for a reason of its own is not taken
    // again until it changes; the rest (a failure ended the batch first, a
    // full disk) is tried again later.
    QSet<QString> listed;
    for (const FHPlanEntry &entry : qAsConst(plan.entries)) {
        listed.insert(entry.sourcePath());
        if (entry.placed
            || (entry.wasReached() && entry.reason != FHSkipReason::Stopped
                && entry.reason != FHSkipReason::Changed))
            m_settle.markDone(entry.sourcePath());
    }
    if (outcome == FHSortEngine::Failed && !plan.outputBusy)
        m_notBeforeMs = steadyMs() + qMax<qint64>(5000, m_settings.settleMs);
    // What the batch did not list (a kind not chosen that the walk left out,
    // say) waits for a change too.
    for (const QString &path : files) {
        if (!listed.contains(path) && outcome != FHSortEngine::Failed)
            m_settle.markDone(path);
    }
    m_dirty = true;
    return outcome != FHSortEngine::Failed;
}

void FHWatch::reload()
{
    Settings settings = m_settings;
    QString problem;
    if (!m_reload) {
        say(QStringLiteral("SIGHUP: there is no settings file to read again."));
        return;
    }
    if (!m_reload(settings, &problem)) {
        m_console.error(
            QStringLiteral("The settings were not read again: %1; the watch goes on as it was.")
                .arg(problem));
        return;
    }
    settings.options.cameraMakers = m_settings.options.cameraMakers;
    m_settings = settings;
    say(QStringLiteral("Settings read again."));
    begin();
}

void FHWatch::wait(qint64 ms)
{
    pollfd fds[2] = { { s_wakeUp[0], POLLIN, 0 }, { m_inotify, POLLIN, 0 } };
    const int count = m_inotify >= 0 ? 2 : 1;
    if (::poll(fds, nfds_t(count), int(qMin<qint64>(ms, 60000))) <= 0)
        return;
    char buffer[4096];
    while (::read(s_wakeUp[0], buffer, sizeof buffer) > 0) { }
    if (count == 2 && (fds[1].revents & POLLIN)) {
        while (::read(m_inotify, buffer, sizeof buffer) > 0) { }
        m_dirty = true;
    }
}
