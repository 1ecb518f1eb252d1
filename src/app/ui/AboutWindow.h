#pragma once

#include "app/ReleaseAddresses.h"

#include <QDialog>

// About Velmora: the version, the licence (its text when installed), the
// helper tools found with their versions, and the web page and mail address.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    AboutWindow(const ReleaseAddresses& addresses, QWidget* parent);

    // The text shown in the window's main label (rich text; names escaped).
    static QString factsText(const ReleaseAddresses& addresses);
};
