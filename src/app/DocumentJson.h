#pragma once

#include <QJsonObject>

class MyDocument;

// The machine-readable summary of a finished document that headless runs print.
class DocumentJson {
public:
    static QJsonObject describe(MyDocument& document);
    static QString statusText(MyDocument& document, int32_t status);
};
