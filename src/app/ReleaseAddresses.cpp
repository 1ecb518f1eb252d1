#include "ReleaseAddresses.h"

#include "platform/StringTables.h"

namespace {

// A key missing from the table reads as the key itself; that is no address.
QString address(const QString& key) {
    const QString value = StringTables::global(key).trimmed();
    return value == key ? QString() : value;
}

} // namespace

ReleaseAddresses ReleaseAddresses::fromGlobalTable() {
    return {address(QStringLiteral("VersionlistURL")), address(QStringLiteral("DownloadURL")),
            address(QStringLiteral("WebPageURL")), address(QStringLiteral("AuthorEmail"))};
}
