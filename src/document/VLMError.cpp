#include "VLMError.h"

#include "platform/StringFormat.h"
#include "platform/StringTables.h"

VLMError::VLMError(QString domain, int code, QVariantMap userInfo)
    : m_domain(std::move(domain)), m_code(code), m_userInfo(std::move(userInfo)) {}

QString VLMError::localizedDescription() const {
    const QString description = m_userInfo.value(kLocalizedDescriptionKey).toString();
    if (!description.isEmpty())
        return description;
    return formatString(QStringLiteral("The operation couldn't be completed. (%@ error %d.)"),
                        m_domain, m_code);
}

QString VLMError::errorTextKey() const {
    const QString codeText = m_code >= 0 ? QString::number(m_code)
                                         : QStringLiteral("M") + QString::number(-qint64(m_code));
    return m_domain + codeText;
}

QString VLMError::errorText() const {
    const QString key = errorTextKey();
    const QString text = StringTables::localized(key);
    if (text.compare(key, Qt::CaseInsensitive) == 0)
        return localizedDescription();
    return text;
}

VLMError VLMError::copyWithLocalizedDescriptionAndPrepend(const QString& prefix) const {
    QVariantMap info = m_userInfo;
    info.insert(kLocalizedDescriptionKey, prefix + errorText());
    return {m_domain, m_code, info};
}

VLMError VLMError::copyWithLocalizedDescription() const {
    return copyWithLocalizedDescriptionAndPrepend(QString());
}

namespace {
constexpr int kUserCancelledCode = -128;
}

VLMError VLMError::userCancelled() {
    return VLMError(kVelmoraDomain, kUserCancelledCode);
}

bool VLMError::isUserCancelled() const {
    return m_domain == kVelmoraDomain && m_code == kUserCancelledCode;
}
