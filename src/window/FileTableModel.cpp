#include "FileTableModel.h"

#include "platform/FileNames.h"
#include "platform/FilenameSort.h"
#include "platform/StringTables.h"
#include "window/StatusTexts.h"
#include "window/WindowIcons.h"

#include <QGuiApplication>
#include <QPalette>
#include <QSet>
#include <algorithm>
#include <iterator>

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

void FileTableModel::applyChanges(const DocumentFileChanges& changes) {
    Lock lock(fileStatusDictLock);
    if (!changes.files.removed.isEmpty() || !changes.pxxFiles.removed.isEmpty()) {
        FileStatusMap files = fileStatusDict;
        FileStatusMap pxxFiles = pxxFileStatusDict;
        changes.files.applyTo(files);
        changes.pxxFiles.applyTo(pxxFiles);
        takeSnapshot(files, pxxFiles);
        return;
    }
    QStringList added = newNames(changes.files.changed, fileStatusDict);
    QStringList pxxAdded = newNames(changes.pxxFiles.changed, pxxFileStatusDict);
    if (!added.isEmpty() || !pxxAdded.isEmpty()) {
        beginResetModel();
        changes.files.applyTo(fileStatusDict);
        changes.pxxFiles.applyTo(pxxFileStatusDict);
        fileStatusDictKeys = mergedNames(fileStatusDictKeys, std::move(added));
        pxxFileStatusDictKeys = mergedNames(pxxFileStatusDictKeys, std::move(pxxAdded));
        endResetModel();
        return;
    }
    changes.files.applyTo(fileStatusDict);
    changes.pxxFiles.applyTo(pxxFileStatusDict);
    QList<int> rows;
    for (const QString& name : changes.files.changed.keys())
        rows.append(rowIn(fileStatusDictKeys, name));
    for (const QString& name : changes.pxxFiles.changed.keys())
        rows.append(subjectCount() + 1 + rowIn(pxxFileStatusDictKeys, name));
    redrawRows(rows);
}

// A delivery may change thousands of rows; the view takes one notice for them
// all rather than one each.
void FileTableModel::redrawRows(QList<int> rows) {
    rows.removeIf([](int row) { return row < 0; });
    if (rows.isEmpty())
        return;
    if (rows.size() <= kRowsRedrawnOneByOne) {
        for (int row : rows)
            redrawRow(row);
        return;
    }
    const auto [first, last] = std::minmax_element(rows.begin(), rows.end());
    emit dataChanged(index(*first, 0), index(*last, ColumnCount - 1));
}

QStringList FileTableModel::newNames(const FileStatusMap& changed, const FileStatusMap& shown) {
    if (shown.isEmpty())
        return changed.keys();
    QStringList names;
    for (auto it = changed.keyBegin(); it != changed.keyEnd(); ++it)
        if (!shown.contains(*it))
            names.append(*it);
    return names;
}

void FileTableModel::redrawRow(int row) {
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

// Names are kept in file-name order; should that order not hold for some odd
// names, the name is looked for one by one.
int FileTableModel::rowIn(const QStringList& names, const QString& name) {
    const auto found = std::lower_bound(names.begin(), names.end(), name, FilenameLess());
    if (found != names.end() && *found == name)
        return int(found - names.begin());
    return int(names.indexOf(name));
}

// While a run reports files, the new names are merged into the order already
// known instead of sorting every name again.
QStringList FileTableModel::orderedNames(const FileStatusMap& files, const QStringList& previous) {
    const bool keepsPrevious =
        std::all_of(previous.begin(), previous.end(),
                    [&](const QString& name) { return files.contains(name); });
    if (!keepsPrevious)
        return mergedNames({}, files.keys());
    const QSet<QString> known(previous.begin(), previous.end());
    QStringList added;
    for (auto it = files.keyBegin(); it != files.keyEnd(); ++it)
        if (!known.contains(*it))
            added.append(*it);
    return mergedNames(previous, std::move(added));
}

QStringList FileTableModel::mergedNames(const QStringList& ordered, QStringList added) {
    if (added.isEmpty())
        return ordered;
    // Names that come in map order are mostly in file-name order already.
    if (!std::is_sorted(added.begin(), added.end(), FilenameLess()))
        std::stable_sort(added.begin(), added.end(), FilenameLess());
    if (ordered.isEmpty())
        return added;
    QStringList names;
    names.reserve(ordered.size() + added.size());
    std::merge(ordered.begin(), ordered.end(), added.begin(), added.end(),
               std::back_inserter(names), FilenameLess());
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
    return rowIn(fileStatusDictKeys, name);
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

bool FileTableModel::isProblem(const FileStatus& record) {
    switch (record.fileStatus()) {
    case FileCode::Damaged:
    case FileCode::Missing:
    case FileCode::MissingRecoverable:
    case FileCode::MissingUnrecoverable:
    case FileCode::DamagedRecoverable:
    case FileCode::DamagedUnrecoverable:
    case FileCode::Repaired:
        return true;
    default:
        return false;
    }
}

// Asked after every delivery a run makes, so it walks the records once without
// looking each row's name up, then the rows until the first problem.
int FileTableModel::firstProblemRow() const {
    Lock lock(fileStatusDictLock);
    QSet<QString> problems;
    for (auto it = fileStatusDict.cbegin(); it != fileStatusDict.cend(); ++it)
        if (isProblem(it.value()))
            problems.insert(it.key());
    if (problems.isEmpty())
        return -1;
    for (int row = 0; row < fileStatusDictKeys.size(); ++row)
        if (problems.contains(fileStatusDictKeys[row]))
            return row;
    return -1;
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
        return QVariant();
    const QString& name = pxxFileStatusDictKeys[row - subjects - 1];
    return recoveryValue(pxxFileStatusDict.value(name), column, role);
}

// A file that left the folder is drawn in the palette's disabled text colour.
QVariant FileTableModel::removedForeground(const FileStatus& record) {
    if (record.removal() == FileStatus::Removal::None)
        return QVariant();
    return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
}

QVariant FileTableModel::subjectValue(const FileStatus& record, int column, int role) const {
    if (role == Qt::ForegroundRole)
        return removedForeground(record);
    const bool textRole = role == Qt::DisplayRole || role == Qt::ToolTipRole;
    if (column == FileColumn && textRole)
        return FileNames::displayName(record.filename());
    if (column == StatusColumn && textRole)
        return StatusTexts::FileStatusAsText(record);
    if (column == IconColumn && role == IconNameRole)
        return StatusTexts::FilestatusAsSymbol(record);
    if (column == IconColumn && role == Qt::DecorationRole)
        return iconValue(StatusTexts::FilestatusAsSymbol(record));
    return QVariant();
}

QVariant FileTableModel::iconValue(const QString& name) {
    return name.isEmpty() ? QVariant() : QVariant(WindowIcons::bundled(name));
}

QVariant FileTableModel::recoveryValue(const FileStatus& record, int column, int role) const {
    if (role == Qt::ForegroundRole)
        return removedForeground(record);
    const bool textRole = role == Qt::DisplayRole || role == Qt::ToolTipRole;
    if (column == FileColumn && textRole)
        return record.filename();
    if (column == StatusColumn && textRole)
        return StatusTexts::PxxFileStatusAsText(record, m_parType);
    // A damaged copy is not OK, and a file that is gone is nothing.
    if (column != IconColumn || record.removal() != FileStatus::Removal::None ||
        record.isDamagedCopy())
        return QVariant();
    if (role == IconNameRole)
        return StatusTexts::kFileOKIcon;
    if (role == Qt::DecorationRole)
        return iconValue(StatusTexts::kFileOKIcon);
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
