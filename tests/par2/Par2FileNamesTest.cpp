#include "EventLoopWait.h"
#include "Par2TestSupport.h"
#include "par2/EncodingSelectionController.h"
#include "par2/EncodingSelectionSheet.h"
#include "par2/FilenameEncodings.h"
#include "par2/TargetFileList.h"
#include "par2/VLMEncodingSelectionControllerDelegate.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

std::optional<QList<QByteArray>> namesIn(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TargetFileList list;
    if (!list.createFileArray(buffer))
        return std::nullopt;
    return list.getFileArray();
}

QStringList texts(const QList<DecodedString>& samples) {
    QStringList result;
    for (const DecodedString& sample : samples)
        result.append(sample.getString());
    return result;
}

struct RecordingDelegate : VLMEncodingSelectionControllerDelegate {
    void encodingSelectionController(EncodingSelectionController*, int code,
                                     uint32_t encoding) override {
        results.append({code, encoding});
    }
    QList<QPair<int, uint32_t>> results;
};

// Ends every sheet at once with the scripted code and row.
struct ScriptedSheet : EncodingSelectionSheet {
    ScriptedSheet(int code, int row) : code(code), row(row) { install(this); }
    ~ScriptedSheet() override { install(nullptr); }
    void beginSheet(const std::shared_ptr<EncodingSelectionController>& controller,
                    DocumentWindowInterface*) override {
        initialRow = controller->windowDidLoad();
        controller->sheetDidEnd(code, row);
    }
    int code, row, initialRow = -1;
};

} // namespace

TEST(TargetFileListTest, ReadsEveryNameOnceAndTrimsItsPadding) {
    const QByteArray file = par2Packet(kMainPacketType, QByteArray(12, 'm')) +
                            fileDescriptionPacket("b.txt", 3) + fileDescriptionPacket("zero", 4) +
                            fileDescriptionPacket("b.txt", 3) + fileDescriptionPacket("a.bin");
    EXPECT_EQ(namesIn(file), QList<QByteArray>({"b.txt", QByteArray("zero\0", 5), "a.bin"}));
    EXPECT_EQ(namesIn(QByteArray()), QList<QByteArray>());
}

TEST(TargetFileListTest, MalformedFilesYieldNoNames) {
    const QByteArray good = fileDescriptionPacket("a.bin");
    QByteArray badMagic = good;
    badMagic[3] = 'X';
    const QByteArray fixedFieldsOnly =
        par2Packet(Par2FileDefs::filedescriptionpacket_type,
                   QByteArray(Par2FileDefs::kFileDescNameOffset, 'h'));
    for (const QByteArray& bad :
         {good + good.left(40), badMagic, fixedFieldsOnly,
          par2Packet(Par2FileDefs::filedescriptionpacket_type, QByteArray(80, 'h'), 70),
          par2Packet(kMainPacketType, QByteArray(8, 'm'), 32),
          par2Packet(Par2FileDefs::filedescriptionpacket_type, QByteArray(80, 'h'), 1 << 30),
          par2Packet(kMainPacketType, QByteArray(8, 'm'), std::numeric_limits<qint64>::max()),
          good.left(good.size() - 1)})
        EXPECT_FALSE(namesIn(bad)) << bad.toHex().toStdString();
    EXPECT_FALSE(TargetFileList::initFromPar2File(QStringLiteral("/nonexistent/x.par2")));
}

TEST(EncodingSamplesTest, CandidatesDifferInTextAndCarryTheFirstEncodingThatGivesThem) {
    const QList<DecodedString> plain = EncodingSelectionController::candidatesFor("movie.avi");
    ASSERT_EQ(plain.size(), 1);
    EXPECT_EQ(plain.first().getEncoding(), FilenameEncodings::kDefaultEncoding);
    // Shift JIS reads the backslash as a yen sign.
    EXPECT_EQ(EncodingSelectionController::candidatesFor("a\\b").size(), 2);

    const QList<DecodedString> accented = EncodingSelectionController::candidatesFor("caf\xe9");
    EXPECT_TRUE(texts(accented).contains(QStringLiteral("café")));
    EXPECT_TRUE(texts(accented).contains(QStringLiteral("cafÈ"))); // Mac OS Roman
    EXPECT_EQ(texts(accented).removeDuplicates(), 0);
    EXPECT_FALSE(FilenameEncodings::decode(4, "caf\xe9"));
    EXPECT_EQ(FilenameEncodings::decode(4, "caf\xc3\xa9"), QStringLiteral("café"));
    EXPECT_EQ(FilenameEncodings::decode(21, "\x1b$B$3\x1b(B"), QStringLiteral("こ"));

    // The name with the most readings wins; on a tie the longer one.
    const QList<QByteArray> names = {"plain", "a\xe9\xe8", "abcdef\xe9\xe8", "xyz\xe9\xe8"};
    EXPECT_EQ(texts(EncodingSelectionController::chooseSamples(names)),
              texts(EncodingSelectionController::candidatesFor(names[2])));
    EXPECT_TRUE(EncodingSelectionController::chooseSamples({}).isEmpty());
}

TEST(EncodingSelectionControllerTest, EndsAtOnceOrThroughTheSheet) {
    RecordingDelegate delegate;
    auto controller = std::make_shared<EncodingSelectionController>();
    controller->setDelegate(&delegate);
    EXPECT_FALSE(controller->doItForStringObjs({}, nullptr));
    EXPECT_TRUE(controller->doItForStringObjs({"a.bin", "b.bin"}, nullptr));
    EXPECT_EQ(delegate.results, (QList<QPair<int, uint32_t>>{{1, 5}}));

    // Confirmed, the sheet is driven over a real window in EncodingChooserTest.
    Preferences::setInteger(PrefKey::PrefFilenameEncoding, 30);
    {
        ScriptedSheet sheet(EncodingSelectionController::kReturnCancel, 1);
        EXPECT_TRUE(controller->doItForStringObjs({"caf\xe9"}, nullptr));
        EXPECT_EQ(delegate.results.size(), 1); // the sheet comes after the current event
        ASSERT_TRUE(spinUntil([&] { return delegate.results.size() == 2; }));
        EXPECT_EQ(delegate.results.last(), qMakePair(0, uint32_t(5)));
    }
    EXPECT_EQ(controller->tableViewObjectValue(QStringLiteral("OTHER"), 0), QString());
    EXPECT_EQ(controller->tableViewObjectValue(EncodingSelectionController::kFilenameColumn, 99),
              QString());
    Preferences::remove(PrefKey::PrefFilenameEncoding);
}

TEST(EncodingSelectionControllerTest, PreselectsUtf8ForNamesStoredInIt) {
    RecordingDelegate delegate;
    auto controller = std::make_shared<EncodingSelectionController>();
    controller->setDelegate(&delegate);
    Preferences::setInteger(PrefKey::PrefFilenameEncoding, 30);
    ScriptedSheet sheet(EncodingSelectionController::kReturnOK, 0);
    EXPECT_TRUE(controller->doItForStringObjs({"caf\xc3\xa9", "plain"}, nullptr));
    ASSERT_TRUE(spinUntil([&] { return !delegate.results.isEmpty(); }));
    EXPECT_EQ(controller->tableViewObjectValue(EncodingSelectionController::kEncodingColumn,
                                               sheet.initialRow),
              FilenameEncodings::localizedName(FilenameEncodings::kUtf8Encoding));
    EXPECT_FALSE(FilenameEncodings::storedAsUtf8({"plain"}));
    EXPECT_FALSE(FilenameEncodings::storedAsUtf8({"caf\xc3\xa9", "caf\xe9"}));
    Preferences::remove(PrefKey::PrefFilenameEncoding);
}
