#pragma once

#include <QDialog>

class FirstContact;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The first-run dialog: shows FirstContact and forwards what the user types and clicks. It is
// never modal; closing it takes nothing, "Use these" takes the values shown.
class FirstRunDialog : public QDialog {
    Q_OBJECT
public:
    explicit FirstRunDialog(FirstContact &contact, QWidget *parent = nullptr);
    ~FirstRunDialog() override;

    // Shows the logic's values and texts.
    void render();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    static void setText(QLineEdit *edit, const QString &text);

    FirstContact &m_contact;
    QLineEdit *m_radioHost = nullptr;
    QLineEdit *m_radioPort = nullptr;
    QPushButton *m_find = nullptr;
    QPushButton *m_test = nullptr;
    QListWidget *m_found = nullptr;
    QLabel *m_findText = nullptr;
    QLabel *m_testText = nullptr;
    QCheckBox *m_consoleFollows = nullptr;
    QLineEdit *m_consoleHost = nullptr;
    QLineEdit *m_consolePort = nullptr;
    QLabel *m_problem = nullptr;
    QPushButton *m_use = nullptr;
};
