#pragma once

#include <QApplication>

// The application object of a windowed run.
class ParApplication : public QApplication {
public:
    ParApplication(int& argc, char** argv);

private:
    // The installed icon theme's, else the one built in.
    static QIcon applicationIcon();
};
