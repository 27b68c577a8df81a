#pragma once

#include <QMainWindow>

// The main window. It is the program: closing it ends the program.
class ConfigForm : public QMainWindow {
    Q_OBJECT
public:
    explicit ConfigForm(QWidget *parent = nullptr);
};
