#include "AboutWindow.h"

#include "app/AboutFacts.h"
#include "platform/AppInfo.h"
#include "platform/StringFormat.h"
#include "platform/StringTables.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

constexpr int kIconSize = 64;
constexpr int kLicenceHeight = 160;

QString text(const char* key) {
    return StringTables::localized(QLatin1String(key));
}

QString toolLine(const AboutFacts::Tool& tool) {
    if (!tool.found)
        return formatString(text("AboutToolMissing"), tool.name.toHtmlEscaped(),
                            tool.path.toHtmlEscaped());
    if (tool.version.startsWith(tool.name)) // "par2cmdline version 0.8.1"
        return tool.version.toHtmlEscaped();
    const QString version = tool.version.isEmpty() ? text("AboutToolFound") : tool.version;
    return tool.name.toHtmlEscaped() + QStringLiteral(": ") + version.toHtmlEscaped();
}

QString link(const QString& address, const QString& shown) {
    return QStringLiteral("<a href=\"%1\">%2</a>")
        .arg(address.toHtmlEscaped(), shown.toHtmlEscaped());
}

QString licenceText() {
    QFile file(AboutFacts::licencePath());
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.read(1 << 20));
}

} // namespace

QString AboutWindow::factsText(const ReleaseAddresses& addresses) {
    QStringList lines;
    lines.append(
        QStringLiteral("<h2>Velmora %1</h2>").arg(AppInfo::shortVersion().toHtmlEscaped()));
    lines.append(text("AboutPurpose"));
    lines.append(text("AboutLicence"));
    QStringList tools;
    for (const AboutFacts::Tool& tool : AboutFacts::helperTools())
        tools.append(toolLine(tool));
    tools.append(formatString(text("AboutUnrarLibrary"), AboutFacts::unrarInterfaceVersion()));
    lines.append(QStringLiteral("<b>%1</b><br>%2")
                     .arg(text("AboutHelpersHeading"), tools.join(QStringLiteral("<br>"))));
    QStringList links;
    if (!addresses.webPageURL.isEmpty())
        links.append(link(addresses.webPageURL, addresses.webPageURL));
    if (!addresses.authorEmail.isEmpty())
        links.append(
            link(QStringLiteral("mailto:") + addresses.authorEmail, addresses.authorEmail));
    if (!links.isEmpty())
        lines.append(links.join(QStringLiteral("<br>")));
    return lines.join(QStringLiteral("<p>"));
}

AboutWindow::AboutWindow(const ReleaseAddresses& addresses, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(text("AboutTitle"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(kIconSize, kIconSize));
    auto* facts = new QLabel(factsText(addresses), this);
    facts->setObjectName(QStringLiteral("facts"));
    facts->setTextFormat(Qt::RichText);
    facts->setOpenExternalLinks(true);
    facts->setTextInteractionFlags(Qt::TextBrowserInteraction);
    facts->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    layout->addWidget(facts);
    if (const QString licence = licenceText(); !licence.isEmpty()) {
        auto* licenceView = new QPlainTextEdit(licence, this);
        licenceView->setObjectName(QStringLiteral("licence"));
        licenceView->setReadOnly(true);
        licenceView->setFixedHeight(kLicenceHeight);
        layout->addWidget(licenceView);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
