#include "app/Program.h"
#include "app/TerminationSignals.h"
#include "app/Version.h"
#include "platform/Platform.h"
#include "settings/ProgramFolder.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

#include <cstring>

namespace {

// --help and --version are answered without a display: QApplication would refuse to start
// on a terminal without one before the parser got its turn.
bool asksOnlyForText(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0) {
                return true;
            }
        }
    }
    return false;
}

void describe(QCommandLineParser &parser, const QCommandLineOption &folder) {
    parser.setApplicationDescription(
        QStringLiteral("A remote control for a networked internet radio.\n\n"
                       "Settings and data files live in the program folder: the executable's own folder for a\n"
                       "portable copy, or a folder of the user's own for an installed one (%1).")
            .arg(UserProgramFolder()));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(folder);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("CVRemote"));
    QCoreApplication::setApplicationVersion(VersionString());
    const QCommandLineOption folderOption(
        QStringLiteral("program-folder"),
        QStringLiteral("Keep the settings and data files in DIR (created and, for an installed copy, "
                       "filled with the shipped files when missing)."),
        QStringLiteral("DIR"));

    if (asksOnlyForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCommandLineParser parser;
        describe(parser, folderOption);
        parser.process(app); // prints and ends the process
        return 0;
    }

    // A wrong command line is said as such before anything needs a display: on a terminal
    // without one, QApplication would end the process first (and not with a usage error).
    QCommandLineParser parser;
    describe(parser, folderOption);
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QTextStream err(stderr);
    if (!parser.parse(arguments)) {
        err << "CVRemote: " << parser.errorText() << "; see CVRemote --help\n";
        return 1;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << "CVRemote: unexpected argument \"" << parser.positionalArguments().first()
            << "\"; see CVRemote --help\n";
        return 1;
    }

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(CV_APP_ID));

    const QFileInfo executable(QCoreApplication::applicationFilePath());
    const ProgramFolderChoice folder =
        ChooseProgramFolder({executable.absolutePath(), parser.value(folderOption), UserProgramFolder(), {}});
    if (!folder.ok()) {
        err << "CVRemote: " << folder.error << '\n';
        return 1;
    }

    QtPlatform platform;
    Program program(platform, folder.folder, executable.completeBaseName());
    QObject::connect(&program, &Program::secondCopyRefused, &app, [] { QApplication::beep(); });
    QObject::connect(&program, &Program::ended, &app, &QCoreApplication::quit);
    const bool started = program.start();
    if (const QString notice = program.startNotice(); !notice.isEmpty()) {
        err << notice << Qt::endl;
    }
    if (!started) {
        return 0;
    }
    // Logging out or Ctrl-C closes the program as its main window's close does: settings saved.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::requested, &program, &Program::Terminate);
    return app.exec();
}
