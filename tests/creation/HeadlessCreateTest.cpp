#include "app/HeadlessCreate.h"

#include "CreationTestSupport.h"
#include "Localized.h"
#include "ScriptedAlertPresenter.h"
#include "app/PARDocumentController.h"
#include "par2/PAR2Document.h"
#include "platform/StringFormat.h"

#include <gtest/gtest.h>

TEST(HeadlessCreateTest, CreatesTheSetInTheFilesFolderOrRefusesWithAReason) {
    useBuiltHelpers();
    ScriptedAlertPresenter alerts;
    PARDocumentController controller;
    const QString folder = TestEnvironment::makeFolder("headless");
    const QString other = TestEnvironment::makeFolder("headless-other");
    const QStringList files = makeSubjectFiles(folder, 3);
    writeFile(folder, "taken.par2", "keep");
    const auto refusal = [&](const QString& name, const QString& number, const QStringList& paths) {
        QString error;
        EXPECT_FALSE(HeadlessCreate::start(controller, nullptr, std::make_shared<PAR2Document>(),
                                           name, number, paths, &error));
        return error;
    };
    EXPECT_EQ(refusal("s", "100", files), localized("WrongNumPARErr"));
    EXPECT_EQ(refusal("s", "ten", files), localized("WrongNumPARErr"));
    EXPECT_TRUE(refusal("s", "5", {}).contains("no files"));
    EXPECT_TRUE(refusal("s", "5", files + QStringList(other + "/x")).contains("no such file"));
    EXPECT_TRUE(refusal("s", "5", files + QStringList(writeFile(other, "y", "y")))
                    .contains("share one folder"));
    EXPECT_TRUE(refusal("s", "5", {folder + "/taken.par2"}).contains("recovery file"));
    EXPECT_EQ(refusal("", "5", files), formatString(localized("BadSetNameErr"), QString()));
    EXPECT_TRUE(refusal("taken.par2", "5", files).contains("exists already"));
    // Asked for elsewhere, the set is not quietly made in the files' folder.
    EXPECT_TRUE(refusal(other + "/made", "5", files).contains("folder of its files"));
    EXPECT_FALSE(QFile::exists(folder + "/made.par2"));
    EXPECT_TRUE(controller.documents().isEmpty());
    EXPECT_EQ(QFile(folder + "/taken.par2").size(), 4);

    QString error;
    const auto document =
        HeadlessCreate::start(controller, nullptr, std::make_shared<PAR2Document>(),
                              folder + "/made", QString(), files + files, &error);
    ASSERT_TRUE(document) << error.toStdString();
    ASSERT_TRUE(runEnded(*document));
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::Created)
        << document->ParOutput().toStdString();
    EXPECT_EQ(document->numSubjectFiles(), 3);
    EXPECT_EQ(document->fileName(), folder + "/made.par2");
    EXPECT_EQ(controller.documents().size(), 1);
    EXPECT_EQ(par2Verify(folder, "made.par2"), 0);
    EXPECT_TRUE(alerts.shown.isEmpty());
    qunsetenv("VELMORA_HELPERS_DIR");
}
