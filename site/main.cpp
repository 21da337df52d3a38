// trevalon-site --port N --version-file F --news-file F --db F
//               [--bind ADDRESS] [--access-log F] [--retry BASE] [--answer TEXT]
//
// Serves on ADDRESS (127.0.0.1 by default). Prints "listening on ADDRESS:PORT" once it
// accepts connections (useful with --port 0), and stops on SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <pthread.h>
#include <string>
#include <thread>

#include "site.h"

namespace {

void Usage() {
    std::cerr << "usage: trevalon-site --port N --version-file F --news-file F --db F "
                 "[--bind ADDRESS] [--access-log F] [--retry BASE] [--answer TEXT]\n";
}

bool ParsePort(const std::string& text, int& port) {
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used != text.size() || value < 0 || value > 65535) return false;
        port = value;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    trevalon::site::SiteConfig config;
    int port = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            Usage();
            return 2;
        }
        const std::string value = argv[++i];
        if (arg == "--port") {
            if (!ParsePort(value, port)) {
                std::cerr << "trevalon-site: bad port " << value << "\n";
                return 2;
            }
        } else if (arg == "--version-file") {
            config.versionFile = value;
        } else if (arg == "--news-file") {
            config.newsFile = value;
        } else if (arg == "--db") {
            config.dbPath = value;
        } else if (arg == "--bind") {
            config.address = value;
        } else if (arg == "--access-log") {
            config.accessLog = value;
        } else if (arg == "--retry") {
            config.retryBase = value;
        } else if (arg == "--answer") {
            config.answer = value;
        } else {
            Usage();
            return 2;
        }
    }
    if (port < 0 || config.versionFile.empty() || config.newsFile.empty() || config.dbPath.empty()) {
        Usage();
        return 2;
    }

    // Signals are taken by one waiting thread, so stopping never runs in a handler.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        trevalon::site::Site site(config);
        const int bound = site.Bind(port);
        if (bound < 0) {
            std::cerr << "trevalon-site: cannot listen on " << config.address << ":" << port << "\n";
            return 1;
        }
        std::thread stopper([&] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            site.Stop();
        });
        std::cout << "listening on " << config.address << ":" << bound << std::endl;
        site.Run();
        // Run also ends when the server fails; wake the stopper so it can be joined.
        pthread_kill(stopper.native_handle(), SIGTERM);
        stopper.join();
    } catch (const std::exception& e) {
        std::cerr << "trevalon-site: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
