#include "errors/frm_errors.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <optional>

#include "look/classic_font.h"
#include "look/artwork.h"
#include "look/twips.h"
#include "errors/error_locations.h"
#include "errors/hand_off.h"
#include "errors/report_address.h"

namespace trevalon::errors {

namespace {

// 4875 x 4215 twips inside a one-pixel border.
constexpr int kBorder = 1;
const QSize kClientSize{look::Px(4875), look::Px(4215)};
const QColor kBackground(232, 232, 232);

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& twipsRect, const QString& text,
                  bool wrap) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(twipsRect.translated(kBorder, kBorder));
    label->setFont(look::ClassicUiFont(true));
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

frmErrors::frmErrors(ReportSite site)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      Inet1(site.requestTimeout),
      reportBase_(std::move(site.baseUrl)) {
    setObjectName(QStringLiteral("frmErrors"));
    setWindowTitle(QStringLiteral("Trevalon"));  // for the task bar only; no title bar shows it
    setWindowIcon(look::ProgramIcon());
    setFixedSize(kClientSize + QSize(2 * kBorder, 2 * kBorder));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    pictHeaderBar = new look::HeaderStrip(QStringLiteral("An Error Has Occured"), this);
    pictHeaderBar->setObjectName(QStringLiteral("pictHeaderBar"));
    // 10500 twips wide: wider than the window, so the window cuts it off.
    pictHeaderBar->setGeometry(look::TwipsRect(0, 0, 10500, 405).translated(kBorder, kBorder));

    Label1 = MakeLabel(
        this, "Label1", look::TwipsRect(60, 450, 4755, 1485),
        QStringLiteral(
            "We regret that an unexpected error has occured in our software.  This error has been "
            "captured and we would appreciate it if you could transfer this error to us so that we "
            "may investigate.  We respect your privacy and only the limited information you see "
            "below will be transfered to us.  Thank you for helping us make this a better product."),
        true);
    lblErrorLocation = MakeLabel(this, "lblErrorLocation", look::TwipsRect(60, 2010, 4755, 255),
                                 QStringLiteral("Error Location:"), false);
    lblErrorNumber = MakeLabel(this, "lblErrorNumber", look::TwipsRect(60, 2370, 4755, 255),
                               QStringLiteral("Error Number:"), false);
    lblErrorDescription = MakeLabel(this, "lblErrorDescription", look::TwipsRect(60, 2730, 4755, 945),
                                    QStringLiteral("Error Description:"), true);

    cmdSendError = new look::PictureButton(QStringLiteral("Send Report"), this);
    cmdSendError->setObjectName(QStringLiteral("cmdSendError"));
    cmdSendError->setGeometry(look::TwipsRect(90, 3780, 1665, 345).translated(kBorder, kBorder));
    cmdCancel = new look::PictureButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(look::TwipsRect(3120, 3780, 1665, 345).translated(kBorder, kBorder));

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
    lblErrorLocation->setText(QStringLiteral("Error Location: ") + QString::number(ErrorLocation));
    lblErrorNumber->setText(QStringLiteral("Error Number: ") + QString::number(ErrorNumber));
    lblErrorDescription->setText(QStringLiteral("Error Description: ") +
                                 QString::fromStdString(ErrorDescription));
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
    // Every step may fail; none is ever reported, and the window hides regardless.
    std::string query;
    std::string answer;
    try {
        query = ReportQuery(ErrorNumber, ErrorLocation, ErrorDescription);
        Inet1.URL = FirstReportAddress(reportBase_, query);
        answer = Inet1.OpenURL();
    } catch (...) {
    }
    try {
        if (const std::optional<std::string> base = RetryBase(answer); base && !query.empty()) {
            Inet1.URL = *base + query;
            (void)Inet1.OpenURL();
        }
    } catch (...) {
    }
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
