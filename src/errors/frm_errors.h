// The one error window: apologises, shows where an error happened, and offers
// to send the three values to the maker's web site.
#pragma once

#include <QLabel>
#include <QWidget>
#include <cstdint>
#include <string>

#include "look/header_and_button.h"
#include "errors/report_address.h"
#include "net/inet.h"

namespace trevalon::errors {

class frmErrors : public QWidget {
    Q_OBJECT
public:
    explicit frmErrors(ReportSite site = DefaultReportSite());

    // Set by the hand-off before showing; the window only reads them.
    std::int32_t ErrorNumber = 0;
    std::int32_t ErrorLocation = 0;
    std::string ErrorDescription;

    look::HeaderStrip* pictHeaderBar;
    QLabel* Label1;
    QLabel* lblErrorLocation;
    QLabel* lblErrorNumber;
    QLabel* lblErrorDescription;
    look::PictureButton* cmdSendError;
    look::PictureButton* cmdCancel;
    net::Inet Inet1;

    void SetReportSite(const ReportSite& site);

    void cmdSendError_Click();
    void cmdCancel_Click();
    void Form_Activate();
    void Form_GotFocus();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void RefreshLabels();

    std::string reportBase_;
    bool placed_ = false;
    friend void HandOffError(std::int32_t, std::int32_t, const std::string&);
};

}  // namespace trevalon::errors
