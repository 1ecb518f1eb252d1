#pragma once

#include <QSpinBox>

class QLineEdit;

// A spin box for the whole numbers of the preferences and the save dialogs:
// arrows and the range keep a typed value within bounds, and the dialogs still
// read and check the digits as typed when they are confirmed.
class NumberField : public QSpinBox {
    Q_OBJECT

public:
    NumberField(int minimum, int maximum, QWidget* parent = nullptr);

    // Puts the text in as if typed, without reading it as a value yet.
    void setText(const QString& text);
    QString selectedText() const;
    QLineEdit* editor() const { return lineEdit(); }
};
