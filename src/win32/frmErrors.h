// frmErrors: the one error window; Send and Cancel only hide it.
#pragma once

#include <cstdint>
#include <string>

#include "errors/report_address.h"
#include "net/inet.h"
#include "win32/form_window.h"

namespace trevalon::win32 {

class frmErrors final : public FormWindow {
public:
    // Set by the hand-off before showing; the window only reads them.
    std::int32_t ErrorNumber = 0;
    std::int32_t ErrorLocation = 0;
    std::string ErrorDescription;

    net::Inet Inet1;

    void cmdSendError_Click();
    void cmdCancel_Click();
    void Form_Activate();
    void Form_GotFocus();

    // Where Send delivers reports (tests point it at a local site).
    void SetReportSite(const errors::ReportSite& site);

    static frmErrors& Window();
    static frmErrors* Existing();

protected:
    void OnCommand(int id, int code) override;
    void OnActivate() override { Form_Activate(); }
    void OnSetFocus() override { Form_GotFocus(); }
    // No control box: the window has nothing to close it by but its buttons.
    void OnClose() override {}

private:
    frmErrors();
    void RefreshLabels();

    std::string reportBase_;
};

}  // namespace trevalon::win32
