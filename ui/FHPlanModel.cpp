#include "ui/FHPlanModel.h"

#include "engine/FHPaths.h"
#include "ui/FHThumbnailLoader.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The part of path below folder, or an empty text when it is not below it.
QString below(const QString &folder, const QString &path)
{
    const int length = folder.endsWith(QLatin1Char('/')) ? folder.size() : folder.size() + 1;
    if (path.size() <= length || !path.startsWith(folder)
        || path.at(length - 1) != QLatin1Char('/'))
        return QString();
    return path.mid(length);
}

QString targetName(const FHPlanEntry &entry)
{
    return entry.finalName.isEmpty() ? entry.temporaryName : entry.finalName;
}

int compareDates(const FHPlanEntry &a, const FHPlanEntry &b)
{
    if (a.captured.isValid() != b.captured.isValid())
        return a.captured.isValid() ? 1 : -1;
    if (a.captured.date() != b.captured.date())
        return a.captured.date() < b.captured.date() ? -1 : 1;
    if (a.captured.time() != b.captured.time())
        return a.captured.time() < b.captured.time() ? -1 : 1;
    return compareSubSeconds(a.subSecond, b.subSecond);
}

// As the command's JSON events write it.
QString capturedKey(const FHPlanEntry &entry)
{
    if (!entry.captured.isValid())
        return QString();
    // By hand: toString() would cost the filter of a large plan most of its time.
    const QDate date = entry.captured.date();
    const QTime time = entry.captured.time();
    QString text = QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d", date.year(), date.month(),
        date.day(), time.hour(), time.minute(), time.second());
    if (!entry.subSecond.isEmpty())
        text += QLatin1Char('.') + (entry.subSecond + QStringLiteral("00")).left(3);
    else if (const int ms = time.msec())
        text += QStringLiteral(".%1").arg(ms, 3, 10, QLatin1Char('0'));
    return text;
}

} // namespace

FHPlanModel::FHPlanModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

FHPlanModel::~FHPlanModel() = default;

void FHPlanModel::setPlan(FHSortPlan plan, const QString &input, const QString &output)
{
    beginResetModel();
    m_plan = std::move(plan);
    m_input = cleanAbsolute(input);
    m_output = cleanAbsolute(output);
    m_outputName = QFileInfo(m_output).fileName();
    if (m_outputName.isEmpty())
        m_outputName = m_output;
    m_thumbnailRows.clear();
    m_rows.clear();
    m_rows.reserve(m_plan.entries.size());
    m_rowOfEntry.fill(-1, m_plan.entries.size());
    for (int i = 0; i < m_plan.entries.size(); ++i) {
        const FHPlanEntry &entry = m_plan.entries.at(i);
        // Not reached because a failure ended the run: the command leaves it out too.
        if (!entry.wasReached())
            continue;
        m_rowOfEntry[i] = m_rows.size();
        m_rows.append(i);
    }
    endResetModel();
}

void FHPlanModel::setThumbnails(FHThumbnailLoader *loader)
{
    if (m_thumbnails)
        disconnect(m_thumbnails, nullptr, this, nullptr);
    m_thumbnails = loader;
    if (loader)
        connect(loader, &FHThumbnailLoader::ready, this, &FHPlanModel::thumbnailReady);
}

void FHPlanModel::thumbnailReady(const QString &path)
{
    const int row = m_thumbnailRows.value(path, -1);
    m_thumbnailRows.remove(path);
    if (row >= 0 && row < m_rows.size() && entryAt(row).sourcePath() == path)
        emit dataChanged(index(row, Thumbnail), index(row, Thumbnail), { Qt::DecorationRole });
}

int FHPlanModel::leadRow(int row) const
{
    const int group = entryAt(row).group;
    const int lead = group >= 0 ? m_rowOfEntry.value(group, -1) : -1;
    return lead >= 0 ? lead : row;
}

int FHPlanModel::compare(int a, int b, int column) const
{
    const FHPlanEntry &x = entryAt(a);
    const FHPlanEntry &y = entryAt(b);
    switch (column) {
    case Original:
        if (x.sourceFolder != y.sourceFolder)
            return naturalCompare(x.sourceFolder, y.sourceFolder);
        return naturalCompare(x.sourceName, y.sourceName);
    case Folder:
        return naturalCompare(
            x.placed ? x.targetFolder : QString(), y.placed ? y.targetFolder : QString());
    case Name:
        return naturalCompare(
            x.placed ? targetName(x) : QString(), y.placed ? targetName(y) : QString());
    case Captured:
        return compareDates(x, y);
    case DateFrom:
        return int(x.dateFrom) - int(y.dateFrom);
    case Camera:
        return naturalCompare(x.camera, y.camera);
    case Reason:
        return int(x.reason) - int(y.reason);
    }
    return 0;
}

QString FHPlanModel::originalText(const FHPlanEntry &entry) const
{
    if (entry.sourceFolder == m_input)
        return entry.sourceName;
    const QString folder = below(m_input, entry.sourceFolder);
    return FHPaths::shown(
        folder.isEmpty() ? entry.sourcePath() : folder + QLatin1Char('/') + entry.sourceName);
}

QString FHPlanModel::folderText(const QString &folder) const
{
    if (folder == m_output)
        return m_outputName;
    const QString relative = below(m_output, folder);
    return FHPaths::shown(relative.isEmpty() ? folder : relative);
}

QString FHPlanModel::text(int row, int column) const
{
    const FHPlanEntry &entry = entryAt(row);
    switch (column) {
    case Original:
        return originalText(entry);
    case Folder:
        return entry.placed ? folderText(entry.targetFolder) : QString();
    case Name:
        return entry.placed ? targetName(entry) : QString();
    case Captured: {
        // Sortable and the same in every language; ".000" only says nothing.
        QString shown = capturedKey(entry).replace(QLatin1Char('T'), QLatin1Char(' '));
        if (shown.endsWith(QLatin1String(".000")))
            shown.chop(4);
        return shown;
    }
    case DateFrom:
        return dateSourceText(entry.dateFrom);
    case Camera:
        return entry.camera;
    case Reason:
        return skipReasonLabel(m_plan, entry);
    }
    return QString();
}

QString FHPlanModel::dateSourceText(FHDateSource source)
{
    switch (source) {
    case FHDateSource::None:
        break;
    case FHDateSource::Exif:
        return tr("Camera (EXIF)");
    case FHDateSource::Container:
        return tr("Video container");
    case FHDateSource::Name:
        return tr("File name");
    case FHDateSource::File:
        return tr("File date");
    }
    return QString();
}

int FHPlanModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int FHPlanModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FHPlanModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const FHPlanEntry &entry = entryAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::DecorationRole: {
        if (index.column() != Thumbnail || !m_thumbnails)
            return QVariant();
        const QString path = entry.sourcePath();
        const QPixmap pixmap = m_thumbnails->thumbnail(path);
        if (pixmap.isNull())
            m_thumbnailRows.insert(path, index.row());
        return pixmap.isNull() ? QVariant() : QVariant(pixmap);
    }
    case Qt::TextAlignmentRole:
        return index.column() == Thumbnail ? QVariant(Qt::AlignCenter) : QVariant();
    case Qt::ToolTipRole:
        if (index.column() == Original) {
            const int lead = leadRow(index.row());
            if (lead == index.row())
                return FHPaths::shown(entry.sourcePath());
            return tr("%1\nMoves with %2 as one shot")
                .arg(FHPaths::shown(entry.sourcePath()), originalText(entryAt(lead)));
        }
        if (index.column() == Folder || index.column() == Name)
            return entry.placed ? FHPaths::shown(entry.targetPath()) : QVariant();
        if (index.column() == Captured && entry.shift != 0)
            return tr("The camera's clock said %1; its offset %2 is added")
                .arg(entry.cameraTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                    FHCameraClock::shiftText(entry.shift));
        return QVariant();
    case SourcePathRole:
        return entry.sourcePath();
    case TargetPathRole:
        return entry.placed ? entry.targetPath() : QString();
    case GroupRole:
        return entry.group >= 0 ? m_plan.entries.at(entry.group).sourcePath() : QString();
    case KeyRole:
        if (index.column() == Captured)
            return capturedKey(entry);
        if (index.column() == DateFrom)
            return dateSourceName(entry.dateFrom);
        if (index.column() == Reason)
            return skipReasonName(entry.reason);
        return text(index.row(), index.column());
    }
    return QVariant();
}

QVariant FHPlanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Original:
        return tr("Original name");
    case Folder:
        return tr("New folder");
    case Name:
        return tr("New name");
    case Captured:
        return tr("Taken");
    case DateFrom:
        return tr("Date from");
    case Camera:
        return tr("Camera");
    case Thumbnail:
        return tr("Picture");
    case Reason:
        return tr("Stays because");
    }
    return QVariant();
}

FHPlanFilterModel::FHPlanFilterModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

void FHPlanFilterModel::setPlanModel(FHPlanModel *model)
{
    m_model = model;
    setSourceModel(model);
}

void FHPlanFilterModel::setFilterText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    // The texts of the few reasons and date sources are matched once, not per row.
    m_reasonMatches.clear();
    for (int i = 0; i <= int(FHSkipReason::OriginalTaken); ++i)
        m_reasonMatches << skipReasonLabel(FHSkipReason(i)).contains(text, Qt::CaseInsensitive);
    m_sourceMatches.clear();
    for (int i = 0; i <= int(FHDateSource::File); ++i)
        m_sourceMatches
            << FHPlanModel::dateSourceText(FHDateSource(i)).contains(text, Qt::CaseInsensitive);
    // The rows a sorted view keeps are scattered: removing the others range by
    // range costs a view of 50,000 rows over a second, a new layout a moment.
    invalidate();
}

bool FHPlanFilterModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const int a = left.row();
    const int b = right.row();
    // A descending sort asks with the rows swapped: answer so that either way
    // ties keep the run's order and a shot keeps its primary first.
    const bool ascending = sortOrder() == Qt::AscendingOrder;
    const int leadA = m_model->leadRow(a);
    const int leadB = m_model->leadRow(b);
    if (leadA != leadB) {
        if (const int c = m_model->compare(leadA, leadB, left.column()))
            return c < 0;
        return ascending ? leadA < leadB : leadA > leadB;
    }
    return ascending ? a < b : a > b;
}

bool FHPlanFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    if (m_text.isEmpty())
        return true;
    const FHPlanEntry &entry = m_model->entryAt(sourceRow);
    if (m_reasonMatches.value(int(entry.reason)) || m_sourceMatches.value(int(entry.dateFrom)))
        return true;
    for (const int column : { FHPlanModel::Original, FHPlanModel::Folder, FHPlanModel::Name,
             FHPlanModel::Captured, FHPlanModel::Camera }) {
        if (m_model->text(sourceRow, column).contains(m_text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}
