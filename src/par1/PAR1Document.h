#pragma once

#include "document/MyDocument.h"
#include "par1/Par1OutputModel.h"
#include "par1/Par1OutputParser.h"

// A PAR 1 recovery set: a main file NAME.par and volumes NAME.P01, ... The par
// helper verifies, repairs and creates; this class builds its command lines,
// reads its standard error into the document's maps (Par1OutputParser) and
// settles the final status.
class PAR1Document : public MyDocument {
public:
    PAR1Document();

    QStringList makeRepairParamArray(const QString& parFilePath) override;
    QString getFilenameExtension() const override;
    std::function<FileStatusMap()> listedFilesReader() const override;
    bool supportCreation() const override { return true; }
    int getDefaultNumberForSaveOptions() override { return CalcDefaultNumberPnn(); }
    bool checkRoomForFiles(int count) override;
    OutputPipe mainOutputPipe() const override { return OutputPipe::StdErr; }
    void DoAutoDeleteParFiles() override;

    int32_t parType() const override { return ParType::Par1; }
    // "NumSpecifiedInSaveOptions" of the parameters is the number of volumes.
    QStringList makeCreateParamArray(const QString& parFilePath, const QStringList& subjectFiles,
                                     const QVariantMap& parParameters) override;
    // Frees NAME.P01 up to the number of volumes chosen in the save options.
    bool RemoveStrayPnnFiles() override;

    int CalcDefaultNumberPnn() const;
    // The alert text when `count` more files do not fit beside `numSubjectFiles`,
    // else null.
    static QString roomProblem(int numSubjectFiles, int count);
    QString roomProblemForAdding(int count) const override {
        return roomProblem(numSubjectFiles(), count);
    }

protected:
    void ProcessStdErrData(const QString& text) override;
    void DetermineFinalStatusAfterRecover() override;
    void DetermineFinalStatusAfterGenerate() override;
    void CountStatistics(StatisticsRecord& statistics) const override;

private:
    class ParserScope;

    QStringList subjectFileNames() const;
    void listRecoveryVolumesWritten();

    // Lent the document's maps and output text while a hook runs.
    Par1OutputModel m_par1Output;
    Par1OutputParser m_parser{m_par1Output};
};
