#include "PreferencesController.h"

#include "app/PARDocumentController.h"
#include "app/ReleaseAddresses.h"
#include "document/UnattendedSupport.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringTables.h"
#include "platform/ui/DialogButtons.h"
#include "platform/ui/NumberField.h"
#include "platform/ui/TabOrder.h"
#include "postprocess/ui/EditPPRuleController.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString text(const char* key) {
    return StringTables::localized(QLatin1String(key));
}

void selectTag(QButtonGroup* group, int tag) {
    if (QAbstractButton* choice = group->button(tag))
        choice->setChecked(true);
}

QGroupBox* groupBox(const char* titleKey, QLayout* content, QWidget* parent) {
    auto* box = new QGroupBox(text(titleKey), parent);
    box->setLayout(content);
    return box;
}

QString folderChooserDialog(QWidget* parent, const QString& startFolder) {
    QFileDialog dialog(parent, text("SelectUnrarDestTitle"),
                       QFileInfo(startFolder).isDir() ? startFolder : QDir::homePath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, text("SelectUnrarPrompt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

PreferencesController::PreferencesController(PARDocumentController& documents, QWidget* parent)
    : QDialog(parent), m_documents(documents),
      m_folderChooser([this](const QString& start) { return folderChooserDialog(this, start); }) {
    setObjectName(QStringLiteral("Preferences"));
    setWindowTitle(text("PreferencesTitle"));

    auto* tabs = new QTabWidget(this);
    tabs->addTab(buildGeneralTab(), text("PrefsGeneralTab"));
    tabs->addTab(buildRulesTab(), text("PrefsRulesTab"));
    tabs->addTab(buildExtractionTab(), text("PrefsExtractionTab"));
    tabs->addTab(buildNewSetsTab(), text("PrefsNewSetsTab"));

    auto* buttons = new QDialogButtonBox(this);
    mOKButton = buttons->addButton(text("OKButton"), QDialogButtonBox::AcceptRole);
    mCancelButton = buttons->addButton(text("CancelButton"), QDialogButtonBox::RejectRole);
    mOKButton->setObjectName(QStringLiteral("mOKButton"));
    mCancelButton->setObjectName(QStringLiteral("mCancelButton"));
    DialogButtons::followTheme(buttons);
    mOKButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    loadValues();
    EnableDisable();
}

PreferencesController::~PreferencesController() {
    if (mRuleEditorController)
        mRuleEditorController->setDelegate(nullptr);
}

QButtonGroup* PreferencesController::radioGroup(const QString& name,
                                                const QList<QRadioButton*>& choices,
                                                const QList<int>& tags) {
    auto* group = new QButtonGroup(this);
    group->setObjectName(name);
    for (qsizetype i = 0; i < choices.size(); ++i)
        group->addButton(choices[i], tags[i]);
    return group;
}

QCheckBox* PreferencesController::checkBox(const QString& name, const char* titleKey) {
    auto* box = new QCheckBox(text(titleKey), this);
    box->setObjectName(name);
    return box;
}

NumberField* PreferencesController::numberField(const QString& name, int minimum, int maximum) {
    auto* field = new NumberField(minimum, maximum, this);
    field->setObjectName(name);
    return field;
}

QPushButton* PreferencesController::ruleButton(const QString& name, const char* titleKey,
                                               void (PreferencesController::*action)()) {
    auto* button = new QPushButton(text(titleKey), this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, action);
    return button;
}

QWidget* PreferencesController::buildGeneralTab() {
    auto* tab = new QWidget(this);
    autoDeletePnn = checkBox(QStringLiteral("autoDeletePnn"), "PrefsAutoDeletePnn");
    autoPostProcess = checkBox(QStringLiteral("autoPostProcess"), "PrefsAutoPostProcess");
    autoCloseDocument = checkBox(QStringLiteral("autoCloseDocument"), "PrefsAutoCloseDocument");
    keepBrokenFiles = checkBox(QStringLiteral("keepBrokenFiles"), "PrefsKeepBrokenFiles");
    auto* afterRun = new QVBoxLayout;
    for (QCheckBox* box : {autoDeletePnn, autoPostProcess, autoCloseDocument, keepBrokenFiles})
        afterRun->addWidget(box);

    auto* oneAtATime = new QRadioButton(text("PrefsOneSetAtATime"), tab);
    auto* allAtOnce = new QRadioButton(text("PrefsAllSetsAtOnce"), tab);
    mSimultaneousProcessing =
        radioGroup(QStringLiteral("mSimultaneousProcessing"), {oneAtATime, allAtOnce}, {0, 1});
    runUnattendedChoice = checkBox(QStringLiteral("runUnattendedChoice"), "PrefsUnattended");
    autoCheckUpdate = checkBox(QStringLiteral("autoCheckUpdate"), "PrefsAutoCheckUpdate");
    // Without a version list there is nothing to check; the setting is kept as it is.
    if (ReleaseAddresses::fromGlobalTable().versionListURL.isEmpty()) {
        autoCheckUpdate->setEnabled(false);
        autoCheckUpdate->setToolTip(text("VersionCheckUnavailable"));
    }
    auto* working = new QVBoxLayout;
    for (QWidget* widget : std::initializer_list<QWidget*>{oneAtATime, allAtOnce,
                                                           runUnattendedChoice, autoCheckUpdate})
        working->addWidget(widget);

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(groupBox("PrefsAfterRunGroup", afterRun, tab));
    layout->addWidget(groupBox("PrefsWorkingGroup", working, tab));
    layout->addStretch();
    return tab;
}

QWidget* PreferencesController::buildRulesTab() {
    auto* tab = new QWidget(this);
    rulesList = new QListWidget(tab);
    rulesList->setObjectName(QStringLiteral("rulesList"));
    rulesList->setSelectionMode(QAbstractItemView::SingleSelection);
    rulesList->setMinimumWidth(300);
    connect(rulesList, &QListWidget::itemSelectionChanged, this,
            &PreferencesController::EnableDisable);
    connect(rulesList, &QListWidget::itemDoubleClicked, this, &PreferencesController::OnModifyRule);

    ruleNewButton = ruleButton(QStringLiteral("ruleNewButton"), "PrefsNewRule",
                               &PreferencesController::OnNewRule);
    ruleModifyButton = ruleButton(QStringLiteral("ruleModifyButton"), "PrefsModifyRule",
                                  &PreferencesController::OnModifyRule);
    ruleDeleteButton = ruleButton(QStringLiteral("ruleDeleteButton"), "PrefsDeleteRule",
                                  &PreferencesController::OnDeleteRule);
    ruleUpButton = ruleButton(QStringLiteral("ruleUpButton"), "PrefsMoveRuleUp",
                              &PreferencesController::OnMoveRuleUp);
    ruleDownButton = ruleButton(QStringLiteral("ruleDownButton"), "PrefsMoveRuleDown",
                                &PreferencesController::OnMoveRuleDown);
    mStandardButton = ruleButton(QStringLiteral("mStandardButton"), "PrefsStandardRules",
                                 &PreferencesController::OnStandard);
    auto* commands = new QVBoxLayout;
    for (QPushButton* button :
         {ruleNewButton, ruleModifyButton, ruleDeleteButton, ruleUpButton, ruleDownButton})
        commands->addWidget(button);
    commands->addStretch();
    commands->addWidget(mStandardButton);

    auto* explanation = new QLabel(text("PrefsRulesExplanation"), tab);
    explanation->setWordWrap(true);
    auto* layout = new QGridLayout(tab);
    layout->addWidget(explanation, 0, 0, 1, 2);
    layout->addWidget(rulesList, 1, 0);
    layout->addLayout(commands, 1, 1);
    return tab;
}

QWidget* PreferencesController::buildExtractionTab() {
    auto* tab = new QWidget(this);
    auto* archiveFolder = new QRadioButton(text("PrefsDestinationDefault"), tab);
    auto* askEachTime = new QRadioButton(text("PrefsDestinationAsk"), tab);
    auto* fixedFolder = new QRadioButton(text("PrefsDestinationFixed"), tab);
    unrarDestinationDetermination = radioGroup(
        QStringLiteral("unrarDestinationDetermination"), {archiveFolder, askEachTime, fixedFolder},
        {DestinationValue::DefaultLocation, DestinationValue::AskEachTime,
         DestinationValue::FixedFolder});
    connect(unrarDestinationDetermination, &QButtonGroup::idClicked, this,
            &PreferencesController::EnableDisable);
    unrarDestinationFolder = new QLineEdit(tab);
    unrarDestinationFolder->setObjectName(QStringLiteral("unrarDestinationFolder"));
    unrarDestinationFolder->setReadOnly(true);
    unrarDestinationFolder->setMinimumWidth(260);
    chooseUnrarDestinationFolder =
        ruleButton(QStringLiteral("chooseUnrarDestinationFolder"), "PrefsChooseFolder",
                   &PreferencesController::onChooseUnrarDestination);
    auto* destination = new QGridLayout;
    destination->addWidget(archiveFolder, 0, 0, 1, 3);
    destination->addWidget(askEachTime, 1, 0, 1, 3);
    destination->addWidget(fixedFolder, 2, 0);
    destination->addWidget(unrarDestinationFolder, 2, 1);
    destination->addWidget(chooseUnrarDestinationFolder, 2, 2);

    auto* ask = new QRadioButton(text("PrefsExistingAsk"), tab);
    auto* overwrite = new QRadioButton(text("PrefsExistingOverwrite"), tab);
    auto* cancel = new QRadioButton(text("PrefsExistingCancel"), tab);
    auto* keepBoth = new QRadioButton(text("PrefsExistingKeepBoth"), tab);
    existingUnrarDestinationAction = radioGroup(
        QStringLiteral("existingUnrarDestinationAction"), {ask, overwrite, cancel, keepBoth},
        {TargetExistsValue::Ask, TargetExistsValue::Overwrite, TargetExistsValue::Cancel,
         TargetExistsValue::KeepBoth});
    auto* existing = new QVBoxLayout;
    for (QRadioButton* choice : {ask, overwrite, cancel, keepBoth})
        existing->addWidget(choice);

    auto* keep = new QRadioButton(text("PrefsSegmentsKeep"), tab);
    auto* trash = new QRadioButton(text("PrefsSegmentsTrash"), tab);
    auto* remove = new QRadioButton(text("PrefsSegmentsDelete"), tab);
    deleteSegmentsOption = radioGroup(
        QStringLiteral("deleteSegmentsOption"), {keep, trash, remove},
        {DeleteSegValue::Keep, DeleteSegValue::MoveToTrash, DeleteSegValue::DeletePermanently});
    connect(deleteSegmentsOption, &QButtonGroup::idClicked, this,
            &PreferencesController::OnDeleteSegmentsOption);
    auto* segments = new QVBoxLayout;
    for (QRadioButton* choice : {keep, trash, remove})
        segments->addWidget(choice);

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(groupBox("PrefsDestinationGroup", destination, tab));
    layout->addWidget(groupBox("PrefsExistingGroup", existing, tab));
    layout->addWidget(groupBox("PrefsSegmentsGroup", segments, tab));
    layout->addStretch();
    return tab;
}

QWidget* PreferencesController::buildNewSetsTab() {
    auto* tab = new QWidget(this);
    auto* par1 = new QRadioButton(text("PrefsNewPar1"), tab);
    auto* par2 = new QRadioButton(text("PrefsNewPar2"), tab);
    mPar12Choice = radioGroup(QStringLiteral("mPar12Choice"), {par1, par2}, {1, 2});
    auto* kind = new QHBoxLayout;
    kind->addWidget(par1);
    kind->addWidget(par2);
    kind->addStretch();

    radio1 = new QRadioButton(text("PrefsEveryXFiles"), tab);
    radio2 = new QRadioButton(text("PrefsAbsoluteNumber"), tab);
    radio1->setObjectName(QStringLiteral("radio1"));
    radio2->setObjectName(QStringLiteral("radio2"));
    radioGroup(QStringLiteral("numMethod"), {radio1, radio2},
               {NumMethodValue::EveryXFiles, NumMethodValue::Absolute});
    connect(radio1, &QRadioButton::clicked, this, [this] { OnRadio(radio1); });
    connect(radio2, &QRadioButton::clicked, this, [this] { OnRadio(radio2); });
    everyXValue = numberField(QStringLiteral("everyXValue"), 1, 99);
    absValue = numberField(QStringLiteral("absValue"), 0, 99);
    auto* par1Volumes = new QGridLayout;
    par1Volumes->addWidget(radio1, 0, 0);
    par1Volumes->addWidget(everyXValue, 0, 1);
    par1Volumes->addWidget(new QLabel(text("PrefsFilesUnit"), tab), 0, 2);
    par1Volumes->addWidget(radio2, 1, 0);
    par1Volumes->addWidget(absValue, 1, 1);
    par1Volumes->addWidget(new QLabel(text("PrefsVolumesUnit"), tab), 1, 2);
    par1Volumes->setColumnStretch(3, 1);

    auto* automatic = new QRadioButton(text("PrefsBlockSizeAutomatic"), tab);
    auto* fixed = new QRadioButton(text("PrefsBlockSizeFixed"), tab);
    mPar2BlockSizeChoice =
        radioGroup(QStringLiteral("mPar2BlockSizeChoice"), {automatic, fixed},
                   {BlockSizeChoiceValue::Automatic, BlockSizeChoiceValue::Fixed});
    connect(mPar2BlockSizeChoice, &QButtonGroup::idClicked, this,
            &PreferencesController::EnableDisable);
    mPar2BlockSize = numberField(QStringLiteral("mPar2BlockSize"), 1, 419430);
    mPar2Redundancy = numberField(QStringLiteral("mPar2Redundancy"), 1, 100);
    mPar2LimitFileSize = checkBox(QStringLiteral("mPar2LimitFileSize"), "PrefsLimitFileSize");
    auto* redundancyLabel = new QLabel(text("PrefsRedundancy"), tab);
    redundancyLabel->setBuddy(mPar2Redundancy);
    auto* par2Options = new QGridLayout;
    par2Options->addWidget(automatic, 0, 0, 1, 3);
    par2Options->addWidget(fixed, 1, 0);
    par2Options->addWidget(mPar2BlockSize, 1, 1);
    par2Options->addWidget(new QLabel(text("PrefsKiBUnit"), tab), 1, 2);
    par2Options->addWidget(redundancyLabel, 2, 0);
    par2Options->addWidget(mPar2Redundancy, 2, 1);
    par2Options->addWidget(new QLabel(text("PrefsPercentUnit"), tab), 2, 2);
    par2Options->addWidget(mPar2LimitFileSize, 3, 0, 1, 3);
    par2Options->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(groupBox("PrefsNewDocumentGroup", kind, tab));
    layout->addWidget(groupBox("PrefsPar1Group", par1Volumes, tab));
    layout->addWidget(groupBox("PrefsPar2Group", par2Options, tab));
    layout->addStretch();
    TabOrder::chain({par1, par2, radio1, everyXValue, radio2, absValue, automatic, fixed,
                     mPar2BlockSize, mPar2Redundancy, mPar2LimitFileSize});
    return tab;
}

void PreferencesController::loadValues() {
    const auto number = [](const QString& key) {
        return QString::number(Preferences::integerForKey(key));
    };
    (Preferences::integerForKey(PrefKey::NumMethod) == NumMethodValue::EveryXFiles ? radio1
                                                                                   : radio2)
        ->setChecked(true);
    everyXValue->setText(number(PrefKey::EveryXFilesValue));
    absValue->setText(number(PrefKey::AbsNumValue));
    selectTag(deleteSegmentsOption, Preferences::integerForKey(PrefKey::DeleteSegOption));
    selectTag(existingUnrarDestinationAction,
              Preferences::integerForKey(PrefKey::UnrarTargetExistsAction));
    selectTag(unrarDestinationDetermination,
              Preferences::integerForKey(PrefKey::UnrarDestinationDetermination));
    mChosenUnrarDestination = Preferences::stringForKey(PrefKey::UnrarDestinationFolder);
    autoDeletePnn->setChecked(Preferences::boolForKey(PrefKey::AutoDeletePnn));
    autoPostProcess->setChecked(Preferences::boolForKey(PrefKey::AutoPostProcess));
    keepBrokenFiles->setChecked(Preferences::boolForKey(PrefKey::KeepBrokenFiles));
    autoCloseDocument->setChecked(Preferences::boolForKey(PrefKey::AutoCloseDocument));
    autoCheckUpdate->setChecked(Preferences::boolForKey(PrefKey::AutoCheckUpdate));
    selectTag(mSimultaneousProcessing,
              Preferences::boolForKey(PrefKey::SimultaneousProcessing) ? 1 : 0);
    selectTag(mPar12Choice, Preferences::integerForKey(PrefKey::DefaultPar));
    mPar2BlockSize->setText(number(PrefKey::Par2BlockSize));
    selectTag(mPar2BlockSizeChoice, Preferences::integerForKey(PrefKey::Par2BlockSizeChoice));
    mPar2LimitFileSize->setChecked(Preferences::boolForKey(PrefKey::Par2LimitFileSize));
    mPar2Redundancy->setText(number(PrefKey::Par2Redundancy));
    runUnattendedChoice->setChecked(Preferences::boolForKey(PrefKey::UnattendedOperation));

    mRulesSet = m_documents.ReadPPRulesSet();
    mRuleEditingIndex = -1;
    reloadRules(-1);
}

void PreferencesController::storeValues() const {
    Preferences::setInteger(PrefKey::NumMethod, radio1->isChecked() ? NumMethodValue::EveryXFiles
                                                                    : NumMethodValue::Absolute);
    Preferences::setInteger(PrefKey::EveryXFilesValue, everyXValue->text().toInt());
    Preferences::setInteger(PrefKey::AbsNumValue, absValue->text().toInt());
    Preferences::setInteger(PrefKey::DeleteSegOption, deleteSegmentsOption->checkedId());
    Preferences::setInteger(PrefKey::UnrarTargetExistsAction,
                            existingUnrarDestinationAction->checkedId());
    Preferences::setBool(PrefKey::AutoDeletePnn, autoDeletePnn->isChecked());
    Preferences::setBool(PrefKey::AutoPostProcess, autoPostProcess->isChecked());
    Preferences::setBool(PrefKey::KeepBrokenFiles, keepBrokenFiles->isChecked());
    Preferences::setBool(PrefKey::AutoCloseDocument, autoCloseDocument->isChecked());
    Preferences::setBool(PrefKey::AutoCheckUpdate, autoCheckUpdate->isChecked());
    Preferences::setInteger(PrefKey::UnrarDestinationDetermination,
                            unrarDestinationDetermination->checkedId());
    Preferences::setBool(PrefKey::SimultaneousProcessing,
                         mSimultaneousProcessing->checkedId() == 1);
    Preferences::setInteger(PrefKey::DefaultPar, mPar12Choice->checkedId());
    Preferences::setInteger(PrefKey::Par2BlockSize, mPar2BlockSize->text().toInt());
    Preferences::setInteger(PrefKey::Par2BlockSizeChoice, mPar2BlockSizeChoice->checkedId());
    Preferences::setBool(PrefKey::Par2LimitFileSize, mPar2LimitFileSize->isChecked());
    Preferences::setInteger(PrefKey::Par2Redundancy, mPar2Redundancy->text().toInt());
    if (unrarDestinationDetermination->checkedId() == DestinationValue::FixedFolder)
        Preferences::setString(PrefKey::UnrarDestinationFolder, mChosenUnrarDestination);
    Preferences::setBool(PrefKey::UnattendedOperation, runUnattendedChoice->isChecked());
    if (m_rulesChanged)
        m_documents.SavePPRulesSet(mRulesSet);
}

int PreferencesController::DoIt() {
    return exec();
}

bool PreferencesController::FieldIsNumeric(const NumberField* field, int min, int max) {
    const QString digits = field->text();
    const bool allDigits =
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    // More digits than any int has would wrap around when converted.
    if (!allDigits || digits.size() > 10)
        return false;
    const qlonglong value = digits.isEmpty() ? 0 : digits.toLongLong();
    return value >= min && value <= max;
}

bool PreferencesController::numbersAreValid() {
    struct Check {
        NumberField* field;
        int min;
        int max;
        const char* messageKey;
    };
    const Check checks[] = {{everyXValue, 1, 99, "WrongNumFilesPerPARErr"},
                            {absValue, 0, 99, "WrongNumPARErr"},
                            {mPar2BlockSize, 1, 419430, "WrongPAR2BlockSizeErr"},
                            {mPar2Redundancy, 1, 100, "WrongPAR2RedundancyErr"}};
    for (const Check& check : checks) {
        if (FieldIsNumeric(check.field, check.min, check.max))
            continue;
        VLMLRunCriticalAlertPanel(QString(), QStringLiteral("%@"), QString(), QString(), QString(),
                                  text(check.messageKey));
        check.field->setFocus();
        check.field->selectAll();
        return false;
    }
    return true;
}

void PreferencesController::accept() {
    if (!numbersAreValid())
        return;
    storeValues();
    QDialog::accept();
}

void PreferencesController::EnableDisable() {
    everyXValue->setEnabled(radio1->isChecked());
    absValue->setEnabled(radio2->isChecked());
    mPar2BlockSize->setEnabled(mPar2BlockSizeChoice->checkedId() == BlockSizeChoiceValue::Fixed);

    const int rule = selectedRuleIndex();
    const bool isRule = rule >= 0;
    ruleDeleteButton->setEnabled(isRule);
    ruleModifyButton->setEnabled(isRule);
    ruleUpButton->setEnabled(isRule && rule > 0);
    ruleDownButton->setEnabled(isRule && rule < mRulesSet.size() - 1);

    const bool fixedFolder =
        unrarDestinationDetermination->checkedId() == DestinationValue::FixedFolder;
    chooseUnrarDestinationFolder->setEnabled(fixedFolder);
    unrarDestinationFolder->setText(fixedFolder ? mChosenUnrarDestination : QString());
}

void PreferencesController::OnRadio(QRadioButton* choice) {
    everyXValue->setEnabled(choice == radio1);
    absValue->setEnabled(choice == radio2);
    NumberField* field = choice == radio1 ? everyXValue : absValue;
    field->setFocus();
    field->selectAll();
}

void PreferencesController::OnDeleteSegmentsOption(int tag) {
    if (tag == DeleteSegValue::DeletePermanently)
        VLMLRunAlertPanel(QString(), QStringLiteral("%@"), QString(), QString(), QString(),
                          text("PermanentDeleteWarning"));
}

void PreferencesController::onChooseUnrarDestination() {
    const QString chosen = m_folderChooser(unrarDestinationFolder->text());
    if (chosen.isEmpty())
        return;
    mChosenUnrarDestination = chosen;
    EnableDisable();
}

int PreferencesController::selectedRuleIndex() const {
    const QList<QListWidgetItem*> selected = rulesList->selectedItems();
    if (selected.isEmpty())
        return -1;
    const int row = rulesList->row(selected.constFirst());
    return row < mRulesSet.size() ? row : -1;
}

// One row per rule, then the built-in extraction, which cannot be selected.
void PreferencesController::reloadRules(int selectedRow) {
    rulesList->clear();
    for (const PostProcessRule& rule : mRulesSet)
        rulesList->addItem(rule.mDescription());
    auto* builtIn = new QListWidgetItem(text("BuiltInUnrarRule"), rulesList);
    builtIn->setFlags(Qt::ItemIsEnabled);
    QFont builtInFont = builtIn->font();
    builtInFont.setItalic(true);
    builtIn->setFont(builtInFont);
    if (selectedRow >= 0 && selectedRow < mRulesSet.size()) {
        rulesList->setCurrentRow(selectedRow);
        rulesList->scrollToItem(rulesList->item(selectedRow));
    }
    EnableDisable();
}

void PreferencesController::openRuleEditor(int index) {
    if (mRuleEditorController)
        return;
    mRuleEditingIndex = index;
    mRuleEditorController = new EditPPRuleController(this, this);
    mRuleEditorController->DoIt(
        index < 0 ? std::nullopt : std::optional<PostProcessRule>(mRulesSet[index]), this);
}

void PreferencesController::OnNewRule() {
    openRuleEditor(-1);
}

void PreferencesController::OnModifyRule() {
    const int rule = selectedRuleIndex();
    if (rule >= 0)
        openRuleEditor(rule);
}

void PreferencesController::editPPRuleController(EditPPRuleController* controller,
                                                 const std::optional<PostProcessRule>& rule) {
    controller->setDelegate(nullptr);
    controller->deleteLater();
    mRuleEditorController = nullptr;
    if (!rule)
        return;
    m_rulesChanged = true;
    if (mRuleEditingIndex < 0 || mRuleEditingIndex >= mRulesSet.size()) {
        mRulesSet.append(*rule);
        reloadRules(int(mRulesSet.size()) - 1);
    } else {
        mRulesSet[mRuleEditingIndex] = *rule;
        reloadRules(mRuleEditingIndex);
    }
}

void PreferencesController::OnDeleteRule() {
    const int rule = selectedRuleIndex();
    if (rule < 0)
        return;
    mRulesSet.removeAt(rule);
    m_rulesChanged = true;
    reloadRules(-1);
}

void PreferencesController::OnMoveRuleUp() {
    const int rule = selectedRuleIndex();
    if (rule <= 0)
        return;
    mRulesSet.swapItemsAt(rule, rule - 1);
    m_rulesChanged = true;
    reloadRules(rule - 1);
}

void PreferencesController::OnMoveRuleDown() {
    const int rule = selectedRuleIndex();
    if (rule < 0 || rule >= mRulesSet.size() - 1)
        return;
    mRulesSet.swapItemsAt(rule, rule + 1);
    m_rulesChanged = true;
    reloadRules(rule + 1);
}

void PreferencesController::OnStandard() {
    PARDocumentController::SetStandardPPRules(mRulesSet);
    m_rulesChanged = true;
    reloadRules(-1);
}
