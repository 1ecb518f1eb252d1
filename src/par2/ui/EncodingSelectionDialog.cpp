#include "EncodingSelectionDialog.h"

#include "par2/EncodingSelectionController.h"
#include "platform/StringTables.h"
#include "platform/ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QString text(const char* key) {
    return StringTables::localized(QLatin1String(key));
}
} // namespace

EncodingSelectionDialog::EncodingSelectionDialog(
    std::shared_ptr<EncodingSelectionController> controller, QWidget* parent)
    : QDialog(parent), m_controller(std::move(controller)), mSampleTable(new QTreeWidget(this)) {
    setWindowTitle(text("EncodingSelectionTitle"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* prompt = new QLabel(text("EncodingSelectionPrompt"), this);
    prompt->setWordWrap(true);
    mSampleTable->setObjectName(QStringLiteral("mSampleTable"));
    mSampleTable->setRootIsDecorated(false);
    mSampleTable->setUniformRowHeights(true);
    mSampleTable->setSelectionMode(QAbstractItemView::SingleSelection);
    mSampleTable->setHeaderLabels({text("EncodingColumnTitle"), text("FilenameColumnTitle")});
    connect(mSampleTable, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(text("OKButton"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("mOKButton"));
    ok->setDefault(true);
    buttons->addButton(text("CancelButton"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("mCancelButton"));
    DialogButtons::followTheme(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(mSampleTable, 1);
    layout->addWidget(buttons);
    fillSamples();
    resize(520, 320);
}

void EncodingSelectionDialog::fillSamples() {
    for (int row = 0; row < m_controller->numberOfRowsInTableView(); ++row) {
        new QTreeWidgetItem(
            mSampleTable,
            {m_controller->tableViewObjectValue(EncodingSelectionController::kEncodingColumn, row),
             m_controller->tableViewObjectValue(EncodingSelectionController::kFilenameColumn,
                                                row)});
    }
    mSampleTable->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    if (QTreeWidgetItem* initial = mSampleTable->topLevelItem(m_controller->windowDidLoad()))
        mSampleTable->setCurrentItem(initial);
}

int EncodingSelectionDialog::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = mSampleTable->selectedItems();
    return selected.isEmpty() ? -1 : mSampleTable->indexOfTopLevelItem(selected.first());
}

// The chooser's delegate may start a run or close the document, so it hears
// of the end after the dialog has closed.
void EncodingSelectionDialog::done(int result) {
    const std::shared_ptr<EncodingSelectionController> controller = std::move(m_controller);
    const int row = selectedRow();
    QDialog::done(result);
    if (controller)
        controller->sheetDidEnd(result == Accepted ? EncodingSelectionController::kReturnOK
                                                   : EncodingSelectionController::kReturnCancel,
                                row);
}
