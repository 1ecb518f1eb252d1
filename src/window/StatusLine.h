#pragma once

#include "document/StatusCodes.h"

#include <QColor>
#include <QLabel>

// The line under the file table that says how the set stands. Outcomes are
// bold green, failures bold red, waiting for a turn bold orange; everything
// else is plain text.
class StatusLine : public QLabel {
    Q_OBJECT

public:
    static constexpr double kPointSize = 11.0;

    explicit StatusLine(QWidget* parent = nullptr);

    void showStatus(int32_t status, const QString& text);
    // Invalid for the plain class: the standard text colour.
    static QColor colourFor(DocStatus::DisplayClass displayClass);
};
