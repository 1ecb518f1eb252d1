#pragma once

#include "VLMUnrarLibGlueDelegate.h"
#include "document/VLMError.h"
#include "platform/MainThread.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class SerialQueue;
struct RARHeaderDataEx;

// Extracts one RAR archive (single or multi-volume, optionally encrypted) through
// the UnRAR library, on a serial queue of its own. Each run lists the archive,
// places the output (a folder of its own for several top-level items, a question
// about existing output) and extracts. Events and questions go to the delegate on
// the main thread; questions are asked while the queue waits.
//
// Created through initWithRarFile as a shared object: a run keeps the glue alive
// until its end event has been delivered, and the queue's last reference is
// released on the main thread, so the queue is never destroyed by its own thread.
//
// Threads: construct, start, stop, set the delegate and read the properties on
// the main thread. Properties that a run changes (outputDirURL, topLevelItems,
// totals, currentFile, missingVolumePath) are read while the glue is idle or from
// within a delegate call.
class VLMUnrarLibGlue : public std::enable_shared_from_this<VLMUnrarLibGlue> {
public:
    // User-info key of the path that an error is about.
    static inline const QString kFilePathInErrorKey = QStringLiteral("VLMUnrarFilePathInErrorKey");
    // Codes of VLMError::kUnrarLibGlueDomain.
    static constexpr int kExistingOutputNotReplaceable = 1;
    static constexpr int kExistingOutputNotRemoved = 2;
    static constexpr int kExistingOutputNotMoved = 3;
    // The progress value when the archive's entries unpack to 0 bytes.
    static constexpr double kNoFraction = -1.0;

    // A null outputDir means the archive's own folder.
    static std::shared_ptr<VLMUnrarLibGlue> initWithRarFile(const QUrl& rarFile,
                                                            const QUrl& outputDir = QUrl());
    ~VLMUnrarLibGlue();
    VLMUnrarLibGlue(const VLMUnrarLibGlue&) = delete;
    VLMUnrarLibGlue& operator=(const VLMUnrarLibGlue&) = delete;

    VLMUnrarLibGlueDelegate* delegate() const { return m_delegate; }
    void setDelegate(VLMUnrarLibGlueDelegate* delegate) { m_delegate = delegate; }

    // Starts a run and returns at once; does nothing while a run is active.
    void startUnrar();
    // Asks the running extraction to stop; the end event follows with outcome 1.
    void stopUnrarAsync();
    // As stopUnrarAsync, then waits for the run to end. Never call it on the main
    // thread while a question to the delegate may be pending.
    void stopUnrar();

    bool unrarIsRunning() const { return m_unrarIsRunning; }
    bool unrarCanceled() const { return m_unrarCanceled; }
    QUrl rarFileURL() const { return m_rarFileURL; }
    QUrl outputDirURL() const { return m_outputDirURL; }
    QString currentFile() const { return m_currentFile; }
    qint64 totalUnpackedByteCountInArchive() const { return m_totalUnpackedByteCountInArchive; }
    QSet<QString> topLevelItems() const { return m_topLevelItems; }
    qint64 unpackedByteCountSoFar() const { return m_unpackedByteCountSoFar; }
    QString missingVolumePath() const { return m_missingVolumePath; }
    // The volumes the library opened while extracting, the first one first: the
    // archive's own volumes, whatever else the folder holds.
    QStringList openedVolumes() const { return m_openedVolumes; }

    // What the extraction produced: the one top-level item, or the output folder.
    QUrl effectiveOutputItem() const;
    // The folder name for an archive with several top-level items (film.part01.rar
    // gives film).
    QString nameForIntermediateDir() const;
    // Whether an existing item may be removed or moved aside: a regular file that is
    // not one of the archive's volumes, or a folder that neither holds the archive
    // nor is (or holds) a protected folder.
    bool isAcceptableExistingOutput(const QUrl& existingItem) const;

private:
    VLMUnrarLibGlue(const QUrl& rarFile, const QUrl& outputDir);

    static int unrarCallback(unsigned int message, long userData, long p1, long p2);

    void runUnrar();
    bool analyzeArchiveAndReportError(VLMError* error);
    bool unrarArchiveAndReportError(VLMError* error);
    int extractEntry(void* archive, const RARHeaderDataEx& header, std::wstring& destination);
    void* openRarArchiveInMode(unsigned int mode, VLMError* error);
    bool dealWithExistingOutputAndReportError(VLMError* error);
    bool removeExistingOutput(const QString& path, VLMError* error);
    bool moveExistingOutputAside(const QString& path, VLMError* error);
    void setupError(VLMError* error, int code) const;
    void finishRun(const VLMError& error, bool declined);

    void startedNextVolume(const QString& volumePath);
    void didUnpackByteCount(qint64 byteCount);
    std::optional<QString> obtainPasswordForCurrentFile();
    int changeVolume(const wchar_t* volumeName, long mode);
    int supplyPassword(wchar_t* buffer, long size);

    template <typename Event> void postToDelegate(Event event);
    template <typename Answer, typename Question> Answer askDelegate(Answer fallback, Question ask);

    std::mutex m_lock;
    std::atomic<bool> m_unrarCanceled = false;
    std::atomic<bool> m_unrarIsRunning = false;
    VLMUnrarLibGlueDelegate* m_delegate = nullptr;
    QUrl m_rarFileURL;
    QUrl m_chosenOutputDirURL;
    QUrl m_outputDirURL;
    QString m_currentFile;
    qint64 m_totalUnpackedByteCountInArchive = 0;
    QSet<QString> m_topLevelItems;
    qint64 m_unpackedByteCountSoFar = 0;
    QHash<QString, QString> m_pwDict;
    QString m_missingVolumePath;
    QStringList m_openedVolumes;
    std::unique_ptr<SerialQueue> m_unrarQueue;
};

// Asks on the main thread while the calling queue waits; without a delegate the
// fallback is the answer.
template <typename Answer, typename Question>
Answer VLMUnrarLibGlue::askDelegate(Answer fallback, Question ask) {
    Answer answer = fallback;
    MainThread::runSync([&] {
        if (m_delegate != nullptr)
            answer = ask(m_delegate);
    });
    return answer;
}
