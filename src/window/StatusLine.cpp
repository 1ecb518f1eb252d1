#include "StatusLine.h"

#include <QApplication>
#include <QEvent>

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    showStatus(DocStatus::Idle, QString());
}

void StatusLine::showStatus(int32_t status, const QString& text) {
    m_displayClass = DocStatus::displayClass(status);
    QFont font;
    font.setPointSizeF(kPointSize);
    font.setBold(m_displayClass != DocStatus::DisplayClass::Neutral);
    setFont(font);
    applyColour();
    setText(text);
}

void StatusLine::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange)
        applyColour();
}

void StatusLine::applyColour() {
    QPalette colours = QApplication::palette();
    if (const QColor colour = colourFor(m_displayClass, colours); colour.isValid())
        colours.setColor(QPalette::WindowText, colour);
    setPalette(colours);
}

// The dark green and red of a light theme become light ones on a dark
// background, with enough contrast to read either way.
QColor StatusLine::colourFor(DocStatus::DisplayClass displayClass, const QPalette& palette) {
    const bool dark = palette.color(QPalette::Window).lightnessF() < 0.5;
    switch (displayClass) {
    case DocStatus::DisplayClass::Success:
        return dark ? QColor::fromRgbF(0.45f, 0.85f, 0.45f) : QColor::fromRgbF(0, 0.5f, 0);
    case DocStatus::DisplayClass::Failure:
        return dark ? QColor::fromRgbF(1.0f, 0.45f, 0.42f) : QColor::fromRgbF(0.75f, 0, 0);
    case DocStatus::DisplayClass::Waiting:
        return dark ? QColor::fromRgbF(1.0f, 0.68f, 0.3f) : QColor::fromRgbF(0.8f, 0.35f, 0.02f);
    case DocStatus::DisplayClass::Neutral:
        break;
    }
    return QColor();
}
