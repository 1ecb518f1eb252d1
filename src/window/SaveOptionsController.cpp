#include "SaveOptionsController.h"

#include "document/MyDocument.h"
#include "platform/StringTables.h"
#include "platform/ui/NumberField.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

SaveOptionsController::SaveOptionsController(const std::shared_ptr<MyDocument>& delegate)
    : m_delegate(delegate), m_NumPnn(new NumberField(0, 100, this)),
      m_explanation(new QLabel(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(StringTables::localized(QStringLiteral("SaveOptionsTitle")));
    m_explanation->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SaveOptionsController::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &SaveOptionsController::OnCancel);
    connect(this, &QDialog::finished, this, &SaveOptionsController::sheetDidEnd);
    setMinimumWidth(340);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_explanation);
    layout->addWidget(m_NumPnn);
    layout->addWidget(buttons);
}

void SaveOptionsController::doItForWindow(QWidget* window, int32_t parType, int32_t initialNum) {
    mParType = parType;
    if (parType == ParType::Par1)
        m_NumPnn->setRange(0, 99);
    else
        m_NumPnn->setRange(1, 100);
    m_NumPnn->setText(QString::number(initialNum));
    m_NumPnn->selectAll();
    m_explanation->setText(StringTables::localized(parType == ParType::Par1
                                                       ? QStringLiteral("SavePar1NumberLabel")
                                                       : QStringLiteral("SavePar2NumberLabel")));
    setParent(window, windowFlags());
    setWindowModality(Qt::WindowModal);
    open();
}

void SaveOptionsController::OnOK() {
    const std::optional<int32_t> number =
        MyDocument::acceptSaveOptionsNumber(m_NumPnn->text(), mParType);
    if (!number) {
        m_NumPnn->setFocus();
        m_NumPnn->selectAll();
        return;
    }
    mNumPnn = *number;
    done(1);
}

void SaveOptionsController::OnCancel() {
    done(0);
}

void SaveOptionsController::sheetDidEnd(int returnCode) {
    const std::shared_ptr<MyDocument> document = m_delegate.lock();
    if (returnCode == 1 && document)
        document->saveOptionsFinishedWithNumPnn(mNumPnn);
}
