#include "app/Program.h"
#include "app/TerminationSignals.h"
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
    // Logging out or Ctrl-C closes the program as its main window's close does: settings saved.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::requested, &program, &Program::Close);
    return app.exec();
}
