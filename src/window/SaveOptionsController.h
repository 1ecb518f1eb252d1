#pragma once

#include <QDialog>
#include <memory>

class MyDocument;
class QLabel;
class NumberField;

// The options sheet of a set saved before: a window-modal dialog over the
// document window that asks for the number (recovery volumes for PAR 1,
// redundancy in percent for PAR 2) and then saves the set again in its place.
// It deletes itself when it ends.
class SaveOptionsController : public QDialog {
    Q_OBJECT

public:
    explicit SaveOptionsController(const std::shared_ptr<MyDocument>& delegate);

    void doItForWindow(QWidget* window, int32_t parType, int32_t initialNum);
    NumberField* numberField() const { return m_NumPnn; }
    QLabel* explanation() const { return m_explanation; }

    // OK: a number the set type accepts ends the sheet with 1; any other keeps
    // it open after an alert. Cancel ends it with 0.
    void OnOK();
    void OnCancel();
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

private:
    void sheetDidEnd(int returnCode);

    std::weak_ptr<MyDocument> m_delegate;
    int32_t mNumPnn = 0;
    int32_t mParType = 0;
    NumberField* m_NumPnn;
    QLabel* m_explanation;
};
