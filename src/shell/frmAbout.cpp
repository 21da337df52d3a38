#include "shell/frmAbout.h"

#include <QFont>
#include <QLabel>
#include <QString>

#include "net/site_address.h"
#include "look/classic_font.h"
#include "look/twips.h"
#include "shell/window_hints.h"

namespace trevalon::shell {
namespace {

// The maker's contact details. The web address is the build's site;
// the rest reach no one: a number in the 555-01xx range kept for fiction, an
// e-mail address at the site's own domain and a street that does not exist.
constexpr char kPhone[] = "(206) 555-0142";
constexpr char kStreet[] = "1820 Mirrowin Way";
constexpr char kTown[] = "Bellevue, WA 98004";
constexpr char kCountry[] = "USA";
constexpr char kSupportHours[] = "Mon - Fri, 9:00 AM - 5:00 PM Pacific";

// The site's host without port and without a leading "www.".
QString MailDomain() {
    QString host = QString::fromStdString(net::SiteHost());
    const qsizetype colon = host.indexOf(QLatin1Char(':'));
    if (colon >= 0) host.truncate(colon);
    if (host.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) host.remove(0, 4);
    return host;
}

// A label that breaks its text into lines within its fixed size.
QLabel* Wrapped(QWidget* parent, const char* name, int left, int top, int width, int height,
                const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(look::TwipsRect(left, top, width, height));
    return label;
}

// A one-line label sized to its text.
QLabel* Line(QWidget* parent, const char* name, int left, int top, const QString& text,
             bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    if (bold) label->setFont(look::ClassicUiFont(8.25, true));
    label->move(look::Px(left), look::Px(top));
    label->resize(label->sizeHint().width(), look::Px(195));
    return label;
}

}  // namespace

QPointer<frmAbout> frmAbout::loaded_;

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Trevalon"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(look::ClassicUiFont(8.25));
    setFixedSize(look::Px(6300), look::Px(4395));

    Label1 = Wrapped(this, "Label1", 60, 60, 6165, 915,
                     QStringLiteral(
                         "Trevalon is an application that will help you analyze the speed of your "
                         "drive.  Some programs that require a lot of drive interaction may run slow "
                         "on a slower drive, therefore you may wish to move them to a faster drive.  "
                         "This application will help you to determine which drives are fast."));
    Label2 = Line(this, "Label2", 60, 1230, QStringLiteral("To Use Trevalon:"), true);
    Label3 = Wrapped(
        this, "Label3", 60, 1530, 6165, 1305,
        QStringLiteral(
            "Trevalon includes 3 main speed comparisons, there is the Single Drive Detailed check, "
            "the multiple drive read/write comparison, and the multiple drive copy speed "
            "comparison.  To select the check you wish to perform, simple click the Check Drives "
            "menu and select the appropriate check to run.  Each check will require you to select "
            "one or more drives to check, then click a button (blue) to activate the test.  In a "
            "few moments time your results will be displayed."));
    Label4 = Line(this, "Label4", 60, 3030, QStringLiteral("If You Need Help You May Contact Us At:"),
                  true);
    Label5 = Line(this, "Label5", 60, 3390,
                  QStringLiteral("Web: ") + QString::fromStdString(net::SiteBaseUrl()));
    Label8 = Line(this, "Label8", 3780, 3390, QStringLiteral("Mirrowin"));
    Label6 = Line(this, "Label6", 60, 3630, QStringLiteral("EMail: support@") + MailDomain());
    Label9 = Line(this, "Label9", 3780, 3630, QString::fromLatin1(kStreet));
    Label7 = Line(this, "Label7", 60, 3870, QStringLiteral("Phone: ") + QString::fromLatin1(kPhone));
    Label10 = Line(this, "Label10", 3780, 3870, QString::fromLatin1(kTown));
    Label12 = Line(this, "Label12", 60, 4110, QString::fromLatin1(kSupportHours));
    Label11 = Line(this, "Label11", 3780, 4110, QString::fromLatin1(kCountry));
}

frmAbout* frmAbout::Loaded() { return loaded_.data(); }

frmAbout* frmAbout::ShowOrRaise() {
    // A box closed but not yet destroyed (its deletion waits for the event
    // loop) counts as unloaded: it goes now, and a fresh one takes its place.
    if (loaded_ && !loaded_->isVisible()) delete loaded_.data();
    if (!loaded_) {
        loaded_ = new frmAbout();
        KeepOffTaskBar(*loaded_);
    }
    // A box the user minimised has no task-bar entry to come back from: this is its way back.
    loaded_->setWindowState(loaded_->windowState() & ~Qt::WindowMinimized);
    loaded_->show();
    KeepWithoutIcon(*loaded_);
    loaded_->raise();
    loaded_->activateWindow();
    return loaded_.data();
}

}  // namespace trevalon::shell
