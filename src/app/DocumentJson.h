#pragma once

#include <QJsonObject>

class MyDocument;
class UnrarDocument;

// The machine-readable summary of a finished document that headless runs print.
class DocumentJson {
public:
    static QJsonObject describe(MyDocument& document);
    // {"path", "type", "extraction"} of an archive opened on its own.
    static QJsonObject describeArchive(const UnrarDocument& archive);
    static QString statusText(MyDocument& document, int32_t status);
};
