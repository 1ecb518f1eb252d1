#include "PrefsTestSupport.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "postprocess/DesktopApplications.h"
#include "postprocess/ui/EditPPRuleController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class RuleEditorTest : public ::testing::Test {
protected:
    void SetUp() override { showActive(&parent); }

    EditPPRuleController* edit(const std::optional<PostProcessRule>& rule) {
        editor = new EditPPRuleController(&delegate, &parent);
        editor->setProgramPicker([this] { return pickedProgram; });
        editor->DoIt(rule, &parent);
        showActive(editor);
        return editor;
    }

    template <typename Control> Control* find(const char* name) {
        return control<Control>(editor, name);
    }
    bool okEnabled() { return find<QPushButton>("mOKButton")->isEnabled(); }
    std::optional<PostProcessRule> confirm() {
        find<QPushButton>("mOKButton")->click();
        EXPECT_EQ(delegate.endings, 1);
        return delegate.result;
    }
    QAction* insertItem(int tag) {
        const QList<QAction*> items = find<QToolButton>("mInsertMenu")->menu()->actions();
        for (QAction* item : items) {
            if (item->data().toInt() == tag)
                return item;
        }
        return nullptr;
    }

    QWidget parent;
    RecordingRuleDelegate delegate;
    EditPPRuleController* editor = nullptr;
    QString pickedProgram;
};

QString writeProgram(const QString& folder, const char* name, const QByteArray& content) {
    const QString path = folder + '/' + name;
    EXPECT_TRUE(writeExecutable(path, content));
    return path;
}

const PostProcessRule programRule("Ark", PostProcessRule::EndsWith, ".7z", true,
                                  PostProcessRule::OpenWithProgram, "org.kde.ark.desktop",
                                  "https://apps.example.org/ark");

} // namespace

TEST_F(RuleEditorTest, AnIncompleteRuleCannotBeConfirmed) {
    edit(std::nullopt);
    EXPECT_FALSE(find<QPushButton>("mDownloadButton")->isVisible());
    EXPECT_FALSE(okEnabled());
    typeInto(find<QLineEdit>("mDescription"), "Tar");
    EXPECT_FALSE(okEnabled());
    typeInto(find<QLineEdit>("mCompareName"), ".tar");
    EXPECT_TRUE(okEnabled()) << "open with the default program needs nothing more";

    find<QRadioButton>("mOpenWithProgramChoice")->click();
    EXPECT_FALSE(okEnabled());
    EXPECT_TRUE(find<QLineEdit>("mAppName")->isEnabled());
    EXPECT_FALSE(find<QLineEdit>("mCommand")->isEnabled());
    // Return presses the default button; it must not confirm either.
    QTest::keyClick(find<QLineEdit>("mCompareName"), Qt::Key_Return);
    EXPECT_EQ(delegate.endings, 0);
    EXPECT_TRUE(editor->isVisible());

    find<QRadioButton>("mDoCommandLineChoice")->click();
    EXPECT_FALSE(okEnabled());
    EXPECT_FALSE(find<QLineEdit>("mAppName")->isEnabled());
    typeInto(find<QLineEdit>("mCommand"), "tar xf «F»");
    EXPECT_TRUE(okEnabled());
    const std::optional<PostProcessRule> rule = confirm();
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->mActionType(), PostProcessRule::RunCommandLine);
    EXPECT_EQ(rule->mAppOrCommand(), "tar xf «F»");
    EXPECT_EQ(rule->mFilenameRelation(), PostProcessRule::EndsWith);
    EXPECT_TRUE(rule->mURL().isEmpty());
}

TEST_F(RuleEditorTest, MacrosGoWhereTheCaretIs) {
    edit(PostProcessRule("Tar", PostProcessRule::EndsWith, ".tar", false,
                         PostProcessRule::RunCommandLine, "tar xf  now", ""));
    auto* command = find<QLineEdit>("mCommand");
    auto* insert = find<QToolButton>("mInsertMenu");
    find<QLineEdit>("mDescription")->setFocus();
    EXPECT_FALSE(insert->isEnabled()) << "only while the command is being edited";
    editor->onInsertSpecialChar(1);
    EXPECT_EQ(command->text(), "tar xf  now");

    command->setFocus();
    EXPECT_TRUE(insert->isEnabled());
    command->setCursorPosition(7);
    insertItem(1)->trigger();
    EXPECT_EQ(command->text(), "tar xf «F» now");
    command->setSelection(0, 3);
    insertItem(4)->trigger();
    EXPECT_EQ(command->text(), "«K» xf «F» now");
    EXPECT_TRUE(command->hasFocus());

    // «A» strips the matched ending, so it exists only for ends-with rules.
    emit insert->menu()->aboutToShow();
    EXPECT_TRUE(insertItem(EditPPRuleController::kAnyNameTag)->isEnabled());
    find<QComboBox>("mRelationPopup")->setCurrentIndex(1);
    emit insert->menu()->aboutToShow();
    EXPECT_FALSE(insertItem(EditPPRuleController::kAnyNameTag)->isEnabled());
    EXPECT_TRUE(insertItem(5)->isEnabled());
    command->setFocus();
    const std::optional<PostProcessRule> rule = confirm();
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->mAppOrCommand(), "«K» xf «F» now");
    EXPECT_EQ(rule->mFilenameRelation(), PostProcessRule::Contains);
}

TEST_F(RuleEditorTest, TheAddressStaysOnlyWithTheSameProgram) {
    edit(programRule);
    EXPECT_EQ(find<QLineEdit>("mAppName")->text(), "org.kde.ark");
    EXPECT_TRUE(find<QPushButton>("mDownloadButton")->isVisible());
    EXPECT_TRUE(find<QPushButton>("mDownloadButton")->text().contains("org.kde.ark.desktop"));
    typeInto(find<QLineEdit>("mDescription"), "Ark for 7z");
    find<QCheckBox>("mCompareNotCaseSensitive")->click();
    std::optional<PostProcessRule> rule = confirm();
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->mAppOrCommand(), "org.kde.ark.desktop");
    EXPECT_EQ(rule->mURL(), "https://apps.example.org/ark");
    EXPECT_FALSE(rule->mCaseInsensitive());
    EXPECT_EQ(rule->mDescription(), "Ark for 7z");

    delegate = {};
    edit(programRule);
    pickedProgram =
        writeProgram(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation),
                     "org.gnome.FileRoller.desktop",
                     "[Desktop Entry]\nType=Application\nName=Roller\nExec=sh\n");
    find<QPushButton>("mChooseAppButton")->click();
    EXPECT_EQ(find<QLineEdit>("mAppName")->text(), "org.gnome.FileRoller");
    rule = confirm();
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->mAppOrCommand(), "org.gnome.FileRoller.desktop");
    EXPECT_TRUE(rule->mURL().isEmpty());

    // Neither a desktop entry nor on PATH: only the full path finds it again.
    delegate = {};
    edit(programRule);
    pickedProgram = writeProgram(TestEnvironment::makeFolder("tools"), "unpack.sh", "#!/bin/sh\n");
    find<QPushButton>("mChooseAppButton")->click();
    EXPECT_EQ(find<QLineEdit>("mAppName")->text(), pickedProgram);
    rule = confirm();
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->mAppOrCommand(), pickedProgram);
    const auto program = DesktopApplications::find(rule->mAppOrCommand());
    ASSERT_TRUE(program);
    EXPECT_EQ(DesktopApplications::executablePath(*program), pickedProgram);

    delegate = {};
    edit(programRule);
    find<QRadioButton>("mOpenInFinderChoice")->click();
    rule = confirm();
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->mActionType(), PostProcessRule::OpenWithDefault);
    EXPECT_TRUE(rule->mAppOrCommand().isEmpty());
    EXPECT_TRUE(rule->mURL().isEmpty());
}
