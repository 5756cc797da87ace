#ifndef FHPLANMODEL_H
#define FHPLANMODEL_H

#include "engine/FHSortPlan.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSortFilterProxyModel>
#include <QVector>

class FHThumbnailLoader;

// The files of a plan as the preview lists them: one row per file the run
// moves or leaves, in the order of the run, as the command's dry run prints
// them. Texts are made only when a view asks for them, so that a plan of
// 100,000 files opens at once.
class FHPlanModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Original, // the path relative to the input
        Folder,
        Name,
        Captured,
        DateFrom,
        Camera,
        Thumbnail, // the picture alone, shown first
        Reason, // why the file stays; empty when it moves
        ColumnCount
    };
    Q_ENUM(Column)

    enum Role
    {
        SourcePathRole = Qt::UserRole + 1, // absolute
        TargetPathRole, // absolute; empty when the file stays
        GroupRole, // the source path of the shot's primary, or empty
        KeyRole, // the column's value as the command spells it ("exif", "no-capture-date")
    };

    explicit FHPlanModel(QObject *parent = nullptr);
    ~FHPlanModel() override;

    // input and output as the run's options give them.
    void setPlan(FHSortPlan plan, const QString &input, const QString &output);
    const FHSortPlan &plan() const { return m_plan; }
    // Where the thumbnails come from; none are shown without.
    void setThumbnails(FHThumbnailLoader *loader);
    const QString &input() const { return m_input; }
    const QString &output() const { return m_output; }

    const FHPlanEntry &entryAt(int row) const { return m_plan.entries.at(m_rows.at(row)); }
    // The row of the first file of the row's shot (the row itself for a file
    // on its own).
    int leadRow(int row) const;
    // Negative, zero or positive as the first row sorts before, with or after
    // the second by the column.
    int compare(int a, int b, int column) const;
    QString text(int row, int column) const;

    // A target folder as the table names it: relative to the output, or the
    // output's own name for itself.
    QString folderText(const QString &folder) const;
    static QString dateSourceText(FHDateSource source);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString originalText(const FHPlanEntry &entry) const;
    void thumbnailReady(const QString &path);

    FHSortPlan m_plan;
    QString m_input; // absolute and clean, as the plan's folders
    QString m_output;
    QString m_outputName;
    QVector<int> m_rows; // plan index of each row
    QVector<int> m_rowOfEntry; // row of each plan index, or -1
    FHThumbnailLoader *m_thumbnails = nullptr;
    // The rows whose thumbnails a view asked for, by source path.
    mutable QHash<QString, int> m_thumbnailRows;
};

// Sorts by any column and filters by a text (in any of a row's texts, ignoring
// case) without ever parting the files of a shot: each row sorts by its shot's
// primary, and within a shot the primary stays first whatever the order.
class FHPlanFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit FHPlanFilterModel(QObject *parent = nullptr);

    void setPlanModel(FHPlanModel *model);
    void setFilterText(const QString &text);

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    FHPlanModel *m_model = nullptr;
    QString m_text;
    QVector<bool> m_reasonMatches; // by FHSkipReason
    QVector<bool> m_sourceMatches; // by FHDateSource
};

#endif // FHPLANMODEL_H
