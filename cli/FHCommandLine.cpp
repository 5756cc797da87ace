#include "cli/FHCommandLine.h"

#include "engine/FHCameraClock.h"
#include "engine/FHDateReader.h"
#include "engine/FHException.h"
#include "engine/FHFileTypes.h"
#include "engine/FHNaming.h"
#include "engine/FHSortOptions.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString familyHelp()
{
    QStringList families;
    for (const FHFileTypes::FamilyInfo &family : FHFileTypes::families())
        families << QStringLiteral("%1 (%2)").arg(
            QLatin1String(family.name), family.suffixes.join(QLatin1Char(' ')));
    return QStringLiteral("The kinds of files to sort, separated by commas, or all: %1. "
                          "Default: photo.")
        .arg(families.join(QStringLiteral(", ")));
}

// What the run would refuse the pattern for before moving anything, asked
// before the run so that it is a usage error; empty when it would take it.
QString patternProblem(const FHSortOptions &options)
{
    if (!options.namePattern.contains(QLatin1String("${NUM}"), Qt::CaseSensitive))
        return FHException(
            FHError::NumKeywordMissing, FHError::NumKeywordMissingFormat, options.namePattern)
            .message();
    // In the output as the run names it.
    const QString output = QDir::cleanPath(QFileInfo(options.outputDir).absoluteFilePath());
    const QString problem
        = namePatternProblem(options.namePattern, output, longestKeptSuffix(options.nameFilters));
    if (problem.isEmpty())
        return QString();
    return QStringLiteral("the naming pattern '%1' cannot be used: %2")
        .arg(options.namePattern, problem);
}

} // namespace

FHCommandLine::FHCommandLine()
    : m_help({ QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help."))
    , m_version(QStringLiteral("version"), QStringLiteral("Show the version."))
    , m_folders(QStringLiteral("folders"),
          QStringLiteral("Sub-folders of OUTPUT: none (default), month (yyyy-MM) or day "
                         "(yyyy-MM-dd)."),
          QStringLiteral("none|month|day"), QStringLiteral("none"))
    , m_pattern(QStringLiteral("pattern"),
          QStringLiteral("Names of the sorted files; must hold ${NUM}. Keywords: ${NUM}, "
                         "${YYYY}, ${mm}, ${DD}, ${HH}, ${MM}, ${SS}. Default: ${NUM}."),
          QStringLiteral("TEXT"), QStringLiteral("${NUM}"))
    , m_allImages(QStringLiteral("all-images"),
          QStringLiteral("Sort images without a camera date too, dated by their files."))
    , m_recursive({ QStringLiteral("r"), QStringLiteral("recursive") },
          QStringLiteral("Look into the sub-folders of INPUT too."))
    , m_types(
          QStringLiteral("types"), familyHelp(), QStringLiteral("LIST"), QStringLiteral("photo"))
    , m_copy(QStringLiteral("copy"),
          QStringLiteral("Keep the originals: copy the files, and change nothing in INPUT."))
    , m_verify(QStringLiteral("verify"),
          QStringLiteral("How a copy is checked before it counts: full (read back from the "
                         "disk and compared; the default) or none."),
          QStringLiteral("full|none"), QStringLiteral("full"))
    , m_duplicates(QStringLiteral("duplicates"),
          QStringLiteral("A file whose bytes the library (OUTPUT) holds already: skip (it stays "
                         "where it is; the default) or import (sorted like any other)."),
          QStringLiteral("skip|import"), QStringLiteral("skip"))
    , m_reimport(QStringLiteral("reimport"),
          QStringLiteral("Sort the photos deleted from the library since they were imported "
                         "too."))
    , m_shift(QStringLiteral("shift"),
          QStringLiteral("Set a camera's clock right: CAMERA is its name as --cameras prints "
                         "it, or a part of exactly one; the offset [+-][D.]HH:MM[:SS] is added "
                         "to each capture time of its files. Repeatable."),
          QStringLiteral("CAMERA=OFFSET"))
    , m_cameras(QStringLiteral("cameras"),
          QStringLiteral("List the cameras of INPUT: files, first and last capture time, "
                         "offset; nothing moves."))
    , m_jobs({ QStringLiteral("j"), QStringLiteral("jobs") },
          QStringLiteral("Read the files' dates on N threads (default: one per core, %1 "
                         "here). What is done, and in which order, is the same for any N.")
              .arg(FHDateReader::defaultJobs()),
          QStringLiteral("N"))
    , m_dryRun({ QStringLiteral("n"), QStringLiteral("dry-run") },
          QStringLiteral("Show what would be done; change nothing."))
    , m_json(QStringLiteral("json"),
          QStringLiteral("Write one JSON object per event to standard output."))
    , m_quiet(
          { QStringLiteral("q"), QStringLiteral("quiet") }, QStringLiteral("Print errors only."))
    , m_undo(QStringLiteral("undo"),
          QStringLiteral("Move the files of the last sort not yet undone (or of run ID) back "
                         "where they came from; with --dry-run, show what would go back."))
    , m_runs(QStringLiteral("runs"),
          QStringLiteral("List the runs on record: id, time, files, state, folders."))
    , m_watch(QStringLiteral("watch"),
          QStringLiteral("Sort what INPUT holds, then keep watching it and sort each file "
                         "that arrives once it has settled, until SIGTERM or Ctrl+C."))
    , m_poll(QStringLiteral("poll"),
          QStringLiteral("With --watch: look for new files every SECONDS (default 60), also "
                         "where the kernel would tell of them."),
          QStringLiteral("SECONDS"), QStringLiteral("60"))
    , m_settle(QStringLiteral("settle"),
          QStringLiteral("With --watch: take a file once its size and time have not changed "
                         "for SECONDS (default 10)."),
          QStringLiteral("SECONDS"), QStringLiteral("10"))
    , m_settings(QStringLiteral("settings"),
          QStringLiteral("Read INPUT, OUTPUT and OPTIONS from FILE (as a service does), and "
                         "again on SIGHUP."),
          QStringLiteral("FILE"))
{
    m_parser.setApplicationDescription(QStringLiteral(
        "Moves the photos of INPUT into OUTPUT in the order they were taken, renamed 001, "
        "002, ... or by a pattern, optionally into per-month or per-day folders."));
    m_parser.addOptions({ m_help, m_version, m_folders, m_pattern, m_allImages, m_recursive,
        m_types, m_copy, m_verify, m_duplicates, m_reimport, m_shift, m_cameras, m_jobs, m_dryRun,
        m_json, m_quiet, m_undo, m_runs });
#ifndef Q_OS_WIN
    // The watch is a Linux service (inotify, /proc, systemd's signals); the
    // Windows command has none.
    m_parser.addOptions({ m_watch, m_poll, m_settle, m_settings });
#endif
    m_parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The folder to sort."));
    m_parser.addPositionalArgument(
        QStringLiteral("OUTPUT"), QStringLiteral("Where the sorted files go; may be INPUT."));
}

bool FHCommandLine::parse(const QStringList &arguments)
{
    return m_parser.parse(arguments);
}

QString FHCommandLine::helpText() const
{
    QString text = m_parser.helpText();
    // The parser's usage line is the sort; the undo and the listing get theirs.
    const int end = text.indexOf(QLatin1Char('\n'));
    const QString program = text.left(end).section(QLatin1Char(' '), 1, 1);
    const QString indent(QStringLiteral("Usage: ").size(), QLatin1Char(' '));
    QString usage = QStringLiteral("%1%2 --undo [ID] [options]\n%1%2 --runs [--json]\n");
#ifndef Q_OS_WIN
    usage += QStringLiteral("%1%2 --watch [options] INPUT OUTPUT\n%1%2 --watch --settings FILE\n");
#endif
    text.insert(end + 1, usage.arg(indent, program));
    // Nor does it know an optional value: --undo's run id is named by hand, in
    // the room its column leaves.
    static const QRegularExpression undoName(
        QStringLiteral("^(  --undo) {5}"), QRegularExpression::MultilineOption);
    text.replace(undoName, QStringLiteral("\\1 [ID]"));
    return text
        + QStringLiteral("\nExit status:\n"
                         "  0  the run completed, also when files were left in place; a "
                         "watch ended by SIGTERM or SIGINT\n"
                         "  1  a failure ended the run (its code is in the message)\n"
                         "  2  usage error\n");
}

bool FHCommandLine::watchTimes(
    qint64 *settleMs, qint64 *pollMs, bool *alwaysPoll, QString *problem) const
{
    bool settleOk = false;
    bool pollOk = false;
    const double settle = m_parser.value(m_settle).toDouble(&settleOk);
    const double poll = m_parser.value(m_poll).toDouble(&pollOk);
    if (!settleOk || settle < 0 || settle > 86400) {
        *problem = QStringLiteral("--settle takes seconds, not '%1'").arg(m_parser.value(m_settle));
        return false;
    }
    if (!pollOk || poll < 0.1 || poll > 86400) {
        *problem = QStringLiteral("--poll takes seconds (at least 0.1), not '%1'")
                       .arg(m_parser.value(m_poll));
        return false;
    }
    *settleMs = qRound64(settle * 1000);
    *pollMs = qRound64(poll * 1000);
    *alwaysPoll = m_parser.isSet(m_poll);
    return true;
}

bool FHCommandLine::sortOptions(FHSortOptions &options, QString *problem) const
{
    const QStringList given = folders();
    if (given.size() != 2) {
        *problem = QStringLiteral("expected INPUT and OUTPUT, got %1 folder(s)").arg(given.size());
        return false;
    }
    options.inputDir = given.at(0);
    options.outputDir = given.at(1);
    if (!FHFolderModes::fromName(m_parser.value(m_folders), &options.folders)) {
        *problem = QStringLiteral("--folders takes none, month or day, not '%1'")
                       .arg(m_parser.value(m_folders));
        return false;
    }
    options.namePattern = m_parser.value(m_pattern);
    unsigned families = 0;
    if (!FHFileTypes::parseFamilies(m_parser.value(m_types), &families)) {
        *problem
            = QStringLiteral("--types takes families separated by commas (%1) or all, "
                             "not '%2'")
                  .arg(FHFileTypes::familyNames(FHFileTypes::AllFamilies), m_parser.value(m_types));
        return false;
    }
    options.nameFilters = FHFileTypes::nameFilters(families);
    const QString verify = m_parser.value(m_verify);
    const QString duplicates = m_parser.value(m_duplicates);
    if (verify != QLatin1String("full") && verify != QLatin1String("none")) {
        *problem = QStringLiteral("--verify takes full or none, not '%1'").arg(verify);
        return false;
    }
    if (duplicates != QLatin1String("skip") && duplicates != QLatin1String("import")) {
        *problem = QStringLiteral("--duplicates takes skip or import, not '%1'").arg(duplicates);
        return false;
    }
    options.copy = m_parser.isSet(m_copy);
    options.verify = verify == QLatin1String("full") ? FHVerify::Full : FHVerify::None;
    options.duplicates
        = duplicates == QLatin1String("skip") ? FHDuplicates::Skip : FHDuplicates::Import;
    options.reimport = m_parser.isSet(m_reimport);
    options.cameraShifts = m_parser.values(m_shift);
    for (const QString &shift : qAsConst(options.cameraShifts)) {
        qint64 seconds = 0;
        const int equals = shift.lastIndexOf(QLatin1Char('='));
        if (equals <= 0 || !FHCameraClock::parseShift(shift.mid(equals + 1), &seconds)) {
            *problem = QStringLiteral("--shift takes CAMERA=[+-][D.]HH:MM[:SS], e.g. "
                                      "\"EOS=+01:00\", not '%1'")
                           .arg(shift);
            return false;
        }
    }
    if (m_parser.isSet(m_jobs)) {
        bool ok = false;
        options.jobs = m_parser.value(m_jobs).toInt(&ok);
        if (!ok || options.jobs < 1 || options.jobs > 256) {
            *problem = QStringLiteral("--jobs takes a number of threads from 1 to 256, not '%1'")
                           .arg(m_parser.value(m_jobs));
            return false;
        }
    }
    options.exifOnly = !m_parser.isSet(m_allImages);
    options.recursive = m_parser.isSet(m_recursive);
    options.dryRun = m_parser.isSet(m_dryRun) || cameras();
    *problem = patternProblem(options);
    return problem->isEmpty();
}
