#include "ui/FHCameraModel.h"

#include <QDate>
#include <QLocale>

#include <algorithm>

FHCameraModel::FHCameraModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

qint64 FHCameraModel::wallSeconds(const QDateTime &wallClock)
{
    return QDateTime(wallClock.date(), wallClock.time(), Qt::UTC).toSecsSinceEpoch();
}

QString FHCameraModel::timeText(qint64 wallSeconds)
{
    return QDateTime::fromSecsSinceEpoch(wallSeconds, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void FHCameraModel::setPlan(const FHSortPlan &plan)
{
    beginResetModel();
    m_cameras.clear();
    QMap<QString, int> rows;
    for (const FHPlanEntry &entry : plan.entries) {
        if (entry.camera.isEmpty() || !entry.captured.isValid() || entry.companion)
            continue;
        auto found = rows.constFind(entry.camera);
        if (found == rows.cend()) {
            Camera camera;
            camera.name = entry.camera;
            camera.offset = plan.shifts.value(entry.camera, entry.shift);
            camera.hasProposal = plan.proposedShifts.contains(entry.camera);
            camera.proposal = plan.proposedShifts.value(entry.camera);
            found = rows.insert(entry.camera, m_cameras.size());
            m_cameras << camera;
        }
        m_cameras[found.value()].times << wallSeconds(entry.cameraTime());
    }
    for (Camera &camera : m_cameras)
        std::sort(camera.times.begin(), camera.times.end());
    std::sort(m_cameras.begin(), m_cameras.end(),
        [](const Camera &a, const Camera &b) { return naturalCompare(a.name, b.name) < 0; });
    endResetModel();
}

int FHCameraModel::rowOf(const QString &camera) const
{
    for (int row = 0; row < m_cameras.size(); ++row) {
        if (m_cameras.at(row).name == camera)
            return row;
    }
    return -1;
}

bool FHCameraModel::fits(int row, qint64 seconds) const
{
    const QVector<qint64> &times = m_cameras.at(row).times;
    if (times.isEmpty())
        return true;
    const qint64 end = QDateTime(QDate(QDate::currentDate().year() + 2, 1, 1), QTime(0, 0), Qt::UTC)
                           .toSecsSinceEpoch();
    return times.first() + seconds >= 0 && times.last() + seconds < end;
}

bool FHCameraModel::setOffset(int row, qint64 seconds)
{
    if (row < 0 || row >= m_cameras.size() || qAbs(seconds) > FHCameraClock::MaxShiftSeconds
        || !fits(row, seconds))
        return false;
    Camera &camera = m_cameras[row];
    if (camera.offset == seconds)
        return true;
    camera.offset = seconds;
    emit dataChanged(index(row, First), index(row, Offset));
    emit offsetChanged(camera.name, seconds);
    return true;
}

QStringList FHCameraModel::shiftTexts() const
{
    QStringList texts;
    for (const Camera &camera : m_cameras) {
        if (camera.offset != 0)
            texts << camera.name + QLatin1Char('=') + FHCameraClock::shiftText(camera.offset);
    }
    return texts;
}

int FHCameraModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cameras.size();
}

int FHCameraModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FHCameraModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_cameras.size())
        return QVariant();
    const Camera &camera = m_cameras.at(index.row());
    if (role == Qt::TextAlignmentRole)
        return index.column() == Files ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role == Qt::ToolTipRole && index.column() == Offset)
        return tr("Added to every capture time of this camera: +01:00 for a clock an hour "
                  "behind, -2.03:30 for two days and three and a half hours ahead");
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    switch (index.column()) {
    case Name:
        return camera.name;
    case Files:
        return role == Qt::EditRole ? QVariant(camera.times.size())
                                    : QVariant(QLocale().toString(camera.times.size()));
    case First:
        return timeText(camera.times.first() + camera.offset);
    case Last:
        return timeText(camera.times.last() + camera.offset);
    case Offset:
        return camera.offset == 0 && role == Qt::EditRole ? QString()
                                                          : FHCameraClock::shiftText(camera.offset);
    case Proposal:
        return camera.hasProposal ? tr("GPS says %1").arg(FHCameraClock::shiftText(camera.proposal))
                                  : QString();
    }
    return QVariant();
}

bool FHCameraModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != Offset || role != Qt::EditRole)
        return false;
    const QString text = value.toString().trimmed();
    qint64 seconds = 0;
    if (!text.isEmpty() && !FHCameraClock::parseShift(text, &seconds))
        return false;
    return setOffset(index.row(), seconds);
}

Qt::ItemFlags FHCameraModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == Offset)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant FHCameraModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Name:
        return tr("Camera");
    case Files:
        return tr("Files");
    case First:
        return tr("First shot");
    case Last:
        return tr("Last shot");
    case Offset:
        return tr("Clock offset");
    case Proposal:
        return tr("GPS check");
    }
    return QVariant();
}
