#pragma once

#include "postprocess/PostProcessRule.h"

#include <QDialog>
#include <functional>
#include <optional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;
class VLMEditPPRuleControllerDelegate;

// The sheet in which the user makes a new post-processing rule or changes one.
// A rule can be confirmed only when it is complete; the result, a new rule or
// nothing, goes to the delegate. The editor never writes to the store.
class EditPPRuleController : public QDialog {
    Q_OBJECT
public:
    // The menu items that insert macro tokens carry these tags, in this order.
    static constexpr int kFirstTokenTag = 1;
    static constexpr int kAnyNameTag = 6;

    explicit EditPPRuleController(VLMEditPPRuleControllerDelegate* delegate,
                                  QWidget* parent = nullptr);

    void setDelegate(VLMEditPPRuleControllerDelegate* delegate) { m_delegate = delegate; }
    // Returns the path of a chosen program file, or null; tests replace the dialog.
    void setProgramPicker(std::function<QString()> picker) { m_programPicker = std::move(picker); }

    // Fills the sheet from the rule (nothing: a new rule) and shows it window-modal
    // over the parent.
    void DoIt(const std::optional<PostProcessRule>& rule, QWidget* parentWindow);

    void onChooseAppButton();
    void onActionChoice(QAbstractButton* choice);
    void onInsertSpecialChar(int tag);
    void onDownload();
    // What OK would hand back now.
    PostProcessRule ruleFromControls() const;
    static PostProcessRule
    DetermineRuleURLFromOldRule(const std::optional<PostProcessRule>& oldRule,
                                const PostProcessRule& newRule);

    void done(int result) override;

private:
    void buildInterface();
    QWidget* buildMatchRow();
    QWidget* buildProgramRow();
    QWidget* buildCommandRow();
    void fillFromRule(const PostProcessRule& rule);
    void showProgram(const QString& nameWithExtension);
    void showProgramIcon(bool found);
    void prepareDownloadButtonForRule(const PostProcessRule& rule);
    void EnableDisable(QAbstractButton* sender);
    void commandFocusChanged(QWidget* now);
    void onInsertMenuPopup();

    VLMEditPPRuleControllerDelegate* m_delegate;
    std::function<QString()> m_programPicker;
    std::optional<PostProcessRule> mOriginalRule;
    QString mAppExtension;

    QLineEdit* mDescription = nullptr;
    QComboBox* mRelationPopup = nullptr;
    QLineEdit* mCompareName = nullptr;
    QCheckBox* mCompareNotCaseSensitive = nullptr;
    QButtonGroup* mActionChoices = nullptr;
    QRadioButton* mOpenInFinderChoice = nullptr;
    QRadioButton* mOpenWithProgramChoice = nullptr;
    QRadioButton* mDoCommandLineChoice = nullptr;
    QLineEdit* mAppName = nullptr;
    QPushButton* mChooseAppButton = nullptr;
    QLabel* mAppIcon = nullptr;
    QLineEdit* mCommand = nullptr;
    QToolButton* mInsertMenu = nullptr;
    QMenu* mInsertItems = nullptr;
    QPushButton* mDownloadButton = nullptr;
    QPushButton* mOKButton = nullptr;
    QPushButton* mCancelButton = nullptr;
};
