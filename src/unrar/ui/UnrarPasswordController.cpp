#include "UnrarPasswordController.h"

#include "platform/StringTables.h"
#include "platform/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>

namespace {

constexpr int kIconSize = 48;
constexpr int kFieldWidth = 260;
constexpr int kMessageGap = 6;

QString text(const char* key) {
    return StringTables::localized(QLatin1String(key));
}

QString lastPathComponent(const QString& name) {
    const int slash = name.lastIndexOf(u'/');
    const QString last = name.mid(slash + 1);
    return last.isEmpty() ? name : last;
}

} // namespace

UnrarPasswordController::UnrarPasswordController(QWidget* parent)
    : QDialog(parent), m_archiveName(new QLabel(this)), m_password(new QLineEdit(this)),
      m_problem(new QLabel(this)), m_okButton(nullptr), m_cancelButton(nullptr) {
    setObjectName(QStringLiteral("Password"));
    setWindowTitle(text("UnrarPasswordTitle"));
    setWindowModality(Qt::ApplicationModal);

    auto* icon = new QLabel(this);
    const QIcon lock = QIcon::fromTheme(QStringLiteral("dialog-password"),
                                        style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    icon->setPixmap(lock.pixmap(kIconSize, kIconSize));
    icon->setAlignment(Qt::AlignTop);
    auto* message = new QLabel(text("UnrarPasswordMessage"), this);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);

    // The name comes from the archive: never read it as markup.
    m_archiveName->setObjectName(QStringLiteral("archiveName"));
    m_archiveName->setTextFormat(Qt::PlainText);
    m_archiveName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMinimumWidth(kFieldWidth);
    auto* passwordLabel = new QLabel(text("UnrarPasswordFieldLabel"), this);
    passwordLabel->setBuddy(m_password);

    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setText(text("UnrarPasswordWrong"));
    m_problem->hide();

    auto* fields = new QFormLayout;
    fields->setContentsMargins(0, kMessageGap, 0, 0);
    fields->setLabelAlignment(Qt::AlignRight);
    fields->addRow(text("UnrarPasswordFileLabel"), m_archiveName);
    fields->addRow(passwordLabel, m_password);
    fields->addRow(QString(), m_problem);

    auto* buttons = new QDialogButtonBox(this);
    m_okButton = buttons->addButton(text("OKButton"), QDialogButtonBox::AcceptRole);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    m_okButton->setEnabled(false);
    m_cancelButton = buttons->addButton(text("CancelButton"), QDialogButtonBox::RejectRole);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    DialogButtons::followTheme(buttons);
    connect(m_okButton, &QPushButton::clicked, this, &UnrarPasswordController::OnOk);
    connect(m_cancelButton, &QPushButton::clicked, this, &UnrarPasswordController::OnCancel);
    connect(m_password, &QLineEdit::textChanged, this,
            [this](const QString& entered) { m_okButton->setEnabled(!entered.isEmpty()); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1);
    layout->addWidget(message, 0, 1);
    layout->addLayout(fields, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_password, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);
}

bool UnrarPasswordController::doItForFileName(const QString& fileName, QString& password,
                                              const PasswordCheck& accepts) {
    m_accepts = accepts;
    m_problem->hide();
    m_archiveName->setText(lastPathComponent(fileName));
    password.clear();
    m_password->clear();
    m_password->setFocus();
    const QPointer<UnrarPasswordController> self(this);
    const int code = exec();
    if (!self || code != Accepted)
        return false;
    password = m_password->text();
    return true;
}

// The check may run an event loop of its own; the dialog may go meanwhile.
void UnrarPasswordController::OnOk() {
    if (m_accepts) {
        const QPointer<UnrarPasswordController> self(this);
        setEnabled(false);
        const bool accepted = m_accepts(m_password->text());
        if (!self)
            return;
        setEnabled(true);
        if (!accepted) {
            m_problem->show();
            m_password->selectAll();
            m_password->setFocus();
            return;
        }
    }
    done(Accepted);
}

void UnrarPasswordController::OnCancel() {
    done(Rejected);
}
