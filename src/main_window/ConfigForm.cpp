#include "main_window/ConfigForm.h"

#include "app/Version.h"

ConfigForm::ConfigForm(QWidget *parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("ConfigForm"));
    setWindowTitle(QStringLiteral("CV Remote - v") + VersionText());
    resize(640, 480);
}
