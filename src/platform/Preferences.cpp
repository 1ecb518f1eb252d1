#include "Preferences.h"

#include <QHash>
#include <QSettings>
#include <QStandardPaths>
#include <mutex>

namespace {

std::mutex overridesMutex;
QHash<QString, QVariant>& overrides() {
    static QHash<QString, QVariant> values;
    return values;
}

// Reader threads of several documents read the store at the same time. Qt keeps
// its shared cache of the file apart with locks ThreadSanitizer cannot see, so
// the store is opened, used and closed under this one lock.
std::mutex storeMutex;

template <typename Use> auto withStore(Use use) {
    std::lock_guard guard(storeMutex);
    QSettings store(Preferences::storePath(), QSettings::IniFormat);
    return use(store);
}

} // namespace

QString Preferences::storePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/velmora/velmora.conf");
}

QVariant Preferences::valueForKey(const QString& key) {
    {
        std::lock_guard guard(overridesMutex);
        const auto found = overrides().constFind(key);
        if (found != overrides().constEnd())
            return *found;
    }
    return withStore([&](QSettings& store) { return store.value(key); });
}

bool Preferences::contains(const QString& key) {
    {
        std::lock_guard guard(overridesMutex);
        if (overrides().contains(key))
            return true;
    }
    return withStore([&](QSettings& store) { return store.contains(key); });
}

bool Preferences::boolForKey(const QString& key) {
    return valueForKey(key).toBool();
}

int Preferences::integerForKey(const QString& key) {
    // Stored booleans read as 1 / 0, as a typed getter would give them.
    const QVariant value = valueForKey(key);
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text == QLatin1String("true"))
            return 1;
        if (text == QLatin1String("false"))
            return 0;
    }
    return value.toInt();
}

double Preferences::floatForKey(const QString& key) {
    return valueForKey(key).toDouble();
}

QString Preferences::stringForKey(const QString& key) {
    return valueForKey(key).toString();
}

QList<QByteArray> Preferences::dataArrayForKey(const QString& key) {
    QList<QByteArray> blobs;
    const QVariant value = valueForKey(key);
    if (value.typeId() != QMetaType::QVariantList && value.typeId() != QMetaType::QStringList)
        return blobs;
    for (const QVariant& item : value.toList())
        blobs.append(item.toByteArray());
    return blobs;
}

// Writing syncs the file to disk, which can take tens of milliseconds on a
// busy disk; a value the store already holds is not written again. The file
// keeps plain values as text, so they are compared as the text they become.
void Preferences::setValue(const QString& key, const QVariant& value) {
    withStore([&](QSettings& store) {
        if (holdsAlready(store.value(key), value))
            return;
        store.setValue(key, value);
        store.sync();
    });
}

bool Preferences::holdsAlready(const QVariant& stored, const QVariant& value) {
    if (!stored.isValid())
        return false;
    if (stored == value)
        return true;
    const bool plain = value.typeId() == QMetaType::Bool || value.typeId() == QMetaType::Int ||
                       value.typeId() == QMetaType::Double || value.typeId() == QMetaType::QString;
    return plain && stored.typeId() == QMetaType::QString && stored.toString() == value.toString();
}

void Preferences::setBool(const QString& key, bool value) {
    setValue(key, value);
}
void Preferences::setInteger(const QString& key, int value) {
    setValue(key, value);
}
void Preferences::setFloat(const QString& key, double value) {
    setValue(key, value);
}
void Preferences::setString(const QString& key, const QString& value) {
    setValue(key, value);
}

void Preferences::setDataArray(const QString& key, const QList<QByteArray>& value) {
    QVariantList list;
    for (const QByteArray& blob : value)
        list.append(blob);
    setValue(key, list);
}

void Preferences::remove(const QString& key) {
    withStore([&](QSettings& store) {
        store.remove(key);
        store.sync();
    });
}

void Preferences::setProcessOverride(const QString& key, const QVariant& value) {
    std::lock_guard guard(overridesMutex);
    overrides().insert(key, value);
}

void Preferences::clearProcessOverrides() {
    std::lock_guard guard(overridesMutex);
    overrides().clear();
}
