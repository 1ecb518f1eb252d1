#pragma once

#include <QString>
#include <QVariantMap>

// An error that crosses a component boundary: a domain, an integer code and a
// user-information map whose "NSLocalizedDescription" entry is the user text.
class VLMError {
public:
    static inline const QString kLocalizedDescriptionKey = QStringLiteral("NSLocalizedDescription");
    static inline const QString kVelmoraDomain = QStringLiteral("Velmora");
    static inline const QString kUnrarDomain = QStringLiteral("VLMUnrarErrorDomain");
    static inline const QString kUnrarLibGlueDomain = QStringLiteral("VLMUnrarLibGlueErrorDomain");

    VLMError() = default;
    VLMError(QString domain, int code, QVariantMap userInfo = {});

    // The user cancelled what the operation asked; callers say nothing more.
    static VLMError userCancelled();
    bool isUserCancelled() const;

    bool isNull() const { return m_domain.isEmpty(); }
    QString domain() const { return m_domain; }
    int code() const { return m_code; }
    QVariantMap userInfo() const { return m_userInfo; }
    QString localizedDescription() const;

    // The string table's text for this domain and code, else the own description.
    QString errorText() const;
    // The string-table key: the domain, then the code, or "M" and -code when negative.
    QString errorTextKey() const;
    VLMError copyWithLocalizedDescriptionAndPrepend(const QString& prefix) const;
    VLMError copyWithLocalizedDescription() const;

private:
    QString m_domain;
    int m_code = 0;
    QVariantMap m_userInfo;
};
