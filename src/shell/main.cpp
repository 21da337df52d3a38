#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "bench/stop_signals.h"
#include "common/version.h"
#include "shell/display_check.h"
#include "shell/startup.h"
#include "shell/stop_requests.h"

int main(int argc, char** argv) {
    if (const auto message = trevalon::shell::NoDisplayMessage(
            [](const char* name) { return std::getenv(name); }, argc, argv)) {
        std::fprintf(stderr, "%s\n", message->c_str());
        return 1;
    }
    QApplication app(argc, argv);
    trevalon::shell::basGeneral::SetUpApplication();
    QApplication::setApplicationVersion(QString::fromLatin1(trevalon::kVersionText));

    trevalon::shell::EndProgramOnStopRequests();
    trevalon::shell::basGeneral::Main();
    const int status = QApplication::exec();
    trevalon::shell::basGeneral::UnloadAll();
    // Ended by a stop signal: report it as a shell would.
    const int stopStatus = trevalon::bench::StopSignalExitStatus();
    return stopStatus != 0 ? stopStatus : status;
}
