#pragma once

#include <QWidget>

class QPlainTextEdit;
class UpdateChecker;

// The update window: the version page's lines, nothing else. It renders an UpdateChecker and
// forwards the double click that empties it.
class UpdateForm : public QWidget {
    Q_OBJECT
public:
    explicit UpdateForm(QWidget *parent = nullptr);
    ~UpdateForm() override;

    QPlainTextEdit *RawTexta() const { return m_rawTexta; }
    void render(const UpdateChecker &checker);

Q_SIGNALS:
    void rawTextaDoubleClicked();
    // The user closed the window.
    void unloading();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPlainTextEdit *m_rawTexta = nullptr;
};
