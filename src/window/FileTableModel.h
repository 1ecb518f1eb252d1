#pragma once

#include "document/FileStatusChanges.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <mutex>

// The file table's data: a snapshot of a document's two maps. Rows are the set's
// files in file-name order, then, when there are recovery files, one separator
// row and the recovery files in file-name order. Only the set's own files can
// be selected. The snapshot is replaced or changed and read under one lock.
class FileTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { IconColumn = 0, FileColumn, StatusColumn, ColumnCount };
    // The name of the file-state image of a row (icon column only).
    static constexpr int IconNameRole = Qt::UserRole + 1;

    explicit FileTableModel(QObject* parent = nullptr);

    static QString columnIdentifier(int column);
    void setParType(int parType) { m_parType = parType; }

    void takeSnapshot(const FileStatusMap& fileStatus, const FileStatusMap& pxxFileStatus);
    // Records added, changed or gone since the last snapshot or changes. Rows
    // whose names stay only have their cells redrawn.
    void applyChanges(const DocumentFileChanges& changes);

    int numberOfRowsInTableView() const;
    int subjectCount() const;
    // -1 when there are no recovery files.
    int separatorRow() const;
    bool shouldSelectRow(int row) const;
    // The set's file shown in a row; empty for other rows.
    QString subjectFileAt(int row) const;
    // -1 when the name is not one of the set's files.
    int rowOfSubjectFile(const QString& name) const;
    // Rows of the set's files that are damaged or missing and not (yet) restorable.
    QList<int> getNotOKFiles() const;
    // The first of the set's files that is or was damaged or missing (a repaired one
    // counts); -1 when none is.
    int firstProblemRow() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // Beyond this many changed rows, the view is told of the range they span.
    static constexpr int kRowsRedrawnOneByOne = 64;

    static QStringList orderedNames(const FileStatusMap& files, const QStringList& previous);
    static QStringList mergedNames(const QStringList& ordered, QStringList added);
    static QStringList newNames(const FileStatusMap& changed, const FileStatusMap& shown);
    static int rowIn(const QStringList& names, const QString& name);
    static bool isProblem(const FileStatus& record);
    void redrawRow(int row);
    void redrawRows(QList<int> rows);
    QVariant objectValue(int column, int row, int role) const;
    QVariant subjectValue(const FileStatus& record, int column, int role) const;
    QVariant recoveryValue(const FileStatus& record, int column, int role) const;
    static QVariant iconValue(const QString& name);
    static QVariant removedForeground(const FileStatus& record);

    FileStatusMap fileStatusDict;
    QStringList fileStatusDictKeys;
    FileStatusMap pxxFileStatusDict;
    QStringList pxxFileStatusDictKeys;
    mutable std::recursive_mutex fileStatusDictLock;
    int m_parType = 2;
};
