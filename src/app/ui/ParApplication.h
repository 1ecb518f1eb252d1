#pragma once

#include <QApplication>

// The application object of a windowed run.
class ParApplication : public QApplication {
public:
    ParApplication(int& argc, char** argv);
};
