#pragma once

#include "document/MyDocument.h"
#include "window/FileTableModel.h"
#include "window/PARTableView.h"
#include "window/ParWindow.h"
#include "window/ParWindowController.h"
#include "window/VelmoraController.h"

#include <gtest/gtest.h>
#include <memory>

// A set type whose maps and statistics the test sets; the window learns of
// them as it would from a run.
class WindowTestDocument : public MyDocument {
public:
    explicit WindowTestDocument(QString extension = QStringLiteral("par2"))
        : MyDocument(QStringLiteral("par2SL")), m_extension(std::move(extension)) {}

    QStringList makeRepairParamArray(const QString&) override { return {}; }
    QString getFilenameExtension() const override { return m_extension; }
    int32_t parType() const override {
        return m_extension == QStringLiteral("par") ? ParType::Par1 : ParType::Par2;
    }
    bool supportCreation() const override { return true; }
    bool checkRoomForFiles(int) override { return true; }

    void showFiles(const FileStatusMap& files, const FileStatusMap& pxxFiles = {}) {
        {
            std::lock_guard lock(m_DocumentLock);
            m_FileStatus = files;
            m_PxxFileStatus = pxxFiles;
        }
        UpdateUI();
    }
    void setStatistics(const StatisticsRecord& statistics) {
        std::lock_guard lock(m_DocumentLock);
        m_statistics = statistics;
    }

protected:
    void CountStatistics(StatisticsRecord& statistics) const override { statistics = m_statistics; }

private:
    QString m_extension;
    StatisticsRecord m_statistics;
};

inline FileStatusMap filesWithStatus(const QList<std::pair<QString, int32_t>>& entries) {
    FileStatusMap files;
    for (const auto& [name, status] : entries)
        files.insert(name, FileStatus(name, status));
    return files;
}

inline FileStatus recoveryFile(const QString& name, int32_t blocks, const QString& target = {}) {
    FileStatus record(name, FileCode::Intact, target, true);
    record.setNumRecoveryBlocks(blocks);
    return record;
}

// A shown document window for a test document.
class WindowTest : public ::testing::Test {
protected:
    void open(const QString& extension = QStringLiteral("par2")) {
        document = std::make_shared<WindowTestDocument>(extension);
        controller = new ParWindowController(document);
        controller->showWindow();
    }
    void TearDown() override { delete controller; }

    ParWindow* window() const { return controller->window(); }
    VelmoraController* velmora() const { return controller->velmoraController(); }
    PARTableView* table() const { return window()->fileStatus(); }
    FileTableModel* model() const { return table()->fileModel(); }
    QString cell(int row, int column, int role = Qt::DisplayRole) const {
        return model()->index(row, column).data(role).toString();
    }

    std::shared_ptr<WindowTestDocument> document;
    ParWindowController* controller = nullptr;
};
