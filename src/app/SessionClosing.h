#pragma once

#include <QString>
#include <functional>
#include <memory>

class Document;
class MyDocument;
class PARDocumentController;

// What happens before sets close or the application quits: the questions
// (a new set never saved, work going on) and the stopping of that work.
// A waiting set is never dropped by a question the user cancelled. Main thread.
class SessionClosing {
public:
    enum class Decision { Keep, Close, StopThenClose };

    explicit SessionClosing(PARDocumentController& controller) : m_controller(controller) {}

    // For one set's window. Keep when the user cancelled or chose to save first
    // (the save panel is then open).
    static Decision askBeforeClosing(MyDocument& document);
    // Stops what the document is doing, then closes it once its run is over.
    static void stopThenClose(const std::shared_ptr<Document>& document);

    // Close All and Quit: one question for each new set never saved, one about
    // the sets that work or wait, then everything stops and closes. False when
    // the user cancelled; nothing has changed then.
    bool closeAll();
    // quitApplication runs once every document has closed.
    bool quit(std::function<void()> quitApplication);

    // "“holiday.par2”", or the untitled name.
    static QString displayName(const MyDocument& document);
    // Whether the document is a set being built whose files would be lost.
    static bool isUnsavedNewSet(const MyDocument& document);

private:
    enum class Ending { CloseAll, Quit };

    bool askAboutUnsavedSets();
    bool askAboutWork(Ending ending);
    void closeEverything();

    PARDocumentController& m_controller;
};
