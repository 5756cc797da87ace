#ifndef FHCAMERAMODEL_H
#define FHCAMERAMODEL_H

#include "engine/FHSortPlan.h"

#include <QAbstractTableModel>
#include <QMap>
#include <QStringList>
#include <QVector>

// The cameras of a plan, one row each: how many files, the first and the last
// shot, and the offset its clock is set right by, which the user edits. Times
// are shown with the offset as it is edited, before the plan is made again.
class FHCameraModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Name,
        Files,
        First,
        Last,
        Offset, // editable: "+01:00", empty for none
        Proposal, // what the GPS times say, where they disagree with the clock
        ColumnCount
    };
    Q_ENUM(Column)

    explicit FHCameraModel(QObject *parent = nullptr);

    void setPlan(const FHSortPlan &plan);

    QString camera(int row) const { return m_cameras.at(row).name; }
    int rowOf(const QString &camera) const;
    qint64 offset(int row) const { return m_cameras.at(row).offset; }
    bool hasProposal(int row) const { return m_cameras.at(row).hasProposal; }
    qint64 proposal(int row) const { return m_cameras.at(row).proposal; }
    // Its shots as the camera's clock had them, in seconds of wall-clock time
    // since 1970 (the fields read as UTC), in order.
    const QVector<qint64> &cameraTimes(int row) const { return m_cameras.at(row).times; }
    // Whether every shot of the camera stays between 1970 and the end of next
    // year with the offset.
    bool fits(int row, qint64 seconds) const;
    // Sets the offset, when it fits; offsetChanged() follows a change.
    bool setOffset(int row, qint64 seconds);
    // "CAMERA=+01:00" for each camera with an offset, for the run's options.
    QStringList shiftTexts() const;

    // Wall-clock seconds as the table writes them: "2016-01-01 00:03:12".
    static QString timeText(qint64 wallSeconds);
    static qint64 wallSeconds(const QDateTime &wallClock);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void offsetChanged(const QString &camera, qint64 seconds);

private:
    struct Camera
    {
        QString name;
        QVector<qint64> times;
        qint64 offset = 0;
        bool hasProposal = false;
        qint64 proposal = 0;
    };
    QVector<Camera> m_cameras;
};

#endif // FHCAMERAMODEL_H
