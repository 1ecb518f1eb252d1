#include "SaveDialog.h"

#include "document/MyDocument.h"
#include "platform/StringTables.h"
#include "platform/ui/NumberField.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString numberLabelKey(int32_t parType) {
    return parType == ParType::Par1 ? QStringLiteral("SavePar1NumberLabel")
                                    : QStringLiteral("SavePar2NumberLabel");
}

} // namespace

SaveDialog::SaveDialog(const std::shared_ptr<MyDocument>& document, QWidget* parent)
    : QDialog(parent), m_document(document), m_folder(new QLabel(this)),
      m_name(new QLineEdit(this)), m_number(new NumberField(0, 99, this)) {
    const MyDocument::SavePanelSetup setup = document->prepareSavePanel();
    setWindowTitle(StringTables::localized(QStringLiteral("SaveDialogTitle")));
    m_folder->setText(QDir::toNativeSeparators(setup.designatedDirectory));
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_name->setText(setup.fileName);
    m_number->setText(QString::number(setup.number));

    auto* form = new QFormLayout;
    form->addRow(StringTables::localized(QStringLiteral("SaveDialogName")), m_name);
    form->addRow(StringTables::localized(QStringLiteral("SaveDialogFolder")), m_folder);
    form->addRow(StringTables::localized(numberLabelKey(setup.parType)), m_number);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)
        ->setText(StringTables::localized(QStringLiteral("SaveDialogCreateButton")));
    m_name->setMinimumWidth(260);
    connect(buttons, &QDialogButtonBox::accepted, this, &SaveDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SaveDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // The name without its extension is what the user most likely changes.
    m_name->setFocus();
    m_name->setSelection(0, int(QFileInfo(setup.fileName).completeBaseName().size()));
}

void SaveDialog::accept() {
    const std::shared_ptr<MyDocument> document = m_document.lock();
    if (!document) {
        reject();
        return;
    }
    MyDocument::SavePanelField refused = MyDocument::SavePanelField::None;
    const QString path =
        document->panelUserEnteredFilename(m_name->text(), m_number->text(), &refused);
    if (path.isNull()) {
        QLineEdit* field =
            refused == MyDocument::SavePanelField::Number ? m_number->editor() : m_name;
        field->setFocus();
        field->selectAll();
        return;
    }
    QDialog::accept();
    document->saveToLocation(path);
}
