#include "Localized.h"
#include "TestEnvironment.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

namespace {

class DropTest : public WindowTest {
protected:
    void SetUp() override {
        open();
        folder = TestEnvironment::makeFolder(QStringLiteral("drop"));
        for (const char* name : {"movie.mkv", "set.par2"}) {
            QFile file(folder + QLatin1Char('/') + QLatin1String(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        QDir(folder).mkdir(QStringLiteral("sub"));
    }

    QString path(const char* name) const { return folder + QLatin1Char('/') + QLatin1String(name); }

    // Sends a drag of the paths to the table's viewport; answers whether it was accepted.
    bool dragEnter(const QStringList& paths) {
        mime.setUrls({});
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        mime.setUrls(urls);
        QDragEnterEvent event(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction,
                              &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table()->viewport(), &event);
        lastAction = event.dropAction();
        return event.isAccepted();
    }
    void drop() {
        QDropEvent event(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &mime,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table()->viewport(), &event);
    }

    QString folder;
    QMimeData mime;
    Qt::DropAction lastAction = Qt::IgnoreAction;
};

TEST_F(DropTest, AcceptsADragWithOneAddableFileAndAddsOnlyThatOne) {
    EXPECT_TRUE(dragEnter({path("movie.mkv")}));
    QDragLeaveEvent leave;
    QApplication::sendEvent(table()->viewport(), &leave);
    EXPECT_FALSE(table()->isDropHighlighted()) << "the drag left the table";

    EXPECT_TRUE(dragEnter({path("set.par2"), path("movie.mkv"), path("sub")}));
    EXPECT_EQ(lastAction, Qt::LinkAction);
    EXPECT_TRUE(table()->isDropHighlighted());
    drop();
    EXPECT_FALSE(table()->isDropHighlighted());
    EXPECT_EQ(document->fileStatusSnapshot().keys(), QStringList({"movie.mkv"}));
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::ReadyToCreate);
    ASSERT_EQ(model()->rowCount(), 1);
    EXPECT_EQ(cell(0, FileTableModel::StatusColumn), localized("FileStatus10"));
}

TEST_F(DropTest, RefusesFoldersAndDocumentsThatAreBusy) {
    EXPECT_FALSE(dragEnter({path("sub")}));
    EXPECT_FALSE(table()->isDropHighlighted());
    drop();
    EXPECT_EQ(document->numSubjectFiles(), 0);

    document->setm_PARIsRunning(RunKind::VerifyRepair);
    EXPECT_FALSE(dragEnter({path("movie.mkv")}));
    drop();
    document->setm_PARIsRunning(RunKind::None);

    // A set waiting for its turn is not turned into a new one either.
    document->setm_DocumentStatus(DocStatus::WaitingForTurn);
    EXPECT_FALSE(dragEnter({path("movie.mkv")}));
    drop();
    EXPECT_EQ(document->numSubjectFiles(), 0);
    EXPECT_EQ(document->m_DocumentStatus(), DocStatus::WaitingForTurn);
}

} // namespace
