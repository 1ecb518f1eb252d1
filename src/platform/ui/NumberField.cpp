#include "NumberField.h"

#include <QLineEdit>

NumberField::NumberField(int minimum, int maximum, QWidget* parent) : QSpinBox(parent) {
    setRange(minimum, maximum);
    setAlignment(Qt::AlignRight);
    setAccelerated(true);
}

void NumberField::setText(const QString& text) {
    lineEdit()->setText(text);
}

QString NumberField::selectedText() const {
    return lineEdit()->selectedText();
}
