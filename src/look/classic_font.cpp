#include "look/classic_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <algorithm>
#include <array>
#include <climits>

namespace trevalon::look {

namespace {

// Fonts with the widths the layout was made for.
bool IsMetricTwin(const QString& family) {
    return family == QLatin1String("MS Sans Serif") || family == QLatin1String("Liberation Sans");
}

QString ChosenFamily() {
    static const QString family = [] {
        for (const QString& candidate :
             {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")}) {
            if (QFontDatabase::hasFamily(candidate)) return candidate;
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

int NominalPixels(qreal points) { return static_cast<int>(points * 96.0 / 72.0 + 0.5); }

QFont Sized(int pixels, bool bold) {
    QFont font(ChosenFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

int ScaledPixels(qreal points, int percent) {
    return std::max(1, NominalPixels(points) * percent / 100);
}

// The fixed texts with the least room to spare in any window, in pixels; a
// height of 0 means one line. A wider font is shrunk until all of them fit.
struct Room {
    const char* text;
    qreal points;
    bool bold;
    int width;
    int height;
};
constexpr std::array<Room, 16> kTightestRooms{{
    {"Begin Drive Comparison", 8.25, false, 119, 0},
    {"Begin Copy Comparison", 8.25, false, 119, 0},
    {"Check My Drive Speed", 8.25, false, 119, 0},
    {"Select Drive To Speed Check", 8.25, true, 174, 0},
    {"Fast -->", 8.25, true, 44, 0},
    {"Slow -->", 8.25, true, 44, 0},
    {"<-- Fast", 8.25, true, 44, 0},
    {"<-- Slow", 8.25, true, 49, 0},
    {"Drive Overall Write Speed (KB/second):", 8.25, true, 250, 0},
    {"Directory Lookup Speed (10000 Files):", 8.25, true, 250, 0},
    {"#1. Select Drive A Drive To Compare", 8.25, true, 250, 0},
    {"Please Choose The Drives To Compare", 9.75, true, 313, 0},
    {"Mon - Fri, 9:00 AM - 5:00 PM Pacific", 8.25, false, 240, 0},
    {"If You Need Help You May Contact Us At:", 8.25, true, 400, 0},
    {"Trevalon includes 3 main speed comparisons, there is the Single Drive Detailed check, "
     "the multiple drive read/write comparison, and the multiple drive copy speed comparison.  "
     "To select the check you wish to perform, simple click the Check Drives menu and select the "
     "appropriate check to run.  Each check will require you to select one or more drives to "
     "check, then click a button (blue) to activate the test.  In a few moments time your "
     "results will be displayed.",
     8.25, false, 411, 87},
    {"We regret that an unexpected error has occured in our software.  This error has been "
     "captured and we would appreciate it if you could transfer this error to us so that we may "
     "investigate.  We respect your privacy and only the limited information you see below will "
     "be transfered to us.  Thank you for helping us make this a better product.",
     8.25, true, 317, 99},
}};

bool AllFit(int percent) {
    for (const Room& room : kTightestRooms) {
        const QFontMetrics metrics(Sized(ScaledPixels(room.points, percent), room.bold));
        const QString text = QString::fromLatin1(room.text);
        if (room.height == 0) {
            if (metrics.horizontalAdvance(text) > room.width) return false;
        } else if (metrics.boundingRect(0, 0, room.width, INT_MAX, Qt::TextWordWrap, text).height() >
                   room.height) {
            return false;
        }
    }
    return true;
}

}  // namespace

int ClassicUiScalePercent() {
    static const int percent = [] {
        if (IsMetricTwin(ChosenFamily())) return 100;
        int p = 100;
        while (p > 50 && !AllFit(p)) p -= 2;
        return p;
    }();
    return percent;
}

QFont ClassicUiFont(qreal points, bool bold) {
    return Sized(ScaledPixels(points, ClassicUiScalePercent()), bold);
}

}  // namespace trevalon::look
