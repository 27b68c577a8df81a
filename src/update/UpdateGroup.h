#pragma once

#include <QGroupBox>

class QCheckBox;
class QLabel;

// The main window's update group: the "Check for Updates" link, the proxy settings (usable
// only while "Use Proxy" is ticked; nothing reads them yet) and the download progress.
class UpdateGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit UpdateGroup(QWidget *parent = nullptr);
    ~UpdateGroup() override;

Q_SIGNALS:
    // The user asked for a check.
    void checkRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_checkLabel = nullptr;
};
