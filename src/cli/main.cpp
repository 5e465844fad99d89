// dizuro-cli: every operation of the desktop program from the command line,
// without a display.

#include <QCoreApplication>

#include <unistd.h>
#include <cstdio>
#include <exception>
#include <memory>

#include "SimReceiver.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"

namespace {

void write(std::FILE* to, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

int run(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dizuro-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DIZURO_VERSION));

    const dz::CliArguments arguments = dz::parseCliArguments(QCoreApplication::arguments());
    switch (arguments.outcome) {
        case dz::CliArguments::Outcome::Print:
            write(stdout, arguments.text);
            return dz::exitStatus::kDone;
        case dz::CliArguments::Outcome::UsageError:
            write(stderr, QStringLiteral("dizuro-cli: %1\nTry 'dizuro-cli --help'.\n").arg(arguments.text));
            return dz::exitStatus::kUsage;
        case dz::CliArguments::Outcome::Run:
            break;
    }
    const dz::CliRequest& request = arguments.request;

    dz::LinkConfig link;
    std::unique_ptr<dzsim::SimReceiver> demo;
    if (request.demo) {
        demo = std::make_unique<dzsim::SimReceiver>();
        if (!demo->start("127.0.0.1", 0)) {
            write(stderr, QStringLiteral("dizuro-cli: cannot start the simulated receiver: %1\n")
                              .arg(QString::fromStdString(demo->error())));
            return dz::exitStatus::kFailed;
        }
        link.device = dz::Endpoint{demo->host(), demo->port()};
    } else if (request.device) {
        link.device = *request.device;
    }

    dz::CliConsole console;
    console.out = [](const QString& text) { write(stdout, text); };
    console.err = [](const QString& text) { write(stderr, text); };
    console.progress = request.quiet             ? dz::Progress::Style::Silent
                       : ::isatty(STDERR_FILENO) ? dz::Progress::Style::Bar
                                                 : dz::Progress::Style::Lines;
    const int status = dz::runCliCommand(request, link, console);
    if (demo) {
        demo->stop();
    }
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dizuro-cli: %s\n", e.what());
    }
    return dz::exitStatus::kFailed;
}
