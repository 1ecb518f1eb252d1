#include "StatusLine.h"

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    showStatus(DocStatus::Idle, QString());
}

void StatusLine::showStatus(int32_t status, const QString& text) {
    const DocStatus::DisplayClass displayClass = DocStatus::displayClass(status);
    QFont font;
    font.setPointSizeF(kPointSize);
    font.setBold(displayClass != DocStatus::DisplayClass::Neutral);
    setFont(font);
    QPalette colours;
    if (const QColor colour = colourFor(displayClass); colour.isValid())
        colours.setColor(QPalette::WindowText, colour);
    setPalette(colours);
    setText(text);
}

QColor StatusLine::colourFor(DocStatus::DisplayClass displayClass) {
    switch (displayClass) {
    case DocStatus::DisplayClass::Success:
        return QColor::fromRgbF(0, 0.5f, 0);
    case DocStatus::DisplayClass::Failure:
        return QColor::fromRgbF(0.75f, 0, 0);
    case DocStatus::DisplayClass::Waiting:
        return QColor::fromRgbF(0.8f, 0.35f, 0.02f);
    case DocStatus::DisplayClass::Neutral:
        break;
    }
    return QColor();
}
