#pragma once

#include <QString>
#include <functional>

class QPixmap;

// The frame of the programs that save pictures of windows for review
// (scripts/screenshot).
namespace ScreenshotTool {

// Lets the event loop run, so windows are laid out and painted.
void settle(int milliseconds);
// Saves the picture and prints its path; false, with a message, when it cannot.
bool save(const QPixmap& picture, const QString& path);
// Sets up a private test environment and the application, then calls shoot
// with the output folder (argv[1], made when missing). The exit status.
int run(int argc, char** argv, const std::function<bool(const QString& output)>& shoot);

} // namespace ScreenshotTool
