#include "FileTableModel.h"

#include "app/FilenameSort.h"
#include "platform/StringTables.h"
#include "window/StatusTexts.h"
#include "window/WindowIcons.h"

#include <QSet>
#include <algorithm>

using Lock = std::lock_guard<std::recursive_mutex>;

FileTableModel::FileTableModel(QObject* parent) : QAbstractTableModel(parent) {}

QString FileTableModel::columnIdentifier(int column) {
    switch (column) {
    case IconColumn:
        return QStringLiteral("IconColumn");
    case FileColumn:
        return QStringLiteral("FileColumn");
    case StatusColumn:
        return QStringLiteral("StatusColumn");
    default:
        return QString();
    }
}

// A table that keeps its names only changes cell contents in place, so the
// view keeps its selection and scroll position.
void FileTableModel::takeSnapshot(const FileStatusMap& fileStatus,
                                  const FileStatusMap& pxxFileStatus) {
    Lock lock(fileStatusDictLock);
    QStringList keys = orderedNames(fileStatus, fileStatusDictKeys);
    QStringList pxxKeys = orderedNames(pxxFileStatus, pxxFileStatusDictKeys);
    const bool sameRows = keys == fileStatusDictKeys && pxxKeys == pxxFileStatusDictKeys;
    if (!sameRows)
        beginResetModel();
    fileStatusDict = fileStatus;
    pxxFileStatusDict = pxxFileStatus;
    fileStatusDictKeys = std::move(keys);
    pxxFileStatusDictKeys = std::move(pxxKeys);
    if (!sameRows)
        endResetModel();
    else if (numberOfRowsInTableView() > 0)
        emit dataChanged(index(0, 0), index(numberOfRowsInTableView() - 1, ColumnCount - 1));
}

// While a run reports files one by one, the new names are merged into the
// order already known instead of sorting every name again.
QStringList FileTableModel::orderedNames(const FileStatusMap& files, const QStringList& previous) {
    const bool keepsPrevious =
        std::all_of(previous.begin(), previous.end(),
                    [&](const QString& name) { return files.contains(name); });
    QStringList added;
    if (keepsPrevious) {
        const QSet<QString> known(previous.begin(), previous.end());
        for (auto it = files.keyBegin(); it != files.keyEnd() && added.size() <= kMergeLimit; ++it)
            if (!known.contains(*it))
                added.append(*it);
    }
    if (!keepsPrevious || added.size() > kMergeLimit) {
        QStringList names = files.keys();
        std::stable_sort(names.begin(), names.end(), FilenameLess());
        return names;
    }
    QStringList names = previous;
    for (const QString& name : added)
        names.insert(std::upper_bound(names.begin(), names.end(), name, FilenameLess()), name);
    return names;
}

int FileTableModel::numberOfRowsInTableView() const {
    Lock lock(fileStatusDictLock);
    const int recoveryCount = int(pxxFileStatusDictKeys.size());
    return subjectCount() + (recoveryCount == 0 ? 0 : recoveryCount + 1);
}

int FileTableModel::subjectCount() const {
    Lock lock(fileStatusDictLock);
    return int(fileStatusDictKeys.size());
}

int FileTableModel::separatorRow() const {
    Lock lock(fileStatusDictLock);
    return pxxFileStatusDictKeys.isEmpty() ? -1 : subjectCount();
}

bool FileTableModel::shouldSelectRow(int row) const {
    return row >= 0 && row < subjectCount();
}

QString FileTableModel::subjectFileAt(int row) const {
    Lock lock(fileStatusDictLock);
    return shouldSelectRow(row) ? fileStatusDictKeys[row] : QString();
}

int FileTableModel::rowOfSubjectFile(const QString& name) const {
    Lock lock(fileStatusDictLock);
    return int(fileStatusDictKeys.indexOf(name));
}

QList<int> FileTableModel::getNotOKFiles() const {
    Lock lock(fileStatusDictLock);
    QList<int> rows;
    for (int row = 0; row < fileStatusDictKeys.size(); ++row) {
        if (FileCode::isNotOK(fileStatusDict.value(fileStatusDictKeys[row]).fileStatus()))
            rows.append(row);
    }
    return rows;
}

int FileTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : numberOfRowsInTableView();
}

int FileTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileTableModel::data(const QModelIndex& index, int role) const {
    return index.isValid() ? objectValue(index.column(), index.row(), role) : QVariant();
}

// Rows past the snapshot (asked for while the view catches up) show nothing.
QVariant FileTableModel::objectValue(int column, int row, int role) const {
    Lock lock(fileStatusDictLock);
    const int subjects = subjectCount();
    if (row < 0 || row >= numberOfRowsInTableView())
        return QVariant();
    if (row < subjects)
        return subjectValue(fileStatusDict.value(fileStatusDictKeys[row]), column, role);
    if (row == subjects)
        return column == IconColumn ? okIconValue(role) : QVariant();
    const QString& name = pxxFileStatusDictKeys[row - subjects - 1];
    return recoveryValue(pxxFileStatusDict.value(name), column, role);
}

QVariant FileTableModel::subjectValue(const FileStatus& record, int column, int role) const {
    const bool textRole = role == Qt::DisplayRole || role == Qt::ToolTipRole;
    if (column == FileColumn && textRole)
        return record.filename();
    if (column == StatusColumn && textRole)
        return StatusTexts::FileStatusAsText(record);
    if (column == IconColumn && role == IconNameRole)
        return StatusTexts::FilestatusAsSymbol(record);
    if (column == IconColumn && role == Qt::DecorationRole)
        return WindowIcons::bundled(StatusTexts::FilestatusAsSymbol(record));
    return QVariant();
}

QVariant FileTableModel::recoveryValue(const FileStatus& record, int column, int role) const {
    const bool textRole = role == Qt::DisplayRole || role == Qt::ToolTipRole;
    if (column == FileColumn && textRole)
        return record.filename();
    if (column == StatusColumn && textRole)
        return StatusTexts::PxxFileStatusAsText(record, m_parType);
    return column == IconColumn ? okIconValue(role) : QVariant();
}

QVariant FileTableModel::okIconValue(int role) {
    if (role == IconNameRole)
        return StatusTexts::kFileOKIcon;
    if (role == Qt::DecorationRole)
        return WindowIcons::bundled(StatusTexts::kFileOKIcon);
    return QVariant();
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    if (section == FileColumn)
        return StringTables::localized(QStringLiteral("FileColumnTitle"));
    if (section == StatusColumn)
        return StringTables::localized(QStringLiteral("StatusColumnTitle"));
    return QString();
}

Qt::ItemFlags FileTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return shouldSelectRow(index.row()) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                                        : Qt::ItemIsEnabled;
}
