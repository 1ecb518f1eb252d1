#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The password dialog: names the entry (its last path component) and takes the
// password in a masked field. OK stays disabled while the field is empty;
// Return answers OK, Escape Cancel. A password the check refuses keeps the
// dialog open with a word that it was not correct.
class UnrarPasswordController : public QDialog {
    Q_OBJECT

public:
    explicit UnrarPasswordController(QWidget* parent = nullptr);

    using PasswordCheck = std::function<bool(const QString&)>;

    // Runs the dialog modally for the whole application. True with the entered
    // password on OK; false on Cancel, or when the dialog was destroyed meanwhile
    // (then nothing of it is touched any more).
    bool doItForFileName(const QString& fileName, QString& password,
                         const PasswordCheck& accepts = {});

    QLabel* archiveName() const { return m_archiveName; }
    QLineEdit* password() const { return m_password; }
    QPushButton* okButton() const { return m_okButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    QLabel* problem() const { return m_problem; }

private:
    void OnOk();
    void OnCancel();

    QLabel* m_archiveName;
    QLineEdit* m_password;
    QLabel* m_problem;
    PasswordCheck m_accepts;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};
