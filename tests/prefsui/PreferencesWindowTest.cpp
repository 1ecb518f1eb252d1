#include "Localized.h"
#include "PrefsTestSupport.h"
#include "ScriptedAlertPresenter.h"
#include "app/PARDocumentController.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/NumberField.h"
#include "postprocess/ui/EditPPRuleController.h"
#include "preferences/ui/PreferencesController.h"

#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

// Two values for every key the window shows; each differs from the other and
// from what the controls show before they are loaded.
struct KeyValues {
    QString key;
    QVariant first;
    QVariant second;
};
// clang-format off
const KeyValues keyValues[] = {
    {PrefKey::NumMethod, 2, 1},                    {PrefKey::EveryXFilesValue, 7, 99},
    {PrefKey::AbsNumValue, 3, 0},                  {PrefKey::DeleteSegOption, 2, 0},
    {PrefKey::UnrarTargetExistsAction, 3, 1},      {PrefKey::AutoDeletePnn, false, true},
    {PrefKey::AutoPostProcess, false, true},       {PrefKey::KeepBrokenFiles, true, false},
    {PrefKey::AutoCloseDocument, true, false},     {PrefKey::AutoCheckUpdate, true, false},
    {PrefKey::UnrarDestinationDetermination, 2, 1}, {PrefKey::SimultaneousProcessing, true, false},
    {PrefKey::DefaultPar, 1, 2},                   {PrefKey::Par2BlockSize, 512, 419430},
    {PrefKey::Par2BlockSizeChoice, 2, 1},          {PrefKey::Par2LimitFileSize, false, true},
    {PrefKey::Par2Redundancy, 25, 100},            {PrefKey::UnattendedOperation, true, false}};
// clang-format on

void store(const QString& key, const QVariant& value) {
    if (value.typeId() == QMetaType::Bool)
        Preferences::setBool(key, value.toBool());
    else
        Preferences::setInteger(key, value.toInt());
}

QVariant stored(const QString& key, const QVariant& like) {
    return like.typeId() == QMetaType::Bool ? QVariant(Preferences::boolForKey(key))
                                            : QVariant(Preferences::integerForKey(key));
}

QByteArray storeBytes() {
    QSettings(Preferences::storePath(), QSettings::IniFormat).sync();
    QFile file(Preferences::storePath());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

class PreferencesWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(Preferences::storePath());
        documents = std::make_unique<PARDocumentController>();
        QList<PostProcessRule> rules{
            PostProcessRule("Zip", PostProcessRule::EndsWith, ".zip", true, 1, "", ""),
            PostProcessRule("7z", PostProcessRule::EndsWith, ".7z", true, 2, "ark", "https://a.b"),
            PostProcessRule("Log", PostProcessRule::Contains, "log", false, 3, "less «F»", "")};
        documents->SavePPRulesSet(rules);
    }

    std::unique_ptr<PreferencesController> open() {
        auto window = std::make_unique<PreferencesController>(*documents);
        window->setFolderChooser([this](const QString& start) {
            chooserStart = start;
            return chosenFolder;
        });
        showActive(window.get());
        return window;
    }

    QListWidget* rows(const PreferencesController& window) {
        return control<QListWidget>(&window, "rulesList");
    }
    QStringList ruleNames(const QList<PostProcessRule>& rules) {
        QStringList names;
        for (const PostProcessRule& rule : rules)
            names.append(rule.mDescription());
        return names;
    }

    std::unique_ptr<PARDocumentController> documents;
    QString chosenFolder;
    QString chooserStart;
};

} // namespace

TEST_F(PreferencesWindowTest, ShowsEveryKeyAndWritesItBack) {
    Preferences::setString(PrefKey::UnrarDestinationFolder, QStringLiteral("/srv/extracted"));
    for (const bool first : {true, false}) {
        for (const KeyValues& values : keyValues)
            store(values.key, first ? values.first : values.second);
        auto window = open();
        control<QPushButton>(window.get(), "mOKButton")->click();
        EXPECT_EQ(window->result(), QDialog::Accepted);
        for (const KeyValues& values : keyValues)
            EXPECT_EQ(stored(values.key, values.first), first ? values.first : values.second)
                << qPrintable(values.key);
        // The folder is written (and so must have been read) only while the fixed folder is chosen.
        EXPECT_EQ(Preferences::stringForKey(PrefKey::UnrarDestinationFolder), "/srv/extracted");
    }
}

TEST_F(PreferencesWindowTest, AnInvalidNumberKeepsTheWindowOpenWithItsAlert) {
    struct Case {
        const char* field;
        const char* value;
        const char* messageKey;
    };
    const Case cases[] = {{"everyXValue", "0", "WrongNumFilesPerPARErr"},
                          {"absValue", "100", "WrongNumPARErr"},
                          {"mPar2BlockSize", "419431", "WrongPAR2BlockSizeErr"},
                          {"mPar2Redundancy", "1 0", "WrongPAR2RedundancyErr"},
                          {"mPar2Redundancy", "4294967306", "WrongPAR2RedundancyErr"},
                          {"everyXValue", "-5", "WrongNumFilesPerPARErr"},
                          {"everyXValue", "", "WrongNumFilesPerPARErr"}};
    for (const Case& wrong : cases) {
        ScriptedAlertPresenter alerts;
        auto window = open();
        control<QCheckBox>(window.get(), "keepBrokenFiles")->click();
        // The field is checked even while it is disabled.
        NumberField* field = control<NumberField>(window.get(), wrong.field);
        field->setText(QString::fromUtf8(wrong.value));
        control<QPushButton>(window.get(), "mOKButton")->click();
        EXPECT_TRUE(window->isVisible()) << wrong.field << " " << wrong.value;
        ASSERT_EQ(alerts.shown.size(), 1) << wrong.field;
        EXPECT_EQ(alerts.shown[0].severity, AlertSeverity::Critical);
        EXPECT_TRUE(alerts.shown[0].title.isNull());
        EXPECT_EQ(alerts.shown[0].message, localized(wrong.messageKey));
        EXPECT_EQ(field->selectedText(), field->text());
        EXPECT_FALSE(Preferences::boolForKey(PrefKey::KeepBrokenFiles)) << "nothing was written";
    }
}

TEST_F(PreferencesWindowTest, CancelLeavesTheStoreAndTheRulesUntouched) {
    Preferences::setInteger(PrefKey::UnrarDestinationDetermination, 0);
    const QByteArray before = storeBytes();
    const QList<QByteArray> rulesBefore = Preferences::dataArrayForKey(PrefKey::PPRules);
    auto window = open();
    rows(*window)->setCurrentRow(0);
    control<QPushButton>(window.get(), "ruleDeleteButton")->click();
    control<QPushButton>(window.get(), "ruleNewButton")->click();
    EditPPRuleController* editor = window->ruleEditor();
    ASSERT_NE(editor, nullptr);
    typeInto(control<QLineEdit>(editor, "mDescription"), "Tar");
    typeInto(control<QLineEdit>(editor, "mCompareName"), ".tar");
    control<QPushButton>(editor, "mOKButton")->click();
    EXPECT_EQ(ruleNames(window->rules()), QStringList({"7z", "Log", "Tar"}));
    clickTag(window.get(), "unrarDestinationDetermination", 2);
    chosenFolder = QStringLiteral("/tmp");
    control<QPushButton>(window.get(), "chooseUnrarDestinationFolder")->click();
    control<QCheckBox>(window.get(), "autoCloseDocument")->click();
    control<QPushButton>(window.get(), "mCancelButton")->click();
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(storeBytes(), before);
    EXPECT_EQ(Preferences::dataArrayForKey(PrefKey::PPRules), rulesBefore);
}

TEST_F(PreferencesWindowTest, RulesThisVersionCannotReadSurviveAnOK) {
    QList<QByteArray> stored = Preferences::dataArrayForKey(PrefKey::PPRules);
    stored.insert(1, QByteArray("written by a later version"));
    Preferences::setDataArray(PrefKey::PPRules, stored);
    auto window = open();
    EXPECT_EQ(window->rules().size(), 3);
    control<QPushButton>(window.get(), "mOKButton")->click();
    EXPECT_EQ(Preferences::dataArrayForKey(PrefKey::PPRules), stored);
}

TEST_F(PreferencesWindowTest, ControlsThatDoNotApplyAreDisabled) {
    ScriptedAlertPresenter alerts;
    Preferences::setString(PrefKey::UnrarDestinationFolder, QStringLiteral("/srv/old"));
    Preferences::setInteger(PrefKey::UnrarDestinationDetermination, 2);
    auto window = open();
    auto* everyX = control<NumberField>(window.get(), "everyXValue");
    auto* absolute = control<NumberField>(window.get(), "absValue");
    control<QRadioButton>(window.get(), "radio2")->click();
    EXPECT_FALSE(everyX->isEnabled());
    EXPECT_TRUE(absolute->isEnabled());
    EXPECT_TRUE(absolute->hasFocus());
    control<QRadioButton>(window.get(), "radio1")->click();
    EXPECT_TRUE(everyX->isEnabled());
    EXPECT_FALSE(absolute->isEnabled());

    auto* blockSize = control<NumberField>(window.get(), "mPar2BlockSize");
    clickTag(window.get(), "mPar2BlockSizeChoice", 2);
    EXPECT_TRUE(blockSize->isEnabled());
    clickTag(window.get(), "mPar2BlockSizeChoice", 1);
    EXPECT_FALSE(blockSize->isEnabled());

    auto* folder = control<QLineEdit>(window.get(), "unrarDestinationFolder");
    auto* choose = control<QPushButton>(window.get(), "chooseUnrarDestinationFolder");
    EXPECT_TRUE(choose->isEnabled());
    chosenFolder = QStringLiteral("/srv/new");
    choose->click();
    EXPECT_EQ(chooserStart, "/srv/old");
    EXPECT_EQ(folder->text(), "/srv/new");
    clickTag(window.get(), "unrarDestinationDetermination", 0);
    EXPECT_TRUE(folder->text().isEmpty());
    EXPECT_FALSE(choose->isEnabled());

    EXPECT_TRUE(alerts.shown.isEmpty());
    clickTag(window.get(), "deleteSegmentsOption", 2);
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].message, localized("PermanentDeleteWarning"));
    EXPECT_EQ(checkedTag(window.get(), "deleteSegmentsOption"), 2);

    control<QPushButton>(window.get(), "mOKButton")->click();
    EXPECT_EQ(Preferences::stringForKey(PrefKey::UnrarDestinationFolder), "/srv/old");
    EXPECT_EQ(Preferences::integerForKey(PrefKey::UnrarDestinationDetermination), 0);
}

TEST_F(PreferencesWindowTest, RuleButtonsFollowTheSelectionAndEditTheWorkingCopyInPlace) {
    auto window = open();
    const auto enabledButtons = [&] {
        QStringList names;
        for (const char* name : {"ruleNewButton", "ruleModifyButton", "ruleDeleteButton",
                                 "ruleUpButton", "ruleDownButton"}) {
            if (control<QPushButton>(window.get(), name)->isEnabled())
                names.append(QString::fromLatin1(name).mid(4).chopped(6));
        }
        return names.join(u' ');
    };
    EXPECT_EQ(enabledButtons(), "New");
    QListWidget* list = rows(*window);
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(3)->text(), localized("BuiltInUnrarRule"));
    list->setCurrentRow(3);
    EXPECT_TRUE(list->selectedItems().isEmpty()) << "the built-in row cannot be selected";
    list->setCurrentRow(0);
    EXPECT_EQ(enabledButtons(), "New Modify Delete Down");
    list->setCurrentRow(2);
    EXPECT_EQ(enabledButtons(), "New Modify Delete Up");

    control<QPushButton>(window.get(), "ruleUpButton")->click();
    EXPECT_EQ(ruleNames(window->rules()), QStringList({"Zip", "Log", "7z"}));
    EXPECT_EQ(list->currentRow(), 1);
    control<QPushButton>(window.get(), "ruleDownButton")->click();
    EXPECT_EQ(ruleNames(window->rules()), QStringList({"Zip", "7z", "Log"}));

    // An edited rule keeps its place; a cancelled edit changes nothing.
    list->setCurrentRow(1);
    control<QPushButton>(window.get(), "ruleModifyButton")->click();
    typeInto(control<QLineEdit>(window->ruleEditor(), "mDescription"), "Seven");
    control<QPushButton>(window->ruleEditor(), "mOKButton")->click();
    EXPECT_EQ(ruleNames(window->rules()), QStringList({"Zip", "Seven", "Log"}));
    EXPECT_EQ(window->rules()[1].mURL(), "https://a.b");
    QCoreApplication::processEvents();
    list->setCurrentRow(0);
    control<QPushButton>(window.get(), "ruleModifyButton")->click();
    typeInto(control<QLineEdit>(window->ruleEditor(), "mDescription"), "Nope");
    control<QPushButton>(window->ruleEditor(), "mCancelButton")->click();
    EXPECT_EQ(ruleNames(window->rules()), QStringList({"Zip", "Seven", "Log"}));

    control<QPushButton>(window.get(), "mStandardButton")->click();
    EXPECT_EQ(window->rules().size(), 5);
    control<QPushButton>(window.get(), "mOKButton")->click();
    EXPECT_EQ(documents->ReadPPRulesSet().size(), 5);
}
