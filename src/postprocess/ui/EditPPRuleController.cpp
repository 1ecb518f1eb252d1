#include "EditPPRuleController.h"

#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "platform/Workspace.h"
#include "platform/ui/DialogButtons.h"
#include "platform/ui/TabOrder.h"
#include "postprocess/DesktopApplications.h"
#include "postprocess/ui/ProgramPicker.h"
#include "postprocess/ui/VLMEditPPRuleControllerDelegate.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString text(const char* key) {
    return StringTables::localized(QLatin1String(key));
}

// Menu item tag - 1 → token.
const QStringList& macroTokens() {
    static const QStringList tokens{QStringLiteral("«F»"), QStringLiteral("«E»"),
                                    QStringLiteral("«L»"), QStringLiteral("«K»"),
                                    QStringLiteral("«D»"), QStringLiteral("«A»")};
    return tokens;
}

const char* const kTokenTitleKeys[] = {"InsertPathToken",   "InsertPathNoExtToken",
                                       "InsertNameToken",   "InsertNameNoExtToken",
                                       "InsertFolderToken", "InsertNameNoMatchToken"};

// The relation menu lists "ends with" first, then "contains".
int relationItem(int32_t relation) {
    switch (relation) {
    case PostProcessRule::EndsWith:
        return 0;
    case PostProcessRule::Contains:
        return 1;
    default:
        return -1;
    }
}

int32_t relationOfItem(int item) {
    switch (item) {
    case 0:
        return PostProcessRule::EndsWith;
    case 1:
        return PostProcessRule::Contains;
    default:
        return PostProcessRule::NoRelation;
    }
}

constexpr int kIconSize = 24;

} // namespace

EditPPRuleController::EditPPRuleController(VLMEditPPRuleControllerDelegate* delegate,
                                           QWidget* parent)
    : QDialog(parent), m_delegate(delegate),
      m_programPicker([this] { return ProgramPicker::choose(this); }) {
    setObjectName(QStringLiteral("EditRule"));
    setWindowTitle(text("EditRuleTitle"));
    buildInterface();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { commandFocusChanged(now); });
}

void EditPPRuleController::buildInterface() {
    mDescription = new QLineEdit(this);
    mDescription->setObjectName(QStringLiteral("mDescription"));
    mDescription->setMinimumWidth(320);

    mActionChoices = new QButtonGroup(this);
    mOpenInFinderChoice = new QRadioButton(text("RuleOpenWithDefault"), this);
    mOpenWithProgramChoice = new QRadioButton(text("RuleOpenWithProgram"), this);
    mDoCommandLineChoice = new QRadioButton(text("RuleRunCommandLine"), this);
    mOpenInFinderChoice->setObjectName(QStringLiteral("mOpenInFinderChoice"));
    mOpenWithProgramChoice->setObjectName(QStringLiteral("mOpenWithProgramChoice"));
    mDoCommandLineChoice->setObjectName(QStringLiteral("mDoCommandLineChoice"));
    for (QRadioButton* choice : {mOpenInFinderChoice, mOpenWithProgramChoice, mDoCommandLineChoice})
        mActionChoices->addButton(choice);
    connect(mActionChoices, &QButtonGroup::buttonClicked, this,
            [this](QAbstractButton* choice) { onActionChoice(choice); });

    auto* actions = new QVBoxLayout;
    actions->addWidget(mOpenInFinderChoice);
    actions->addWidget(mOpenWithProgramChoice);
    actions->addWidget(buildProgramRow());
    actions->addWidget(mDoCommandLineChoice);
    actions->addWidget(buildCommandRow());

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* descriptionLabel = new QLabel(text("RuleDescriptionLabel"), this);
    descriptionLabel->setBuddy(mDescription);
    form->addRow(descriptionLabel, mDescription);
    form->addRow(new QLabel(text("RuleMatchLabel"), this), buildMatchRow());
    form->addRow(new QLabel(text("RuleActionLabel"), this), actions);

    mDownloadButton = new QPushButton(this);
    mDownloadButton->setObjectName(QStringLiteral("mDownloadButton"));
    mDownloadButton->setAutoDefault(false);
    connect(mDownloadButton, &QPushButton::clicked, this, &EditPPRuleController::onDownload);

    auto* buttons = new QDialogButtonBox(this);
    mOKButton = buttons->addButton(text("OKButton"), QDialogButtonBox::AcceptRole);
    mCancelButton = buttons->addButton(text("CancelButton"), QDialogButtonBox::RejectRole);
    mOKButton->setObjectName(QStringLiteral("mOKButton"));
    mCancelButton->setObjectName(QStringLiteral("mCancelButton"));
    DialogButtons::followTheme(buttons);
    mOKButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(mDownloadButton);
    bottom->addStretch();
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QLineEdit* field : {mDescription, mCompareName, mAppName, mCommand})
        connect(field, &QLineEdit::textChanged, this, [this] { EnableDisable(nullptr); });
    TabOrder::chain({mDescription, mRelationPopup, mCompareName, mCompareNotCaseSensitive,
                     mOpenInFinderChoice, mOpenWithProgramChoice, mAppName, mChooseAppButton,
                     mDoCommandLineChoice, mCommand, mDownloadButton, mCancelButton, mOKButton});
}

QWidget* EditPPRuleController::buildMatchRow() {
    auto* row = new QWidget(this);
    mRelationPopup = new QComboBox(row);
    mRelationPopup->setObjectName(QStringLiteral("mRelationPopup"));
    mRelationPopup->addItems({text("RuleEndsWith"), text("RuleContains")});
    mCompareName = new QLineEdit(row);
    mCompareName->setObjectName(QStringLiteral("mCompareName"));
    mCompareNotCaseSensitive = new QCheckBox(text("RuleIgnoreCase"), row);
    mCompareNotCaseSensitive->setObjectName(QStringLiteral("mCompareNotCaseSensitive"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mRelationPopup);
    layout->addWidget(mCompareName, 1);
    layout->addWidget(mCompareNotCaseSensitive);
    return row;
}

QWidget* EditPPRuleController::buildProgramRow() {
    auto* row = new QWidget(this);
    mAppIcon = new QLabel(row);
    mAppIcon->setObjectName(QStringLiteral("mAppIcon"));
    mAppIcon->setFixedSize(kIconSize, kIconSize);
    mAppName = new QLineEdit(row);
    mAppName->setObjectName(QStringLiteral("mAppName"));
    // A typed name is taken as it is, without the extension of a program chosen before.
    connect(mAppName, &QLineEdit::textEdited, this, [this] { mAppExtension.clear(); });
    mChooseAppButton = new QPushButton(text("RuleChooseProgram"), row);
    mChooseAppButton->setObjectName(QStringLiteral("mChooseAppButton"));
    mChooseAppButton->setAutoDefault(false);
    connect(mChooseAppButton, &QPushButton::clicked, this,
            &EditPPRuleController::onChooseAppButton);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(24, 0, 0, 0);
    layout->addWidget(mAppIcon);
    layout->addWidget(mAppName, 1);
    layout->addWidget(mChooseAppButton);
    return row;
}

QWidget* EditPPRuleController::buildCommandRow() {
    auto* row = new QWidget(this);
    mCommand = new QLineEdit(row);
    mCommand->setObjectName(QStringLiteral("mCommand"));
    mInsertItems = new QMenu(row);
    for (int tag = kFirstTokenTag; tag <= kAnyNameTag; ++tag) {
        QAction* item = mInsertItems->addAction(text(kTokenTitleKeys[tag - 1]) +
                                                QStringLiteral("  ") + macroTokens()[tag - 1]);
        item->setData(tag);
        connect(item, &QAction::triggered, this, [this, tag] { onInsertSpecialChar(tag); });
    }
    connect(mInsertItems, &QMenu::aboutToShow, this, &EditPPRuleController::onInsertMenuPopup);
    mInsertMenu = new QToolButton(row);
    mInsertMenu->setObjectName(QStringLiteral("mInsertMenu"));
    mInsertMenu->setText(text("RuleInsertMacro"));
    mInsertMenu->setToolButtonStyle(Qt::ToolButtonTextOnly);
    mInsertMenu->setPopupMode(QToolButton::InstantPopup);
    mInsertMenu->setMenu(mInsertItems);
    // Clicking it must leave the keyboard focus, and so the caret, in the command.
    mInsertMenu->setFocusPolicy(Qt::NoFocus);
    mInsertMenu->setEnabled(false);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(24, 0, 0, 0);
    layout->addWidget(mCommand, 1);
    layout->addWidget(mInsertMenu);
    return row;
}

void EditPPRuleController::DoIt(const std::optional<PostProcessRule>& rule, QWidget* parentWindow) {
    mAppName->clear();
    mAppExtension.clear();
    mOriginalRule = rule;
    if (rule) {
        fillFromRule(*rule);
        prepareDownloadButtonForRule(*rule);
    } else {
        mRelationPopup->setCurrentIndex(0);
        mOpenInFinderChoice->setChecked(true);
        mDownloadButton->hide();
    }
    EnableDisable(nullptr);
    if (parentWindow != nullptr && parentWidget() != parentWindow)
        setParent(parentWindow, windowFlags());
    setWindowModality(Qt::WindowModal);
    open();
    mDescription->setFocus();
}

void EditPPRuleController::fillFromRule(const PostProcessRule& rule) {
    mDescription->setText(rule.mDescription());
    mRelationPopup->setCurrentIndex(relationItem(rule.mFilenameRelation()));
    mCompareName->setText(rule.mCompareString());
    mCompareNotCaseSensitive->setChecked(rule.mCaseInsensitive());
    mActionChoices->setExclusive(false);
    for (QAbstractButton* choice : mActionChoices->buttons())
        choice->setChecked(false);
    mActionChoices->setExclusive(true);
    switch (rule.mActionType()) {
    case PostProcessRule::OpenWithDefault:
        mOpenInFinderChoice->setChecked(true);
        break;
    case PostProcessRule::OpenWithProgram: {
        mOpenWithProgramChoice->setChecked(true);
        showProgram(rule.mAppOrCommand());
        // A name the rule matches, for programs that depend on the kind of file.
        const QString sampleName = rule.mFilenameRelation() == PostProcessRule::EndsWith
                                       ? QStringLiteral("file") + rule.mCompareString()
                                       : QString();
        Workspace* workspace = Workspace::current();
        showProgramIcon(
            workspace != nullptr &&
            !workspace->fullPathForApplication(rule.mAppOrCommand(), sampleName).isNull());
        break;
    }
    default:
        mDoCommandLineChoice->setChecked(true);
        mCommand->setText(rule.mAppOrCommand());
        break;
    }
}

// A program kept by its full path shows that path, extension and all.
void EditPPRuleController::showProgram(const QString& nameWithExtension) {
    if (nameWithExtension.contains(u'/')) {
        mAppExtension.clear();
        mAppName->setText(nameWithExtension);
        return;
    }
    const QFileInfo program(nameWithExtension);
    mAppExtension = program.suffix();
    mAppName->setText(mAppExtension.isEmpty() ? nameWithExtension : program.completeBaseName());
}

void EditPPRuleController::showProgramIcon(bool found) {
    const QIcon icon = found ? QIcon::fromTheme(QStringLiteral("application-x-executable"),
                                                style()->standardIcon(QStyle::SP_DesktopIcon))
                             : style()->standardIcon(QStyle::SP_MessageBoxWarning);
    mAppIcon->setPixmap(icon.pixmap(kIconSize, kIconSize));
    mAppIcon->setToolTip(found ? QString() : text("MissingApp"));
}

void EditPPRuleController::prepareDownloadButtonForRule(const PostProcessRule& rule) {
    if (rule.mActionType() == PostProcessRule::OpenWithDefault || rule.mURL().isEmpty()) {
        mDownloadButton->hide();
        return;
    }
    const QString target = rule.mActionType() == PostProcessRule::OpenWithProgram
                               ? rule.mAppOrCommand()
                               : text("GenericDLTarget");
    mDownloadButton->setText(formatString(text("DownloadRuleTarget"), target));
    mDownloadButton->show();
}

void EditPPRuleController::EnableDisable(QAbstractButton* sender) {
    QAbstractButton* selected = sender;
    if (selected == nullptr)
        selected = mDoCommandLineChoice->isChecked()  ? mDoCommandLineChoice
                   : mOpenInFinderChoice->isChecked() ? mOpenInFinderChoice
                                                      : mOpenWithProgramChoice;
    const bool withProgram = selected == mOpenWithProgramChoice;
    const bool withCommand = selected == mDoCommandLineChoice;
    mChooseAppButton->setEnabled(withProgram);
    mAppName->setEnabled(withProgram);
    if (!withCommand && mCommand->hasFocus())
        mDescription->setFocus();
    mCommand->setEnabled(withCommand);

    bool complete = !mDescription->text().isEmpty() && !mCompareName->text().isEmpty();
    if (withProgram)
        complete = complete && !mAppName->text().isEmpty();
    if (withCommand)
        complete = complete && !mCommand->text().isEmpty();
    mOKButton->setEnabled(complete);
}

// Choosing an action that needs a text takes the user to its field, so that
// from the keyboard the command, and its Insert menu, are one keystroke away.
void EditPPRuleController::onActionChoice(QAbstractButton* choice) {
    EnableDisable(choice);
    if (choice == mDoCommandLineChoice)
        mCommand->setFocus();
    else if (choice == mOpenWithProgramChoice)
        mAppName->setFocus();
}

// Only widgets of this sheet count: a popup menu or another window taking the
// focus for a moment does not end the editing of the command.
void EditPPRuleController::commandFocusChanged(QWidget* now) {
    if (now == nullptr || now->window() != this)
        return;
    mInsertMenu->setEnabled(now == mCommand);
}

void EditPPRuleController::onInsertMenuPopup() {
    const QList<QAction*> items = mInsertItems->actions();
    for (QAction* item : items) {
        if (item->data().toInt() == kAnyNameTag)
            item->setEnabled(mRelationPopup->currentIndex() == 0);
    }
}

void EditPPRuleController::onInsertSpecialChar(int tag) {
    if (tag < kFirstTokenTag || tag > kAnyNameTag || !mInsertMenu->isEnabled())
        return;
    mCommand->insert(macroTokens()[tag - 1]);
    mCommand->setFocus();
    EnableDisable(mDoCommandLineChoice);
}

void EditPPRuleController::onChooseAppButton() {
    const QString chosen = m_programPicker();
    if (chosen.isEmpty())
        return;
    showProgram(DesktopApplications::nameToKeep(chosen));
    showProgramIcon(true);
    EnableDisable(nullptr);
}

void EditPPRuleController::onDownload() {
    if (!mOriginalRule || mOriginalRule->mURL().isEmpty())
        return;
    if (Workspace* workspace = Workspace::current())
        workspace->openURL(mOriginalRule->mURL());
}

PostProcessRule EditPPRuleController::ruleFromControls() const {
    int32_t action = PostProcessRule::OpenWithDefault;
    QString appOrCommand;
    if (mDoCommandLineChoice->isChecked()) {
        action = PostProcessRule::RunCommandLine;
        appOrCommand = mCommand->text();
    } else if (mOpenWithProgramChoice->isChecked()) {
        action = PostProcessRule::OpenWithProgram;
        appOrCommand = mAppName->text();
        if (!mAppExtension.isEmpty())
            appOrCommand += u'.' + mAppExtension;
    }
    const PostProcessRule rule(mDescription->text(), relationOfItem(mRelationPopup->currentIndex()),
                               mCompareName->text(), mCompareNotCaseSensitive->isChecked(), action,
                               appOrCommand, QString());
    return DetermineRuleURLFromOldRule(mOriginalRule, rule);
}

PostProcessRule
EditPPRuleController::DetermineRuleURLFromOldRule(const std::optional<PostProcessRule>& oldRule,
                                                  const PostProcessRule& newRule) {
    const int32_t action = newRule.mActionType();
    const bool sameTarget =
        oldRule &&
        (action == PostProcessRule::OpenWithProgram || action == PostProcessRule::RunCommandLine) &&
        action == oldRule->mActionType() && newRule.mAppOrCommand() == oldRule->mAppOrCommand();
    if (!sameTarget)
        return newRule;
    return PostProcessRule(newRule.mDescription(), newRule.mFilenameRelation(),
                           newRule.mCompareString(), newRule.mCaseInsensitive(), action,
                           newRule.mAppOrCommand(), oldRule->mURL());
}

void EditPPRuleController::done(int result) {
    // Return (the default button) must not confirm an incomplete rule.
    if (result == Accepted && !mOKButton->isEnabled())
        return;
    std::optional<PostProcessRule> rule;
    if (result == Accepted)
        rule = ruleFromControls();
    QDialog::done(result);
    if (m_delegate != nullptr)
        m_delegate->editPPRuleController(this, rule);
}
