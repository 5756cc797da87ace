#ifndef FHPLANPRINTER_H
#define FHPLANPRINTER_H

#include <QString>

class FHConsoleReporter;
struct FHSortPlan;

// What a run did, or a dry run would do, as the command prints it: one line
// per file for a dry run, one event per file with --json, then a summary.
class FHPlanPrinter
{
public:
    enum Kind
    {
        Sort,
        Undo, // files go back: "moved back", and the paths read from OUTPUT to INPUT
    };

    FHPlanPrinter(Kind kind, const QString &from, const QString &to, FHConsoleReporter &console);

    // from and to: the folders the lines' paths are relative to.
    void printFiles(const FHSortPlan &plan, bool dryRun) const;
    void printLeftovers(const FHSortPlan &plan, bool dryRun) const;
    void printSummary(
        const FHSortPlan &plan, const QString &makers, bool dryRun, bool stopped) const;

private:
    Kind m_kind;
    QString m_from;
    QString m_to;
    FHConsoleReporter &m_console;
};

#endif // FHPLANPRINTER_H
