#include "main_window/ConfigForm.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    ConfigForm form;
    form.show();
    return app.exec();
}
