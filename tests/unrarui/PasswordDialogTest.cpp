#include "ExtractionWithWidgets.h"
#include "TestEnvironment.h"
#include "UnrarTestSupport.h"
#include "unrar/ui/UnrarPasswordController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::AnyOf;

namespace {

// The dialog runs its own modal loop while the extraction waits for it, so it
// is answered from a timer that fires inside that loop.
class DialogAnswerer {
public:
    explicit DialogAnswerer(std::function<void(UnrarPasswordController&)> answer)
        : m_answer(std::move(answer)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answerOpenDialog(); });
        m_timer.start(20);
    }

    QStringList shownNames;

private:
    void answerOpenDialog() {
        UnrarPasswordController* dialog = visibleTopLevel<UnrarPasswordController>();
        if (dialog == nullptr || dialog->property("answered").toBool())
            return;
        dialog->setProperty("answered", true);
        shownNames.append(dialog->archiveName()->text());
        m_answer(*dialog);
    }

    std::function<void(UnrarPasswordController&)> m_answer;
    QTimer m_timer;
};

} // namespace

TEST(PasswordDialog, TypedPasswordExtractsTheArchiveIntact) {
    const QString fixtures = makeFixtures(QStringLiteral("make-rar-basic"));
    const QString output = TestEnvironment::makeFolder(QStringLiteral("typed"));
    bool okDisabledWhileEmpty = false;
    bool masked = false;
    DialogAnswerer answerer([&](UnrarPasswordController& dialog) {
        okDisabledWhileEmpty = !dialog.okButton()->isEnabled();
        masked = dialog.password()->echoMode() == QLineEdit::Password;
        QTest::keyClicks(dialog.password(), QStringLiteral("secret"));
        QTest::keyClick(dialog.password(), Qt::Key_Return);
    });

    ExtractionWithWidgets run;
    run.controller->setupForUnrarDocument(fixtures + "/password.rar", output);
    run.controller->startExclusiveProcessing();
    ASSERT_TRUE(run.waitForEnd());

    EXPECT_EQ(run.result.outcome, UnrarOutcome::Finished) << run.result.errorText.toStdString();
    ASSERT_FALSE(answerer.shownNames.isEmpty());
    EXPECT_THAT(answerer.shownNames.first().toStdString(), AnyOf("one.txt", "two.txt"))
        << "the entry's last path component";
    EXPECT_TRUE(okDisabledWhileEmpty);
    EXPECT_TRUE(masked);
    for (const char* name : {"one.txt", "two.txt"})
        EXPECT_EQ(readFile(output + "/locked/" + name),
                  readFile(fixtures + "/src-locked/locked/" + name));
}

TEST(PasswordDialog, CancelFailsTheExtractionWithAnAlert) {
    const QString fixtures = makeFixtures(QStringLiteral("make-rar-basic"));
    const QString output = TestEnvironment::makeFolder(QStringLiteral("refused"));
    DialogAnswerer answerer([](UnrarPasswordController& dialog) {
        QTest::keyClicks(dialog.password(), QStringLiteral("half"));
        dialog.cancelButton()->click();
    });

    ExtractionWithWidgets run;
    run.controller->setupForUnrarDocument(fixtures + "/headers.rar", output);
    run.controller->startExclusiveProcessing();
    ASSERT_TRUE(run.waitForEnd());

    // With encrypted headers no entry is known yet: the archive is named.
    EXPECT_EQ(answerer.shownNames, QStringList{QStringLiteral("headers.rar")});
    EXPECT_EQ(run.result.outcome, UnrarOutcome::Failed);
    ASSERT_EQ(run.alerts.shown.size(), 1);
    EXPECT_EQ(run.alerts.shown.first().title, QStringLiteral("headers.rar"));
    EXPECT_TRUE(treeOf(output).isEmpty());
}
