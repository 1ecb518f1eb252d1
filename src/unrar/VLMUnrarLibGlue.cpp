#include "VLMUnrarLibGlue.h"

#include "RarEntryName.h"
#include "platform/MainThread.h"
#include "platform/SerialQueue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cwchar>
#include <future>
#include <limits>
#include <locale.h>

#define _UNIX
#include <unrar/dll.hpp>
#undef _UNIX

static_assert(sizeof(wchar_t) == 4, "the UnRAR library's wide strings are UTF-32 here");

namespace {

// Qt names files in UTF-8 whatever the locale says; the library converts its wide
// names with the C library's multibyte functions. Giving the queue's thread a
// UTF-8 character type makes both agree, without touching the process locale.
void useUtf8FileNamesOnThisThread() {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    if (utf8 != locale_t(nullptr))
        uselocale(utf8);
}

std::optional<QString> entryName(const RARHeaderDataEx& header) {
    if (header.FileName[0] != '\0') {
        QStringDecoder decoder(QStringDecoder::Utf8);
        QString name = decoder.decode(QByteArrayView(header.FileName));
        if (decoder.hasError())
            return std::nullopt;
        return name;
    }
    if (header.FileNameW[0] != L'\0')
        return QString::fromWCharArray(header.FileNameW);
    return std::nullopt;
}

// Declared sizes are the archive's word only: a crafted one may claim 2^64 - 1
// bytes per entry, so the sum stops at the largest count.
qint64 addUnpackedSize(qint64 total, const RARHeaderDataEx& header) {
    const quint64 size = (quint64(header.UnpSizeHigh) << 32) | header.UnpSize;
    const quint64 room = quint64(std::numeric_limits<qint64>::max() - total);
    return size >= room ? std::numeric_limits<qint64>::max() : total + qint64(size);
}

// A file written under this name in its final folder, renamed when complete,
// so that a run that dies midway leaves no truncated file under the real name.
QString unusedPartialPath(const QString& folder) {
    for (;;) {
        const QString path = QStringLiteral("%1/.velmora-extracting-%2.part")
                                 .arg(folder)
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
        if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink())
            return path;
    }
}

bool isInside(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

// The real path of the nearest existing folder on the way to `path`.
QString nearestExistingFolder(const QString& path) {
    for (QString folder = QFileInfo(path).path();; folder = QFileInfo(folder).path()) {
        const QString real = QFileInfo(folder).canonicalFilePath();
        if (!real.isEmpty())
            return real;
        if (folder == QFileInfo(folder).path())
            return QString();
    }
}

class OpenArchive {
public:
    explicit OpenArchive(void* handle) : m_handle(handle) {}
    ~OpenArchive() {
        if (m_handle != nullptr)
            RARCloseArchive(m_handle);
    }
    OpenArchive(const OpenArchive&) = delete;
    OpenArchive& operator=(const OpenArchive&) = delete;
    void* handle() const { return m_handle; }

private:
    void* m_handle;
};

} // namespace

std::shared_ptr<VLMUnrarLibGlue> VLMUnrarLibGlue::initWithRarFile(const QUrl& rarFile,
                                                                  const QUrl& outputDir) {
    return std::shared_ptr<VLMUnrarLibGlue>(new VLMUnrarLibGlue(rarFile, outputDir));
}

VLMUnrarLibGlue::VLMUnrarLibGlue(const QUrl& rarFile, const QUrl& outputDir)
    : m_rarFileURL(rarFile),
      m_chosenOutputDirURL(
          outputDir.isEmpty() ? QUrl::fromLocalFile(QFileInfo(rarFile.toLocalFile()).absolutePath())
                              : outputDir),
      m_outputDirURL(m_chosenOutputDirURL),
      m_unrarQueue(std::make_unique<SerialQueue>(QStringLiteral("Velmora.unrar_queue"))) {
    MainThread::initialize();
}

VLMUnrarLibGlue::~VLMUnrarLibGlue() = default;

void VLMUnrarLibGlue::startUnrar() {
    {
        std::lock_guard guard(m_lock);
        if (m_unrarIsRunning)
            return;
        m_unrarIsRunning = true;
        m_unpackedByteCountSoFar = 0;
        m_unrarCanceled = false;
        m_missingVolumePath = QString();
    }
    m_unrarQueue->async([self = shared_from_this()]() mutable {
        self->runUnrar();
        // The last reference may be this one; it must not die on the queue's thread.
        MainThread::post([keep = std::move(self)] {});
    });
}

void VLMUnrarLibGlue::stopUnrarAsync() {
    std::lock_guard guard(m_lock);
    if (m_unrarIsRunning)
        m_unrarCanceled = true;
}

void VLMUnrarLibGlue::stopUnrar() {
    stopUnrarAsync();
    if (m_unrarQueue->isCurrent())
        return;
    std::promise<void> barrier;
    m_unrarQueue->async([&barrier] { barrier.set_value(); });
    barrier.get_future().wait();
}

template <typename Event> void VLMUnrarLibGlue::postToDelegate(Event event) {
    MainThread::post([self = shared_from_this(), event = std::move(event)] {
        if (VLMUnrarLibGlueDelegate* delegate = self->m_delegate)
            event(delegate, self.get());
    });
}

void VLMUnrarLibGlue::runUnrar() {
    useUtf8FileNamesOnThisThread();
    postToDelegate([](VLMUnrarLibGlueDelegate* delegate, VLMUnrarLibGlue* glue) {
        delegate->unrarLibGlueStartedUnrar(glue);
    });
    m_outputDirURL = m_chosenOutputDirURL;
    VLMError error;
    bool declined = false;
    // An archive that lists nothing has nothing to place: the output folder is
    // neither checked nor touched.
    if (analyzeArchiveAndReportError(&error) && !m_topLevelItems.isEmpty()) {
        if (m_topLevelItems.size() >= 2)
            m_outputDirURL = QUrl::fromLocalFile(
                QDir(m_outputDirURL.toLocalFile()).filePath(nameForIntermediateDir()));
        if (dealWithExistingOutputAndReportError(&error))
            unrarArchiveAndReportError(&error);
        else
            declined = error.isNull();
    }
    finishRun(error, declined);
}

void VLMUnrarLibGlue::finishRun(const VLMError& error, bool declined) {
    int outcome = UnrarOutcome::Finished;
    if (!error.isNull())
        outcome = UnrarOutcome::Failed;
    else if (m_unrarCanceled || declined)
        outcome = UnrarOutcome::Canceled;
    postToDelegate([outcome, error](VLMUnrarLibGlueDelegate* delegate, VLMUnrarLibGlue* glue) {
        delegate->unrarLibGlueEnded(glue, outcome, error);
    });
    m_unrarIsRunning = false;
}

void* VLMUnrarLibGlue::openRarArchiveInMode(unsigned int mode, VLMError* error) {
    std::wstring archiveName = m_rarFileURL.toLocalFile().toStdWString();
    RAROpenArchiveDataEx openData{};
    openData.ArcNameW = archiveName.data();
    openData.OpenMode = mode;
    openData.Callback = &VLMUnrarLibGlue::unrarCallback;
    openData.UserData = reinterpret_cast<LPARAM>(this);
    void* handle = RAROpenArchiveEx(&openData);
    if (openData.OpenResult == ERAR_SUCCESS && handle != nullptr)
        return handle;
    if (handle != nullptr)
        RARCloseArchive(handle);
    if (!m_unrarCanceled)
        setupError(error,
                   openData.OpenResult == ERAR_SUCCESS ? ERAR_UNKNOWN : int(openData.OpenResult));
    return nullptr;
}

bool VLMUnrarLibGlue::analyzeArchiveAndReportError(VLMError* error) {
    const OpenArchive archive(openRarArchiveInMode(RAR_OM_LIST, error));
    if (archive.handle() == nullptr)
        return false;
    QSet<QString> items;
    qint64 total = 0;
    const auto header = std::make_unique<RARHeaderDataEx>();
    int code = ERAR_SUCCESS;
    while ((code = RARReadHeaderEx(archive.handle(), header.get())) == ERAR_SUCCESS) {
        const std::optional<QString> name = entryName(*header);
        const QString item = name ? RarEntryName::topLevelItem(*name) : QString();
        if (item.isEmpty()) {
            code = ERAR_BAD_ARCHIVE;
            break;
        }
        items.insert(item);
        total = addUnpackedSize(total, *header);
        code = RARProcessFileW(archive.handle(), RAR_SKIP, nullptr, nullptr);
        if (code != ERAR_SUCCESS)
            break;
    }
    if (code == ERAR_END_ARCHIVE) {
        m_topLevelItems = items;
        m_totalUnpackedByteCountInArchive = total;
        return true;
    }
    if (!m_unrarCanceled)
        setupError(error, code);
    return false;
}

bool VLMUnrarLibGlue::unrarArchiveAndReportError(VLMError* error) {
    m_openedVolumes = QStringList{m_rarFileURL.toLocalFile()};
    const OpenArchive archive(openRarArchiveInMode(RAR_OM_EXTRACT, error));
    if (archive.handle() == nullptr)
        return false;
    std::wstring destination = m_outputDirURL.toLocalFile().toStdWString();
    const auto header = std::make_unique<RARHeaderDataEx>();
    int code = ERAR_SUCCESS;
    while ((code = RARReadHeaderEx(archive.handle(), header.get())) == ERAR_SUCCESS) {
        m_currentFile = QString::fromWCharArray(header->FileNameW);
        code = extractEntry(archive.handle(), *header, destination);
        if (code != ERAR_SUCCESS)
            break;
    }
    const bool succeeded = code == ERAR_END_ARCHIVE;
    if (!succeeded && !m_unrarCanceled)
        setupError(error, code);
    return succeeded;
}

// Plain files go under a temporary name beside their final place when that place
// is plainly inside the output folder; folders, links and anything the library
// must judge itself go the library's own way.
int VLMUnrarLibGlue::extractEntry(void* archive, const RARHeaderDataEx& header,
                                  std::wstring& destination) {
    const QString outputDir = QString::fromStdWString(destination);
    const QString placed = RarEntryName::placedPath(m_currentFile);
    const QString finalPath = QDir(outputDir).filePath(placed);
    const QString realOutputDir = nearestExistingFolder(outputDir + QStringLiteral("/."));
    const bool plainFile = (header.Flags & RHDF_DIRECTORY) == 0 && header.RedirType == 0 &&
                           !placed.isEmpty() && !realOutputDir.isEmpty() &&
                           isInside(nearestExistingFolder(finalPath), realOutputDir);
    if (!plainFile)
        return RARProcessFileW(archive, RAR_EXTRACT, destination.data(), nullptr);
    const QString partial = unusedPartialPath(QFileInfo(finalPath).path());
    std::wstring partialName = partial.toStdWString();
    const int code = RARProcessFileW(archive, RAR_EXTRACT, nullptr, partialName.data());
    if (code == ERAR_SUCCESS && std::rename(QFile::encodeName(partial).constData(),
                                            QFile::encodeName(finalPath).constData()) == 0)
        return code;
    QFile::remove(partial);
    return code == ERAR_SUCCESS ? int(ERAR_ECREATE) : code;
}

void VLMUnrarLibGlue::setupError(VLMError* error, int code) const {
    if (error == nullptr)
        return;
    QVariantMap userInfo;
    if (code == ERAR_EOPEN && !m_missingVolumePath.isNull())
        userInfo.insert(kFilePathInErrorKey, m_missingVolumePath);
    *error = VLMError(VLMError::kUnrarDomain, code, userInfo);
}

int VLMUnrarLibGlue::unrarCallback(unsigned int message, long userData, long p1, long p2) {
    auto* glue = reinterpret_cast<VLMUnrarLibGlue*>(userData);
    if (glue->m_unrarCanceled)
        return -1;
    switch (message) {
    case UCM_PROCESSDATA:
        glue->didUnpackByteCount(p2);
        return 1;
    case UCM_NEEDPASSWORD:
        return -1;
    case UCM_CHANGEVOLUMEW:
        return glue->changeVolume(reinterpret_cast<const wchar_t*>(p1), p2);
    case UCM_NEEDPASSWORDW:
        return glue->supplyPassword(reinterpret_cast<wchar_t*>(p1), p2);
    default:
        return 1;
    }
}

int VLMUnrarLibGlue::changeVolume(const wchar_t* volumeName, long mode) {
    const QString path = volumeName != nullptr ? QString::fromWCharArray(volumeName) : QString();
    if (mode == RAR_VOL_ASK) {
        // A missing volume stops the run; its path goes with the library's error.
        m_missingVolumePath = path;
        return -1;
    }
    if (mode == RAR_VOL_NOTIFY) {
        m_openedVolumes.append(path);
        startedNextVolume(path);
    }
    return 1;
}

int VLMUnrarLibGlue::supplyPassword(wchar_t* buffer, long size) {
    const std::optional<QString> password = obtainPasswordForCurrentFile();
    if (!password || password->isEmpty() || buffer == nullptr || size <= 0)
        return -1;
    const std::wstring wide = password->toStdWString();
    std::wcsncpy(buffer, wide.c_str(), size_t(size));
    buffer[size - 1] = L'\0';
    return 1;
}

void VLMUnrarLibGlue::startedNextVolume(const QString& volumePath) {
    postToDelegate([volumePath](VLMUnrarLibGlueDelegate* delegate, VLMUnrarLibGlue* glue) {
        delegate->unrarLibGlueDidSwitchToVolume(glue, volumePath);
    });
}

void VLMUnrarLibGlue::didUnpackByteCount(qint64 byteCount) {
    m_unpackedByteCountSoFar += byteCount;
    const qint64 soFar = m_unpackedByteCountSoFar;
    const double fraction =
        m_totalUnpackedByteCountInArchive > 0
            ? std::min(1.0, double(soFar) / double(m_totalUnpackedByteCountInArchive))
            : kNoFraction;
    postToDelegate([fraction, soFar, file = m_currentFile](VLMUnrarLibGlueDelegate* delegate,
                                                           VLMUnrarLibGlue* glue) {
        delegate->unrarLibGlueProgress(glue, fraction, soFar, file);
    });
}

std::optional<QString> VLMUnrarLibGlue::obtainPasswordForCurrentFile() {
    const QString file = m_currentFile;
    const QString key = file.isNull() ? m_rarFileURL.toString(QUrl::FullyEncoded) : file;
    const auto cached = m_pwDict.constFind(key);
    if (cached != m_pwDict.constEnd())
        return *cached;
    const std::optional<QString> answer = askDelegate<std::optional<QString>>(
        std::nullopt, [this, &file](VLMUnrarLibGlueDelegate* delegate) {
            return delegate->unrarLibGluePasswordForFile(this, file, nullptr);
        });
    if (answer)
        m_pwDict.insert(key, *answer);
    return answer;
}
