// dizuro-link: the desktop program for the KAV Dizuro receiver.

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include "SimReceiver.h"
#include "app/AppConfig.h"
#include "app/AppIcon.h"
#include "app/AppStyle.h"
#include "app/CommandLine.h"
#include "app/QtDialogs.h"
#include "app/TFMain.h"

namespace {

bool haveDisplay()
{
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && *v != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

int failed(const QString& what)
{
    std::fprintf(stderr, "dizuro-link: %s\n", qPrintable(what));
    QMessageBox::critical(nullptr, QStringLiteral("Dizuro Link"), what);
    return 1;
}

int runWindow(const dz::CommandLine& options);

int run(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const dz::CommandLine options = dz::parseCommandLine(arguments);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "dizuro-link: %s\n", qPrintable(options.error));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(options.helpText), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("dizuro-link %s\n", DIZURO_VERSION);
        return 0;
    }
    if (!haveDisplay()) {
        std::fprintf(stderr,
                     "dizuro-link: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Run it on a desktop, or under a virtual display:  xvfb-run -a dizuro-link --demo\n");
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dizuro-link"));
    QApplication::setApplicationVersion(QStringLiteral(DIZURO_VERSION));
    QApplication::setWindowIcon(dz::appIcon());
    dz::applyAppStyle(app);
    // Caught here, while the application object still exists to show the box.
    try {
        return runWindow(options);
    } catch (const std::exception& e) {
        return failed(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return failed(QStringLiteral("An unexpected error stopped the program."));
    }
}

int runWindow(const dz::CommandLine& options)
{
    dz::AppConfig config;
    std::unique_ptr<dzsim::SimReceiver> demo;
    if (options.demo) {
        demo = std::make_unique<dzsim::SimReceiver>();
        if (!demo->start("127.0.0.1", 0)) {
            std::fprintf(stderr, "dizuro-link: cannot start the simulated receiver: %s\n", demo->error().c_str());
            return 1;
        }
        config.link.device = dz::Endpoint{demo->host(), demo->port()};
        std::printf("dizuro-link: demo receiver on %s:%u\n", demo->host().c_str(), demo->port());
        std::fflush(stdout);
    } else if (options.device) {
        config.link.device = *options.device;
    }

    dz::QtDialogs dialogs;
    dz::TFMain window(config, dialogs);
    dialogs.setParent(&window);
    QObject::connect(&window, &dz::TFMain::closing, [&dialogs] { dialogs.setMuted(true); });
    window.FormCreate();
    window.show();
    const int result = QApplication::exec();
    if (demo) {
        demo->stop();
    }
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    // Before the application object there is no box to show: the message goes to stderr.
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dizuro-link: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "dizuro-link: an unexpected error stopped the program\n");
    }
    return 1;
}
