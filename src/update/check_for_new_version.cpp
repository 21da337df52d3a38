#include "update/check_for_new_version.h"

#include <QMessageBox>
#include <QString>

#include "net/site_address.h"
#include "look/artwork.h"
#include "update/frmNewRelease.h"
#include "update/version_answer.h"

namespace trevalon::update {

void CheckForNewVersion(net::Inet& inet, const std::string& siteBaseUrl) {
    const std::string answer = net::FetchOrEmpty(inet, siteBaseUrl + kVersionPagePath);
    if (!AnnouncesNewVersion(answer)) return;

    try {
        const QString title = QString::fromUtf8(kNewVersionTitle.data(),
                                                static_cast<qsizetype>(kNewVersionTitle.size()));
        QMessageBox message(QMessageBox::Information, title,
                            QString::fromStdString(NewVersionMessageText(siteBaseUrl)),
                            QMessageBox::Ok);
        message.setObjectName(QStringLiteral("msgNewVersionAvailable"));
        message.setWindowIcon(look::ProgramIcon());
        message.exec();
    } catch (...) {
    }

    const std::string news = net::FetchOrEmpty(inet, siteBaseUrl + kNewsPagePath);
    try {
        frmNewRelease& notice = LoadNewRelease();
        // Plain text only: whatever markup the page holds is shown, never rendered.
        notice.txtNewVersion->setPlainText(QString::fromUtf8(news.data(),
                                                             static_cast<qsizetype>(news.size())));
        notice.show();
    } catch (...) {
    }
}

void CheckForNewVersion(net::Inet& inet) { CheckForNewVersion(inet, net::SiteBaseUrl()); }

}  // namespace trevalon::update
