#include "platform/FilenameSort.h"

#include <gtest/gtest.h>

namespace {
struct Case {
    const char16_t* a;
    const char16_t* b;
    int expected;
};
} // namespace

TEST(FilenameSortTest, NumbersCompareByValueAndLettersWithoutCase) {
    const Case cases[] = {
        {u"file9.rar", u"file10.rar", -1},
        {u"file1.txt", u"file10.txt", -1},
        {u"Set.part01.rar", u"set.PART1.rar", 0},
        {u"a2b", u"a10b", -1},
        {u"vol007", u"vol6", 1},
        {u"x.P01", u"x.P02", -1},
        {u"x.P10", u"x.P09", 1},
        {u"alpha.rar", u"beta.rar", -1},
        {u"x1234567890", u"x1234567891", -1},
        {u"x1234567891", u"x1234567890", 1},
        {u"README", u"readme", 0},
        {u"same.par2", u"same.par2", 0},
        {u"", u"a", -1},
        {u"file", u"file1", -1},
        {u"part99.rar", u"part100.rar", -1},
    };
    for (const Case& c : cases) {
        const QString a = QString::fromUtf16(c.a);
        const QString b = QString::fromUtf16(c.b);
        EXPECT_EQ(FilenameSort(a, b), c.expected) << a.toStdString() << " vs " << b.toStdString();
        EXPECT_EQ(FilenameSort(b, a), -c.expected) << b.toStdString() << " vs " << a.toStdString();
    }
}

TEST(FilenameSortTest, NonAsciiCaseIsLeftToTheTextComparison) {
    EXPECT_EQ(
        FilenameSort(QStringLiteral("Ärger"), QStringLiteral("ärger")),
        QString::compare(QStringLiteral("Ärger"), QStringLiteral("ärger"), Qt::CaseInsensitive));
}

// std::sort needs a strict weak ordering; the old order had a2b < a2c < a10c < a2b.
TEST(FilenameSortTest, IsAStrictWeakOrdering) {
    QStringList names;
    for (const char16_t* name : {u"a2b", u"a2c", u"a10c", u"A2B", u"a-b", u"a1", u"a_1", u"a01b",
                                 u"a", u"1a", u"\u00c4x", u"x007", u"x7y", u"", u"a.2.10"})
        names.append(QString::fromUtf16(name));
    for (const QString& x : names)
        for (const QString& y : names)
            for (const QString& z : names) {
                const int xy = FilenameSort(x, y);
                const int yz = FilenameSort(y, z);
                EXPECT_EQ(FilenameSort(y, x), -xy);
                if (xy <= 0 && yz <= 0 && (xy < 0 || yz < 0)) {
                    EXPECT_LT(FilenameSort(x, z), 0) << x.toStdString() << " " << z.toStdString();
                }
                if (xy == 0 && yz == 0) {
                    EXPECT_EQ(FilenameSort(x, z), 0);
                }
            }
}
