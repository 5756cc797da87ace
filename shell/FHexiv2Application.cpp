#include "shell/FHexiv2Application.h"

#include "engine/FHCameraMakers.h"
#include "engine/FHException.h"
#include "engine/FHExif.h"
#include "engine/FHIO.h"
#include "engine/FHReporter.h"
#include "engine/FHSortEngine.h"

#include <QDebug>
#include <QDir>

namespace {

// The run that follows a plan says again what the plan would say of each file.
class PlanningReporter : public FHReporter
{
public:
    explicit PlanningReporter(std::unique_ptr<FHReporter> run)
        : m_run(std::move(run))
    {
    }
    void message(const QString &) override { }
    void error(const QString &text) override { m_run->error(text); }
    void exception(const FHException &e) override { m_run->exception(e); }

private:
    std::unique_ptr<FHReporter> m_run;
};

// Until the window's reports are set: the message handler's log.
class LogReporter : public FHReporter
{
public:
    void message(const QString &text) override { qInfo().noquote() << text; }
    void error(const QString &text) override { qCritical().noquote() << text; }
    void exception(const FHException &e) override
    {
        qCritical().noquote() << e.codeText() << e.message();
    }
};

} // namespace

FHexiv2Application::FHexiv2Application(int &argc, char **argv)
    : FHApplication(argc, argv)
    , m_fileGuard(std::make_unique<FHIO>(QDir::currentPath(), QStringLiteral("FHexiv2Application")))
    , m_lastPlan(std::make_unique<FHSortPlan>())
{
    muteExifLibraryWarnings();
}

FHexiv2Application::~FHexiv2Application() = default;

void FHexiv2Application::setReporters(ReporterFactory makeReporter)
{
    m_makeReporter = std::move(makeReporter);
}

std::unique_ptr<FHReporter> FHexiv2Application::makeReporter() const
{
    if (m_makeReporter)
        return m_makeReporter();
    return std::make_unique<LogReporter>();
}

FHIO *FHexiv2Application::fileGuard() const
{
    return m_fileGuard.get();
}

void FHexiv2Application::sortImages(const QString &inputDir, const QString &outputDir,
    const QStringList &nameFilters, const QString &namePattern, bool exifOnly, bool recursive,
    int subFolderMode, quint32 &movedCount, qint32 &notMovedCount, QString &cameraMakers)
{
    FHSortOptions options;
    options.inputDir = inputDir;
    options.outputDir = outputDir;
    options.nameFilters = nameFilters;
    options.namePattern = namePattern;
    options.exifOnly = exifOnly;
    options.recursive = recursive;
    options.folders = FHFolderModes::fromNumber(subFolderMode);
    options.cameraMakers = FHCameraMakers::fromText(cameraMakers);
    options.firstTag = movedCount;
    sort(options);
    movedCount += m_lastPlan->movedCount;
    notMovedCount += m_lastPlan->notMovedCount;
    cameraMakers = FHCameraMakers::toText(m_lastPlan->cameraMakers);
}

FHSortEngine::Outcome FHexiv2Application::sort(const FHSortOptions &options)
{
    const std::unique_ptr<FHReporter> reporter = makeReporter();
    FHSortEngine engine(m_fileGuard.get(), reporter.get());
    connect(&engine, &FHSortEngine::progress, this, &FHexiv2Application::getProgress);
    *m_lastPlan = FHSortPlan();
    m_engine = &engine;
    m_lastOutcome = engine.run(options, *m_lastPlan);
    m_engine = nullptr;
    return m_lastOutcome;
}

FHSortEngine::Outcome FHexiv2Application::planImages(FHSortOptions options, FHSortPlan &plan)
{
    options.dryRun = true;
    PlanningReporter reporter(makeReporter());
    FHSortEngine engine(m_fileGuard.get(), &reporter);
    connect(&engine, &FHSortEngine::progress, this, &FHexiv2Application::getProgress);
    plan = FHSortPlan();
    m_engine = &engine;
    const FHSortEngine::Outcome outcome = engine.run(options, plan);
    m_engine = nullptr;
    return outcome;
}

const FHSortPlan &FHexiv2Application::lastPlan() const
{
    return *m_lastPlan;
}

void FHexiv2Application::stopSorting()
{
    if (m_engine)
        m_engine->stop();
}

bool FHexiv2Application::readExif(Exiv2::ExifData &exifData, QString &cameraMakers, QDateTime &date)
{
    return ::readExif(exifData, cameraMakers, date);
}
