#include "update/frmNewRelease.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <exception>

#include "errors/error_locations.h"
#include "errors/hand_off.h"
#include "look/artwork.h"
#include "look/twips.h"

namespace trevalon::update {

namespace {

frmNewRelease* loaded = nullptr;

using look::Px;

}  // namespace

frmNewRelease::frmNewRelease(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmNewRelease"));
    setWindowIcon(look::ProgramIcon());
    setFixedSize(Px(7635), Px(5190));
    setAutoFillBackground(true);
    QPalette back = palette();
    back.setColor(QPalette::Window, QColor(232, 232, 232));
    setPalette(back);

    pictHeaderBar = new look::HeaderStrip(QStringLiteral("New Version Available"), this);
    pictHeaderBar->setObjectName(QStringLiteral("pictHeaderBar"));
    pictHeaderBar->setGeometry(0, 0, Px(10500), Px(405));
    pictHeaderBar->setToolTip(QStringLiteral("Click here and drag to move this window"));

    txtNewVersion = new QPlainTextEdit(this);
    txtNewVersion->setObjectName(QStringLiteral("txtNewVersion"));
    txtNewVersion->setGeometry(Px(90), Px(510), Px(7455), Px(4095));
    txtNewVersion->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtNewVersion->setReadOnly(true);
    txtNewVersion->setToolTip(QStringLiteral("The latest version news."));

    cmd1 = new look::PictureButton(QStringLiteral("Cancel"), this);
    cmd1->setObjectName(QStringLiteral("cmd1"));
    cmd1->setGeometry(Px(2940), Px(4740), Px(1665), Px(345));
    cmd1->setToolTip(QStringLiteral("Click here to close this message"));
    connect(cmd1, &QAbstractButton::clicked, this, &frmNewRelease::cmd1_Click);

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void frmNewRelease::cmd1_Click() {
    try {
        UnloadNewRelease();
    } catch (const std::exception& error) {
        errors::HandOffError(51, errors::location::kNewReleaseCmd1Click, error.what());
    }
}

// The single fixed border of a window without a title bar.
void frmNewRelease::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

frmNewRelease& LoadNewRelease() {
    if (loaded == nullptr) loaded = new frmNewRelease();
    return *loaded;
}

frmNewRelease* NewReleaseWindow() { return loaded; }

void UnloadNewRelease() {
    frmNewRelease* window = loaded;
    if (window == nullptr) return;
    loaded = nullptr;
    window->hide();
    // Unloading may come from the window's own click; let that return first.
    window->deleteLater();
}

}  // namespace trevalon::update
