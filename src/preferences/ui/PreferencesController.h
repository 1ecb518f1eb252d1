#pragma once

#include "postprocess/PostProcessRule.h"
#include "postprocess/ui/EditPPRuleController.h"
#include "postprocess/ui/VLMEditPPRuleControllerDelegate.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <functional>

class PARDocumentController;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class NumberField;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The preferences window. It shows every preference, keeps the controls that
// do not apply disabled, and edits a working copy of the post-processing rules.
// Nothing reaches the store until OK, and OK first checks the four numbers;
// Cancel discards everything.
class PreferencesController : public QDialog, public VLMEditPPRuleControllerDelegate {
    Q_OBJECT
public:
    explicit PreferencesController(PARDocumentController& documents, QWidget* parent = nullptr);
    ~PreferencesController() override;

    // Runs the window application-modal; the values are stored when it ends with OK.
    int DoIt();

    // Returns the chosen folder, or null; tests replace the dialog.
    using FolderChooser = std::function<QString(const QString& startFolder)>;
    void setFolderChooser(FolderChooser chooser) { m_folderChooser = std::move(chooser); }
    EditPPRuleController* ruleEditor() const { return mRuleEditorController; }
    const QList<PostProcessRule>& rules() const { return mRulesSet; }

    // Every character an ASCII digit and the value within [min, max]; empty reads as 0.
    static bool FieldIsNumeric(const NumberField* field, int min, int max);

    void OnNewRule();
    void OnModifyRule();
    void OnDeleteRule();
    void OnMoveRuleUp();
    void OnMoveRuleDown();
    void OnStandard();
    void onChooseUnrarDestination();
    void editPPRuleController(EditPPRuleController* controller,
                              const std::optional<PostProcessRule>& rule) override;

    // OK: checks the numbers, then stores everything.
    void accept() override;

private:
    QWidget* buildGeneralTab();
    QWidget* buildRulesTab();
    QWidget* buildExtractionTab();
    QWidget* buildNewSetsTab();
    QButtonGroup* radioGroup(const QString& name, const QList<QRadioButton*>& choices,
                             const QList<int>& tags);
    QCheckBox* checkBox(const QString& name, const char* titleKey);
    NumberField* numberField(const QString& name, int minimum, int maximum);
    QPushButton* ruleButton(const QString& name, const char* titleKey,
                            void (PreferencesController::*action)());

    void loadValues();
    void storeValues() const;
    bool numbersAreValid();
    void EnableDisable();
    void OnRadio(QRadioButton* choice);
    void OnDeleteSegmentsOption(int tag);
    void reloadRules(int selectedRow);
    int selectedRuleIndex() const;
    void openRuleEditor(int index);

    PARDocumentController& m_documents;
    FolderChooser m_folderChooser;
    QList<PostProcessRule> mRulesSet;
    // The stored set is written back only when it was changed here, so rules
    // this version cannot read survive a visit to the window.
    bool m_rulesChanged = false;
    int mRuleEditingIndex = -1;
    QString mChosenUnrarDestination;
    QPointer<EditPPRuleController> mRuleEditorController;

    NumberField* absValue = nullptr;
    NumberField* everyXValue = nullptr;
    QRadioButton* radio1 = nullptr;
    QRadioButton* radio2 = nullptr;
    QButtonGroup* deleteSegmentsOption = nullptr;
    QButtonGroup* unrarDestinationDetermination = nullptr;
    QPushButton* chooseUnrarDestinationFolder = nullptr;
    QLineEdit* unrarDestinationFolder = nullptr;
    QButtonGroup* existingUnrarDestinationAction = nullptr;
    QCheckBox* autoDeletePnn = nullptr;
    QCheckBox* autoPostProcess = nullptr;
    QPushButton* ruleDeleteButton = nullptr;
    QPushButton* ruleDownButton = nullptr;
    QPushButton* ruleModifyButton = nullptr;
    QPushButton* ruleNewButton = nullptr;
    QListWidget* rulesList = nullptr;
    QPushButton* ruleUpButton = nullptr;
    QPushButton* mOKButton = nullptr;
    QPushButton* mCancelButton = nullptr;
    QPushButton* mStandardButton = nullptr;
    QCheckBox* keepBrokenFiles = nullptr;
    QCheckBox* autoCloseDocument = nullptr;
    QCheckBox* autoCheckUpdate = nullptr;
    QButtonGroup* mSimultaneousProcessing = nullptr;
    NumberField* mPar2BlockSize = nullptr;
    QButtonGroup* mPar2BlockSizeChoice = nullptr;
    QCheckBox* mPar2LimitFileSize = nullptr;
    NumberField* mPar2Redundancy = nullptr;
    QButtonGroup* mPar12Choice = nullptr;
    QCheckBox* runUnattendedChoice = nullptr;
};
