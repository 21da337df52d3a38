#include "update/frmNewRelease.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <exception>

#include "errors/error_locations.h"
#include "errors/hand_off.h"
#include "look/artwork.h"
#include "forms/windows.h"
#include "look/form_widgets.h"

namespace trevalon::update {

namespace {

frmNewRelease* loaded = nullptr;

template <class Widget>
Widget* Placed(Widget* widget, const forms::Control& control) {
    widget->setObjectName(look::ObjectName(control));
    widget->setGeometry(look::PixelRect(control.place));
    widget->setToolTip(look::Text(control.toolTip));
    return widget;
}

}  // namespace

frmNewRelease::frmNewRelease(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    const forms::Form& form = forms::NewReleaseForm();
    setObjectName(look::Text(form.name));
    setWindowIcon(look::ProgramIcon());
    look::ApplyClientArea(*this, form);

    const forms::Control& header = form.Get("pictHeaderBar");
    pictHeaderBar = Placed(new look::HeaderStrip(look::Text(header.caption), this), header);

    txtNewVersion = Placed(new QPlainTextEdit(this), form.Get("txtNewVersion"));
    txtNewVersion->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtNewVersion->setReadOnly(true);

    const forms::Control& close = form.Get("cmd1");
    cmd1 = Placed(new look::PictureButton(look::Text(close.caption), this), close);
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
