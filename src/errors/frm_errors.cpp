#include "errors/frm_errors.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <optional>

#include "forms/run_loop.h"
#include "forms/windows.h"
#include "look/form_widgets.h"
#include "look/artwork.h"
#include "errors/error_locations.h"
#include "errors/hand_off.h"
#include "errors/report_address.h"

namespace trevalon::errors {

namespace {

// The client area inside a one-pixel border.
constexpr int kBorder = 1;
const QPoint kInside{kBorder, kBorder};

template <class Widget>
Widget* Placed(Widget* widget, const forms::Control& control) {
    widget->setObjectName(look::ObjectName(control));
    widget->setGeometry(look::PixelRect(control.place).translated(kInside));
    return widget;
}

}  // namespace

frmErrors::frmErrors(ReportSite site)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      Inet1(site.requestTimeout),
      reportBase_(std::move(site.baseUrl)) {
    const forms::Form& form = forms::ErrorsForm();
    setObjectName(look::Text(form.name));
    setWindowTitle(QStringLiteral("Trevalon"));  // for the task bar only; no title bar shows it
    setWindowIcon(look::ProgramIcon());
    look::ApplyClientArea(*this, form);
    setFixedSize(look::ClientSize(form) + QSize(2 * kBorder, 2 * kBorder));
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    // 10500 twips wide: wider than the window, so the window cuts it off.
    const forms::Control& header = form.Get("pictHeaderBar");
    pictHeaderBar = Placed(new look::HeaderStrip(look::Text(header.caption), this), header);
    pictHeaderBar->setToolTip(look::Text(header.toolTip));

    const auto label = [&](const char* name) {
        return look::BuildLabel(this, form.Get(name), Qt::AlignTop, kInside);
    };
    Label1 = label("Label1");
    lblErrorLocation = label("lblErrorLocation");
    lblErrorNumber = label("lblErrorNumber");
    lblErrorDescription = label("lblErrorDescription");

    const auto button = [&](const char* name) {
        const forms::Control& control = form.Get(name);
        return Placed(new look::PictureButton(look::Text(control.caption), this), control);
    };
    cmdSendError = button("cmdSendError");
    cmdCancel = button("cmdCancel");

    connect(cmdSendError, &QAbstractButton::clicked, this, [this] { cmdSendError_Click(); });
    connect(cmdCancel, &QAbstractButton::clicked, this, [this] { cmdCancel_Click(); });
    // Focus arriving in the window from elsewhere is the window getting the focus.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (now && now->window() == this && (!old || old->window() != this)) Form_GotFocus();
    });
}

void frmErrors::SetReportSite(const ReportSite& site) {
    reportBase_ = site.baseUrl;
    Inet1 = net::Inet(site.requestTimeout);
}

void frmErrors::RefreshLabels() {
    const forms::ErrorTexts texts =
        forms::ErrorWindowTexts(ErrorNumber, ErrorLocation, ErrorDescription);
    lblErrorLocation->setText(QString::fromStdString(texts.location));
    lblErrorNumber->setText(QString::fromStdString(texts.number));
    lblErrorDescription->setText(QString::fromStdString(texts.description));
}

void frmErrors::Form_Activate() {
    try {
        RefreshLabels();
    } catch (...) {
        HandOffCurrentException(location::kErrorsFormActivate);
    }
}

void frmErrors::Form_GotFocus() {
    try {
        RefreshLabels();
    } catch (...) {
        HandOffCurrentException(location::kErrorsFormGotFocus);
    }
}

void frmErrors::cmdSendError_Click() {
    // The report is never told about, and the window hides regardless.
    SendReport(Inet1, reportBase_, ErrorNumber, ErrorLocation, ErrorDescription);
    hide();
}

void frmErrors::cmdCancel_Click() {
    try {
        hide();
    } catch (...) {
        HandOffCurrentException(location::kErrorsCancelClick);
    }
}

void frmErrors::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
    QWidget::changeEvent(event);
}

void frmErrors::showEvent(QShowEvent* event) {
    // Showing the hidden window activates it; some platforms never say so
    // when it was the last active window before it hid.
    Form_Activate();
    QWidget::showEvent(event);
}

void frmErrors::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace trevalon::errors
