#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "shell/display_check.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
    if (const auto message = trevalon::shell::NoDisplayMessage(
            [](const char* name) { return std::getenv(name); }, argc, argv)) {
        std::fprintf(stderr, "%s\n", message->c_str());
        return 1;
    }
    QApplication app(argc, argv);
    trevalon::shell::basGeneral::SetUpApplication();
    QApplication::setApplicationVersion(QStringLiteral(TREVALON_VERSION));

    trevalon::shell::basGeneral::Main();
    const int status = QApplication::exec();
    trevalon::shell::basGeneral::UnloadAll();
    return status;
}
