#include "EventLoopWait.h"
#include "SampleSets.h"
#include "TestEnvironment.h"
#include "WindowTestSupport.h"
#include "app/PARDocumentController.h"
#include "par2/ui/EncodingSelectionDialog.h"
#include "par2/ui/EncodingSheetPresenter.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "window/StatusLine.h"

#include <QTreeWidget>

namespace {

// A PAR 2 set whose stored name reads differently in different character sets
// asks for one in a dialog over its window before the first run.
class EncodingChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        Preferences::setInteger(PrefKey::PrefFilenameEncoding, 30);
        const QString main =
            SampleSets::makeSetWithLatin1Name(TestEnvironment::makeFolder(QStringLiteral("names")));
        controller = SampleSets::openInWindow(documents, main);
        ASSERT_NE(controller, nullptr);
        document = std::dynamic_pointer_cast<MyDocument>(documents.documents().first());
        ASSERT_TRUE(spinUntil([&] { return dialog() != nullptr; }));
    }
    // A document that closed took its window (and window controller) with it.
    void TearDown() override {
        delete controller.data();
        Preferences::remove(PrefKey::PrefFilenameEncoding);
    }

    EncodingSelectionDialog* dialog() const {
        auto* found = controller->window()->findChild<EncodingSelectionDialog*>();
        return found != nullptr && found->isVisible() ? found : nullptr;
    }
    QString selectedReading() const {
        return dialog()->sampleTable()->topLevelItem(dialog()->selectedRow())->text(1);
    }

    EncodingSheetPresenter presenter;
    PARDocumentController documents;
    QPointer<ParWindowController> controller;
    std::shared_ptr<MyDocument> document;
};

TEST_F(EncodingChooserTest, CancelClosesTheDocument) {
    dialog()->reject();
    EXPECT_TRUE(spinUntil([&] { return document->isClosed(); }));
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::Idle);
    EXPECT_TRUE(spinUntil([&] { return controller.isNull(); }));
    EXPECT_EQ(Preferences::integerForKey(PrefKey::PrefFilenameEncoding), 30);
}

TEST_F(EncodingChooserTest, ShowsTheReadingsAndOKStartsTheRunWithTheChosenOne) {
    EXPECT_EQ(dialog()->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog()->sampleTable()->topLevelItemCount(), 5);
    EXPECT_EQ(dialog()->sampleTable()->topLevelItem(0)->text(1), "café crème.txt");
    EXPECT_EQ(selectedReading(), "cafÈ crËme.txt");
    dialog()->sampleTable()->setCurrentItem(dialog()->sampleTable()->topLevelItem(0));
    dialog()->accept();
    MyDocument* document = controller->document();
    EXPECT_EQ(document->m_Encoding(), 5u);
    EXPECT_EQ(Preferences::integerForKey(PrefKey::PrefFilenameEncoding), 5);
    EXPECT_FALSE(document->isClosed());
    EXPECT_TRUE(spinUntil([&] { return dialog() == nullptr; }));
    // The helper finds nothing to verify in this file, but the run took place.
    EXPECT_TRUE(SampleSets::waitForRunEnd(*controller));
}

} // namespace
