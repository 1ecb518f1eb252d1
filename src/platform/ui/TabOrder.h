#pragma once

#include <initializer_list>

class QWidget;

// The keyboard focus order of a dialog's controls.
class TabOrder {
public:
    // Tab moves through the widgets in this order.
    static void chain(std::initializer_list<QWidget*> widgets);
};
