#pragma once

#include "update/UpdateHttp.h"

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;

// The main window's update group: the "Check for Updates" link, the proxy settings (usable
// only while "Use Proxy" is ticked) and the download progress. The fields render an
// UpdateProxy and report the user's edits; the program keeps and saves them.
class UpdateGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit UpdateGroup(QWidget *parent = nullptr);
    ~UpdateGroup() override;

    // Fills the fields (no proxyEdited).
    void setProxy(const UpdateProxy &proxy);
    // The fields as they stand; a port that is no number from 1 to 65535 is 0.
    UpdateProxy proxy() const;

Q_SIGNALS:
    // The user asked for a check.
    void checkRequested();
    // The user changed a proxy field.
    void proxyEdited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_checkLabel = nullptr;
    QCheckBox *m_useProxy = nullptr;
    QLineEdit *m_server = nullptr;
    QLineEdit *m_port = nullptr;
    QLineEdit *m_userName = nullptr;
    QLineEdit *m_password = nullptr;
    QCheckBox *m_rememberPassword = nullptr;
};
