// Writes the program icon as PNG files for the desktop's icon theme:
// make_icons DIR SIZE...
#include <QGuiApplication>
#include <QString>
#include <cstdio>

#include "look/artwork.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DIR SIZE...\n", argv[0]);
        return 2;
    }
    const QString directory = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        const QString file = directory + QStringLiteral("/trevalon-%1.png").arg(size);
        if (size <= 0 || !trevalon::look::DrawIconImage(size).save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
