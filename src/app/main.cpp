#include "app/Program.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QtPlatform platform;
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    Program program(platform, executable.absolutePath(), executable.completeBaseName());
    if (!program.start()) {
        return 0;
    }
    return app.exec();
}
