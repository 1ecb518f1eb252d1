#pragma once

#include "document/StatusCodes.h"

#include <QColor>
#include <QLabel>

// The line under the file table that says how the set stands. Outcomes are
// bold green, failures bold red, waiting for a turn bold orange; everything
// else is plain text. The colours are tuned to the palette's background, so
// they stay readable in a dark theme as in a light one.
class StatusLine : public QLabel {
    Q_OBJECT

public:
    static constexpr double kPointSize = 11.0;

    explicit StatusLine(QWidget* parent = nullptr);

    void showStatus(int32_t status, const QString& text);
    DocStatus::DisplayClass displayClass() const { return m_displayClass; }
    // Invalid for the plain class: the palette's text colour.
    static QColor colourFor(DocStatus::DisplayClass displayClass, const QPalette& palette);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyColour();

    DocStatus::DisplayClass m_displayClass = DocStatus::DisplayClass::Neutral;
};
