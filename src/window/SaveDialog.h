#pragma once

#include <QDialog>
#include <memory>

class MyDocument;
class QLabel;
class NumberField;
class QLineEdit;

// The save panel of a new set. A set is always saved in the folder of its
// files, so the folder is shown and cannot be changed; the name field starts
// with the suggested name and the number field with the set type's default.
// OK runs the document's checks and stays open when they refuse; once they
// accept, the document is saved there, which starts the creation run.
class SaveDialog : public QDialog {
    Q_OBJECT

public:
    explicit SaveDialog(const std::shared_ptr<MyDocument>& document, QWidget* parent = nullptr);

    QLineEdit* nameField() const { return m_name; }
    NumberField* numberField() const { return m_number; }
    QLabel* folderLabel() const { return m_folder; }

    void accept() override;

private:
    std::weak_ptr<MyDocument> m_document;
    QLabel* m_folder;
    QLineEdit* m_name;
    NumberField* m_number;
};
