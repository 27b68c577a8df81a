#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class UpdateChecker;

// The update window: a line telling whether a newer version is available, over the version
// page's lines. It renders an UpdateChecker and forwards the double click that empties the page.
class UpdateForm : public QWidget {
    Q_OBJECT
public:
    explicit UpdateForm(QWidget *parent = nullptr);
    ~UpdateForm() override;

    QPlainTextEdit *RawTexta() const { return m_rawTexta; }
    QLabel *NewsLine() const { return m_newsLine; }
    void render(const UpdateChecker &checker);

Q_SIGNALS:
    void rawTextaDoubleClicked();
    // The user closed the window.
    void unloading();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_newsLine = nullptr;
    QPlainTextEdit *m_rawTexta = nullptr;
};
