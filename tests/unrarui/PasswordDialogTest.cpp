#include "ExtractionWithWidgets.h"
#include "TestEnvironment.h"
#include "UnrarTestSupport.h"
#include "unrar/ui/UnrarPasswordController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::AnyOf;

TEST(PasswordDialog, CancelEndsTheExtractionQuietly) {
    const QString fixtures = makeFixtures(QStringLiteral("make-rar-basic"));
    const QString output = TestEnvironment::makeFolder(QStringLiteral("refused"));
    // The dialog runs its own modal loop while the extraction waits for it, so it is
    // answered from a timer that fires inside that loop.
    QStringList shownNames;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        UnrarPasswordController* dialog = visibleTopLevel<UnrarPasswordController>();
        if (dialog == nullptr || !shownNames.isEmpty())
            return;
        shownNames.append(dialog->archiveName()->text());
        QTest::keyClicks(dialog->password(), QStringLiteral("half"));
        dialog->cancelButton()->click();
    });
    timer.start(20);

    ExtractionWithWidgets run;
    run.controller->setupForUnrarDocument(fixtures + "/headers.rar", output);
    run.controller->startExclusiveProcessing();
    ASSERT_TRUE(run.waitForEnd());

    // With encrypted headers no entry is known yet: the archive is named.
    EXPECT_EQ(shownNames, QStringList{QStringLiteral("headers.rar")});
    EXPECT_EQ(run.result.outcome, UnrarOutcome::Canceled);
    EXPECT_TRUE(run.alerts.shown.isEmpty()) << "the user knows why it stopped";
    EXPECT_TRUE(run.notices.isEmpty());
    EXPECT_TRUE(treeOf(output).isEmpty());
}

// The dialog stays open over a wrong password, says so, and takes the right one
// typed into it.
TEST(PasswordDialog, AWrongPasswordIsAskedForAgainAndTheTypedOneExtractsTheArchive) {
    const QString fixtures = makeFixtures(QStringLiteral("make-rar-basic"));
    const QString output = TestEnvironment::makeFolder(QStringLiteral("retried"));
    QList<UnrarPasswordController*> dialogs;
    QStringList shownNames;
    QList<bool> problemShown;
    bool okDisabledWhileEmpty = false;
    bool masked = false;
    bool busy = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        UnrarPasswordController* dialog = visibleTopLevel<UnrarPasswordController>();
        if (busy || dialog == nullptr || !dialog->isEnabled() || dialogs.size() >= 2)
            return;
        busy = true;
        dialogs.append(dialog);
        shownNames.append(dialog->archiveName()->text());
        problemShown.append(dialog->problem()->isVisible());
        dialog->password()->clear();
        okDisabledWhileEmpty = !dialog->okButton()->isEnabled();
        masked = dialog->password()->echoMode() == QLineEdit::Password;
        QTest::keyClicks(dialog->password(),
                         dialogs.size() == 1 ? QStringLiteral("wrong") : QStringLiteral("secret"));
        QTest::keyClick(dialog->password(), Qt::Key_Return);
        busy = false;
    });
    timer.start(20);

    ExtractionWithWidgets run;
    run.controller->setupForUnrarDocument(fixtures + "/password.rar", output);
    run.controller->startExclusiveProcessing();
    ASSERT_TRUE(run.waitForEnd());

    EXPECT_EQ(run.result.outcome, UnrarOutcome::Finished) << run.result.errorText.toStdString();
    ASSERT_EQ(dialogs.size(), 2);
    EXPECT_EQ(dialogs[0], dialogs[1]) << "asked again in the same dialog";
    EXPECT_THAT(shownNames.first().toStdString(), AnyOf("one.txt", "two.txt"))
        << "the entry's last path component";
    EXPECT_EQ(problemShown, QList<bool>({false, true}));
    EXPECT_TRUE(okDisabledWhileEmpty);
    EXPECT_TRUE(masked);
    EXPECT_TRUE(run.alerts.shown.isEmpty());
    for (const char* name : {"one.txt", "two.txt"})
        EXPECT_EQ(readFile(output + "/locked/" + name),
                  readFile(fixtures + "/src-locked/locked/" + name));
}
