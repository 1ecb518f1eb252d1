#include "platform/FileNames.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <cstdio>
#include <gtest/gtest.h>

TEST(FileNamesTest, EveryByteStringSurvivesTheTripThroughAString) {
    const QByteArray names[] = {
        "plain.bin",
        "caf\xc3\xa9 \xf0\x9f\x98\x80.bin", // UTF-8, one character outside the BMP
        "caf\xe9.bin",                      // Latin-1
        "\xc3",                             // a sequence cut short
        "\xc0\xaf",                         // an overlong slash
        "\xed\xa0\x80\xed\xb0\x80",         // UTF-8 of surrogates
        "\xf4\x90\x80\x80 \xff\xfe",        // beyond U+10FFFF, bytes never in UTF-8
        "\xf0\x9f\x98\x80\xdc",             // a real pair followed by an escaped byte
    };
    for (const QByteArray& bytes : names) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        const QString name = FileNames::decode(bytes);
        EXPECT_EQ(FileNames::encode(name), bytes);
        EXPECT_EQ(FileNames::isPlainUtf8(name), QString::fromUtf8(bytes).toUtf8() == bytes);
        // A helper's output cut anywhere between two reads decodes as the whole does.
        for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
            QByteArray pending;
            QString pieces = FileNames::decodePiece(pending, bytes.first(cut));
            pieces += FileNames::decodePiece(pending, bytes.sliced(cut));
            pieces += FileNames::decodePiece(pending, QByteArrayView());
            EXPECT_EQ(pieces, name) << "cut at " << cut;
        }
    }
    EXPECT_EQ(FileNames::decode("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(FileNames::displayName(FileNames::decode("caf\xe9")), QString::fromUtf8("caf\uFFFD"));

    const QString folder = TestEnvironment::makeFolder("names");
    const QString path = folder + '/' + FileNames::decode("caf\xe9");
    EXPECT_EQ(FileNames::kindAt(path), FileNames::Kind::None);
    QFile file(QFile::decodeName(FileNames::encode(folder)) + "/x");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_EQ(
        ::rename(FileNames::encode(folder + "/x").constData(), FileNames::encode(path).constData()),
        0);
    EXPECT_EQ(FileNames::kindAt(path), FileNames::Kind::RegularFile);
    EXPECT_EQ(FileNames::kindAt(folder), FileNames::Kind::Folder);
    EXPECT_EQ(FileNames::fromLocalFileUrl(
                  QUrl::fromEncoded(QUrl::fromLocalFile(folder).toEncoded() + "/caf%E9")),
              path);
}
