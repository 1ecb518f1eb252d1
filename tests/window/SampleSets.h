#pragma once

#include <QString>

class PARDocumentController;
class ParWindowController;

// Recovery sets for the window to show, made in a given folder.
namespace SampleSets {

// A PAR 2 set made by par2 of six files, one of them then damaged and one
// deleted. The path of its main file; empty when par2 failed.
QString makeDamagedSet(const QString& folder);
// A PAR 2 file naming one file whose name holds the byte E9, which reads
// differently in different character sets. The path of the file.
QString makeSetWithLatin1Name(const QString& folder);

// Opens a PAR 2 file in a document window, with the helpers of the build
// tree; the window controller, or null when the file cannot be opened.
ParWindowController* openInWindow(PARDocumentController& documents, const QString& mainFile);
// Waits until the document's verify/repair run has ended and its readers are gone.
bool waitForRunEnd(ParWindowController& window, int timeoutMs = 60000);

} // namespace SampleSets
