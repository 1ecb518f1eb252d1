#include "PostProcessRule.h"

#include "RuleArchive.h"

#include <QHash>

namespace {
const QString kClassName = QStringLiteral("PostProcessRule");
}

PostProcessRule::PostProcessRule(const QString& description, int32_t filenameRelation,
                                 const QString& compareString, bool caseInsensitive,
                                 int32_t actionType, const QString& appOrCommand,
                                 const QString& url)
    : m_description(description), m_filenameRelation(filenameRelation),
      m_compareString(compareString), m_caseInsensitive(caseInsensitive), m_actionType(actionType),
      m_appOrCommand(appOrCommand), m_url(url) {}

QByteArray PostProcessRule::archived() const {
    RuleArchiveWriter writer(kClassName);
    writer.writeInt(classVersion());
    writer.writeString(m_description);
    writer.writeInt(m_filenameRelation);
    writer.writeString(m_compareString);
    writer.writeChar(m_caseInsensitive ? 1 : 0);
    writer.writeInt(m_actionType);
    writer.writeString(m_appOrCommand);
    writer.writeString(m_url);
    return writer.data();
}

std::optional<PostProcessRule> PostProcessRule::unarchived(const QByteArray& blob) {
    RuleArchiveReader reader(blob, kClassName);
    int32_t version = 0;
    if (!reader.readInt(version) || version > classVersion())
        return std::nullopt;
    QString description, compareString, appOrCommand, url;
    int32_t relation = 0, actionType = 0;
    int8_t caseInsensitive = 0;
    reader.readString(description);
    reader.readInt(relation);
    reader.readString(compareString);
    reader.readChar(caseInsensitive);
    reader.readInt(actionType);
    reader.readString(appOrCommand);
    if (version >= 2)
        reader.readString(url);
    if (!reader.ok())
        return std::nullopt;
    PostProcessRule rule(description, relation, compareString, caseInsensitive != 0, actionType,
                         appOrCommand, url.isNull() ? QStringLiteral("") : url);
    rule.m_archiveVersion = version;
    return rule;
}

bool PostProcessRule::operator==(const PostProcessRule& other) const {
    return m_filenameRelation == other.m_filenameRelation &&
           m_compareString == other.m_compareString &&
           m_caseInsensitive == other.m_caseInsensitive && m_actionType == other.m_actionType &&
           m_appOrCommand == other.m_appOrCommand;
}

uint32_t PostProcessRule::hash() const {
    return uint32_t(m_filenameRelation) ^ uint32_t(int32_t(int8_t(m_caseInsensitive))) ^
           uint32_t(m_actionType) ^ uint32_t(qHash(m_compareString)) ^
           uint32_t(qHash(m_appOrCommand));
}
