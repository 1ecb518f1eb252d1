#pragma once

#include <QJsonObject>

class MyDocument;
class UnrarDocument;

// The machine-readable summary of a finished document that headless runs print.
// docs/json.md describes every field; a change that breaks a reader raises kSchema.
class DocumentJson {
public:
    static constexpr int kSchema = 1;

    static QJsonObject describe(MyDocument& document);
    // {"path", "type", "extraction"} of an archive opened on its own.
    static QJsonObject describeArchive(const UnrarDocument& archive);
    // Names beside the codes: "allIntact" for 5, "missing" for file status 4.
    static QString statusName(int32_t status);
    static QString fileStatusName(int32_t status);
    static QString statusText(MyDocument& document, int32_t status);
};
