#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

// The per-user preference store: ~/.config/velmora/velmora.conf (XDG_CONFIG_HOME
// is honoured). Values are read at the moment of use and never cached, so a
// change made anywhere takes effect at the next read. Absent keys read as
// false / 0 / 0.0 / an empty string or list.
//
// Process overrides sit above the store for the life of the process only
// (headless runs, --set KEY=VALUE); they are never written to disk.
class Preferences {
public:
    static bool contains(const QString& key);
    static bool boolForKey(const QString& key);
    static int integerForKey(const QString& key);
    static double floatForKey(const QString& key);
    static QString stringForKey(const QString& key);
    static QList<QByteArray> dataArrayForKey(const QString& key);
    // Null when the key is absent.
    static QVariant valueForKey(const QString& key);

    static void setBool(const QString& key, bool value);
    static void setInteger(const QString& key, int value);
    static void setFloat(const QString& key, double value);
    static void setString(const QString& key, const QString& value);
    static void setDataArray(const QString& key, const QList<QByteArray>& value);
    static void remove(const QString& key);

    static void setProcessOverride(const QString& key, const QVariant& value);
    static void clearProcessOverrides();

    static QString storePath();

private:
    static void setValue(const QString& key, const QVariant& value);
    static bool holdsAlready(const QVariant& stored, const QVariant& value);
};
