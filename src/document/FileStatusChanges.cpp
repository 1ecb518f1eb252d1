#include "FileStatusChanges.h"

// Both maps are ordered by name, so one walk through them finds every change.
FileStatusChanges FileStatusChanges::follow(FileStatusMap& told, const FileStatusMap& current) {
    FileStatusChanges changes;
    auto was = told.cbegin();
    auto now = current.cbegin();
    while (was != told.cend() || now != current.cend()) {
        if (now == current.cend() || (was != told.cend() && was.key() < now.key())) {
            changes.removed.append(was.key());
            ++was;
        } else if (was == told.cend() || now.key() < was.key()) {
            changes.changed.insert(changes.changed.cend(), detachedCopy(now.key()),
                                   detachedCopy(now.value()));
            ++now;
        } else {
            if (!(was.value() == now.value()))
                changes.changed.insert(changes.changed.cend(), was.key(),
                                       detachedCopy(now.value()));
            ++was;
            ++now;
        }
    }
    changes.applyTo(told);
    return changes;
}

FileStatusChanges FileStatusChanges::followFrom(FileStatusMap start, FileStatusMap& told,
                                                const FileStatusMap& current) {
    told = std::move(start);
    follow(told, current);
    FileStatusChanges changes;
    changes.changed = told;
    return changes;
}

void FileStatusChanges::applyTo(FileStatusMap& files) const {
    // The first delivery of a large set: all of it, shared rather than inserted one by one.
    if (files.isEmpty()) {
        files = changed;
        return;
    }
    for (const QString& name : removed)
        files.remove(name);
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        files.insert(it.key(), it.value());
}
