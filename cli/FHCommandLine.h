#ifndef FHCOMMANDLINE_H
#define FHCOMMANDLINE_H

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

struct FHSortOptions;

// quilm-sort's options, their help, and what they make of a sort's options.
class FHCommandLine
{
public:
    FHCommandLine();

    // False with errorText() on an unknown option or a missing value.
    bool parse(const QStringList &arguments);
    QString errorText() const { return m_parser.errorText(); }
    QString helpText() const;

    bool help() const { return m_parser.isSet(m_help); }
    bool version() const { return m_parser.isSet(m_version); }
    bool runs() const { return m_parser.isSet(m_runs); }
    bool undo() const { return m_parser.isSet(m_undo); }
    bool dryRun() const { return m_parser.isSet(m_dryRun); }
    bool json() const { return m_parser.isSet(m_json); }
    bool quiet() const { return m_parser.isSet(m_quiet); }
    bool cameras() const { return m_parser.isSet(m_cameras); }
    QStringList folders() const { return m_parser.positionalArguments(); }

    // The sort the options ask for, with INPUT and OUTPUT; false with the
    // usage problem when they ask for none that can run.
    bool sortOptions(FHSortOptions &options, QString *problem) const;

    // --watch, its times and the service's settings file.
#ifdef Q_OS_WIN
    bool watch() const
    {
        return false;
    }
    QString settingsFile() const
    {
        return QString();
    }
#else
    bool watch() const
    {
        return m_parser.isSet(m_watch);
    }
    QString settingsFile() const
    {
        return m_parser.value(m_settings);
    }
#endif
    bool watchTimes(qint64 *settleMs, qint64 *pollMs, bool *alwaysPoll, QString *problem) const;

private:
    QCommandLineParser m_parser;
    const QCommandLineOption m_help;
    const QCommandLineOption m_version;
    const QCommandLineOption m_folders;
    const QCommandLineOption m_pattern;
    const QCommandLineOption m_allImages;
    const QCommandLineOption m_recursive;
    const QCommandLineOption m_types;
    const QCommandLineOption m_copy;
    const QCommandLineOption m_verify;
    const QCommandLineOption m_duplicates;
    const QCommandLineOption m_reimport;
    const QCommandLineOption m_shift;
    const QCommandLineOption m_cameras;
    const QCommandLineOption m_jobs;
    const QCommandLineOption m_dryRun;
    const QCommandLineOption m_json;
    const QCommandLineOption m_quiet;
    const QCommandLineOption m_undo;
    const QCommandLineOption m_runs;
    const QCommandLineOption m_watch;
    const QCommandLineOption m_poll;
    const QCommandLineOption m_settle;
    const QCommandLineOption m_settings;
};

#endif // FHCOMMANDLINE_H
