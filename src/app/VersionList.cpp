#include "VersionList.h"

#include <cstdlib>
#include <memory>
#include <plist/plist.h>

namespace {

using PlistPointer = std::unique_ptr<void, decltype(&plist_free)>;

QString stringEntry(plist_t dictionary, const char* key) {
    plist_t node = plist_dict_get_item(dictionary, key);
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING)
        return QString();
    char* value = nullptr;
    plist_get_string_val(node, &value);
    const QString text = QString::fromUtf8(value);
    std::free(value);
    return text;
}

QVersionNumber versionNumber(const QString& text) {
    return QVersionNumber::fromString(text.trimmed()).normalized();
}

} // namespace

VersionList::VersionList(const QString& newestVersion, const QString& prompt)
    : m_newestVersion(newestVersion), m_prompt(prompt) {}

std::optional<VersionList> VersionList::parse(const QByteArray& data) {
    if (data.isEmpty() || data.size() > kMaximumSize)
        return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(data.constData(), static_cast<uint32_t>(data.size()), &root);
    const PlistPointer owner(root, &plist_free);
    if (root == nullptr || plist_get_node_type(root) != PLIST_DICT)
        return std::nullopt;
    const QString newest = stringEntry(root, "Velmora");
    if (versionNumber(newest).isNull())
        return std::nullopt;
    return VersionList(newest, stringEntry(root, "VelmoraPrompt"));
}

bool VersionList::isNewerThan(const QString& runningVersion) const {
    return QVersionNumber::compare(versionNumber(m_newestVersion), versionNumber(runningVersion)) >
           0;
}
