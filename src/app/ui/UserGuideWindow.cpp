#include "UserGuideWindow.h"

#include "app/AboutFacts.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

constexpr QSize kPageSize(720, 640);

QString guideMarkdown() {
    QFile file(AboutFacts::userGuidePath());
    if (!file.fileName().isEmpty() && file.open(QIODevice::ReadOnly))
        return QString::fromUtf8(file.readAll());
    return formatString(StringTables::localized(QStringLiteral("UserGuideMissing")),
                        AboutFacts::documentationFolder() + QStringLiteral("/user-guide.md"));
}

} // namespace

UserGuideWindow::UserGuideWindow(QWidget* parent)
    : QDialog(parent), m_page(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("UserGuide"));
    setWindowTitle(StringTables::localized(QStringLiteral("UserGuideTitle")));
    setAttribute(Qt::WA_DeleteOnClose);
    m_page->setObjectName(QStringLiteral("page"));
    m_page->setOpenExternalLinks(true);
    m_page->setMarkdown(guideMarkdown());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_page);
    layout->addWidget(buttons);
    resize(kPageSize);
}
