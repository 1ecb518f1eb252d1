#pragma once

#include <QString>
#include <QStringList>

// How one extraction ended, for reports such as the headless JSON line.
struct UnrarResult {
    static constexpr int kNotEnded = -1;

    int outcome = kNotEnded;  // an UnrarOutcome once the extraction has ended
    QString outputPath;       // what a successful extraction produced
    QString errorText;        // why a failed extraction failed, as the user is told
    QStringList deletedFiles; // the volumes removed after success, by name
};
