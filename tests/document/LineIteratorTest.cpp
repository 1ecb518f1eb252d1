#include "document/LineIterator.h"

#include "platform/AppInfo.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QStringList allLines(LineIterator iterator) {
    QStringList lines;
    while (std::optional<QString> line = iterator.NextLine())
        lines.append(*line);
    return lines;
}

QString reportPath() {
    return AppInfo::desktopFolder() + QStringLiteral("/Velmora error report.txt");
}

// The report is UTF-16 pieces, each behind its own byte-order mark.
QString readReport() {
    QFile file(reportPath());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QString text(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
    return text.remove(QChar(0xFEFF));
}

} // namespace

TEST(LineIteratorTest, CutsLinesWithAndWithoutHoldingBackTheUnfinishedOne) {
    const QStringList none;
    EXPECT_EQ(allLines(LineIterator(QStringLiteral("one"), true)), none);
    EXPECT_EQ(allLines(LineIterator(QStringLiteral("one\n"), true)), QStringList({"one", ""}));
    EXPECT_EQ(allLines(LineIterator(QStringLiteral("a\nb"), true)), QStringList({"a"}));
    EXPECT_EQ(allLines(LineIterator(QStringLiteral("a\nb\n"), true)), QStringList({"a", "b", ""}));
    EXPECT_EQ(allLines(LineIterator(QString(), true)), none);
    EXPECT_EQ(allLines(LineIterator(QStringLiteral("a\nb"), false)), QStringList({"a", "b"}));
    EXPECT_EQ(allLines(LineIterator(QString(), false)), QStringList({""}));
    EXPECT_EQ(allLines(LineIterator(QStringLiteral("a\r\nb"), false)), QStringList({"a\r", "b"}));
}

TEST(LineIteratorTest, ErrorReportsAreAppendedWithTheOffendingLine) {
    QFile::remove(reportPath());
    LineIterator iterator(QStringLiteral("first\nsecond\nunfinished"), true);
    iterator.NextLine();
    iterator.NextLine();
    iterator.makeErrorReportInContext(QStringLiteral("PAR2 output"));
    LineIterator(QStringLiteral("x")).makeErrorReportInContext(QStringLiteral("again"));

    const QString equals = QString(70, QLatin1Char('=')) + QLatin1Char('\n');
    const QString hyphens = QString(70, QLatin1Char('-')) + QLatin1Char('\n');
    const QString version = QStringLiteral("Velmora version ") + AppInfo::shortVersion();
    const QString expected = equals + "Error in PAR2 output\n" + version + "\n\n" + hyphens +
                             "first\nsecond\n" + hyphens + "\nOffending line #2:\nsecond\n" +
                             equals + "Error in again\n" + version + "\n\n" + hyphens + "x\n" +
                             hyphens + "\n<No current line>\n";
    EXPECT_EQ(readReport(), expected);
}
