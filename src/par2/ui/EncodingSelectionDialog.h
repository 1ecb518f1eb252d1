#pragma once

#include <QDialog>
#include <memory>

class EncodingSelectionController;
class QTreeWidget;

// The character-set chooser as a window-modal dialog over a document window:
// one row per reading of the sample name, the preferred character set's row
// selected at first. OK (or a double click) ends it with the selected row,
// Cancel or Escape without; the chooser learns the result once, after the
// dialog has gone.
class EncodingSelectionDialog : public QDialog {
    Q_OBJECT

public:
    EncodingSelectionDialog(std::shared_ptr<EncodingSelectionController> controller,
                            QWidget* parent);

    int selectedRow() const;
    QTreeWidget* sampleTable() const { return mSampleTable; }
    void done(int result) override;

private:
    void fillSamples();

    std::shared_ptr<EncodingSelectionController> m_controller;
    QTreeWidget* mSampleTable;
};
