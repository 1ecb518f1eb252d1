#pragma once

#include "document/MyDocument.h"
#include "par2/DecodedString.h"
#include "par2/Par2CreateOutputReader.h"
#include "par2/Par2OutputModel.h"
#include "par2/Par2OutputParser.h"
#include "par2/VLMEncodingSelectionControllerDelegate.h"

#include <memory>

class EncodingSelectionController;

// A PAR 2 recovery set. Verification, repair and creation are done by the par2
// helper; this class builds its command lines, reads its output into the
// document's maps (Par2OutputParser, Par2CreateOutputReader) and settles the
// final status. Before the first verify/repair run it reads the names stored in
// the set to let the user pick their character set.
class PAR2Document : public MyDocument, public VLMEncodingSelectionControllerDelegate {
public:
    PAR2Document();
    ~PAR2Document() override;

    QStringList makeRepairParamArray(const QString& parFilePath) override;
    QStringList makeFolderScanRepairParamArray(const QString& parFilePath) override;
    QString getFilenameExtension() const override { return QStringLiteral("par2"); }
    bool supportCreation() const override { return true; }
    int getDefaultNumberForSaveOptions() override;
    bool checkRoomForFiles(int count) override;
    QString roomProblemForAdding(int count) const override;
    bool prepareDocForRepairRun() override;
    bool isPreparingRun() const override { return m_preparingRun; }
    std::function<FileStatusMap()> listedFilesReader() const override;
    OutputPipe mainOutputPipe() const override { return OutputPipe::StdOut; }
    void DoAutoDeleteParFiles() override;
    int32_t parType() const override { return ParType::Par2; }
    QStringList makeCreateParamArray(const QString& parFilePath, const QStringList& subjectFiles,
                                     const QVariantMap& parParameters) override;
    bool RemoveStrayPnnFiles() override;

    void encodingSelectionController(EncodingSelectionController* controller, int returnCode,
                                     uint32_t selectedEncoding) override;

    // For the window and tests; taken under the document lock.
    QStringList emptyPar2Files() const;

protected:
    void ProcessStdOutData(const QString& text) override;
    void ProcessStdErrData(const QString& text) override;
    void DetermineFinalStatusAfterRecover() override;
    void prepareDocForCreateRun() override;
    void DetermineFinalStatusAfterGenerate() override;
    void CountStatistics(StatisticsRecord& statistics) const override;

private:
    class ParserScope;

    // What the worker found before a verify/repair run: whether the run may go
    // on, and the stored names the character set chooser shows.
    struct RunPreparation {
        bool mayRun = false;
        QList<DecodedString> samples;
        bool namesAreUtf8 = false;
    };
    static RunPreparation prepareRun(const QString& path);
    // Main thread, once the worker is done.
    void runPrepared(RunPreparation preparation);
    void encodingSamplesChosen(QList<DecodedString> samples, bool namesAreUtf8);
    void listRecoveryVolumesWritten();

    // Counters, pending and empty recovery files. While a hook runs, the
    // document's maps and output text are lent to it as well.
    Par2OutputModel m_par2Output;
    Par2OutputParser m_parser{m_par2Output};
    Par2CreateOutputReader m_createReader{m_par2Output};
    std::shared_ptr<EncodingSelectionController> m_EncodingSelectionController;
    // The worker is preparing a verify/repair run. Main thread.
    bool m_preparingRun = false;
};
