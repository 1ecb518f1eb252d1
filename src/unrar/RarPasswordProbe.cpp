#include "RarPasswordProbe.h"

#include <cwchar>
#include <locale.h>
#include <memory>
#include <string>

#define _UNIX
#include <unrar/dll.hpp>
#undef _UNIX

namespace {

enum class Verdict { Accepted, Refused, NotNeeded, Unknown };

// The first RAR 5 unpacking method; earlier archives carry no password check.
constexpr unsigned int kRar5UnpackVersion = 50;

struct ProbeState {
    std::wstring password;
    bool asked = false;
    bool stopAtData = false;
    bool reachedData = false;
};

int probeCallback(unsigned int message, long userData, long p1, long p2) {
    auto* state = reinterpret_cast<ProbeState*>(userData);
    switch (message) {
    case UCM_NEEDPASSWORDW: {
        auto* buffer = reinterpret_cast<wchar_t*>(p1);
        state->asked = true;
        if (buffer == nullptr || p2 <= 0)
            return -1;
        std::wcsncpy(buffer, state->password.c_str(), size_t(p2));
        buffer[p2 - 1] = L'\0';
        return 1;
    }
    case UCM_NEEDPASSWORD:
        return -1;
    case UCM_CHANGEVOLUMEW:
    case UCM_CHANGEVOLUME:
        return p2 == RAR_VOL_ASK ? -1 : 1;
    case UCM_PROCESSDATA:
        // Data flows only once a RAR 5 entry's password check has passed.
        state->reachedData = true;
        return state->stopAtData ? -1 : 1;
    default:
        return 1;
    }
}

class ProbeArchive {
public:
    ProbeArchive(const QString& path, ProbeState& state) {
        std::wstring name = path.toStdWString();
        RAROpenArchiveDataEx openData{};
        openData.ArcNameW = name.data();
        openData.OpenMode = RAR_OM_EXTRACT;
        openData.Callback = &probeCallback;
        openData.UserData = reinterpret_cast<LPARAM>(&state);
        m_handle = RAROpenArchiveEx(&openData);
        m_openResult = int(openData.OpenResult);
        if (m_openResult != ERAR_SUCCESS && m_handle != nullptr) {
            RARCloseArchive(m_handle);
            m_handle = nullptr;
        }
    }
    ~ProbeArchive() {
        if (m_handle != nullptr)
            RARCloseArchive(m_handle);
    }
    ProbeArchive(const ProbeArchive&) = delete;
    ProbeArchive& operator=(const ProbeArchive&) = delete;

    void* handle() const { return m_handle; }
    int openResult() const { return m_openResult; }

private:
    void* m_handle = nullptr;
    int m_openResult = ERAR_SUCCESS;
};

Verdict testEncryptedEntry(void* handle, const RARHeaderDataEx& header, ProbeState& state) {
    const bool isRar5 = header.UnpVer >= kRar5UnpackVersion;
    state.stopAtData = isRar5;
    const int code = RARProcessFileW(handle, RAR_TEST, nullptr, nullptr);
    if ((state.reachedData && isRar5) || code == ERAR_SUCCESS)
        return Verdict::Accepted;
    if (code == ERAR_BAD_PASSWORD || (code == ERAR_BAD_DATA && !isRar5))
        return Verdict::Refused;
    return Verdict::Unknown;
}

Verdict tryPassword(const QString& archivePath, const QString& password) {
    ProbeState state{password.toStdWString()};
    const ProbeArchive archive(archivePath, state);
    if (archive.handle() == nullptr)
        return archive.openResult() == ERAR_BAD_PASSWORD ? Verdict::Refused : Verdict::Unknown;
    const auto header = std::make_unique<RARHeaderDataEx>();
    for (;;) {
        const int code = RARReadHeaderEx(archive.handle(), header.get());
        if (code == ERAR_END_ARCHIVE)
            return state.asked ? Verdict::Accepted : Verdict::NotNeeded;
        if (code != ERAR_SUCCESS)
            return code == ERAR_BAD_PASSWORD ? Verdict::Refused : Verdict::Unknown;
        if ((header->Flags & RHDF_ENCRYPTED) != 0 && (header->Flags & RHDF_DIRECTORY) == 0)
            return testEncryptedEntry(archive.handle(), *header, state);
        if (RARProcessFileW(archive.handle(), RAR_SKIP, nullptr, nullptr) != ERAR_SUCCESS)
            return Verdict::Unknown;
    }
}

// The library names files through the C library's multibyte functions; Qt's
// file names are UTF-8 whatever the locale says.
void useUtf8FileNamesOnThisThread() {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    if (utf8 != locale_t(nullptr))
        uselocale(utf8);
}

} // namespace

std::optional<QString> RarPasswordProbe::findPassword(const QString& archivePath,
                                                      const QStringList& candidates) {
    useUtf8FileNamesOnThisThread();
    for (const QString& candidate : candidates) {
        switch (tryPassword(archivePath, candidate)) {
        case Verdict::Accepted:
            return candidate;
        case Verdict::Refused:
            continue;
        case Verdict::NotNeeded:
        case Verdict::Unknown:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool RarPasswordProbe::refuses(const QString& archivePath, const QString& password) {
    useUtf8FileNamesOnThisThread();
    return tryPassword(archivePath, password) == Verdict::Refused;
}
