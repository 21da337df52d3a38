// What a real X server and window manager are told about the windows: read
// back from the server's own properties, as a task bar reads them.
#include <xcb/xcb.h>

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QtGui/qguiapplication_platform.h>
#include <QtTest>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "errors/frm_errors.h"
#include "look/artwork.h"
#include "shell/frmAbout.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "update/frmNewRelease.h"

using namespace trevalon::shell;

namespace {

xcb_connection_t* Connection() {
    return qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t Atom(const char* name) {
    auto* reply = xcb_intern_atom_reply(
        Connection(), xcb_intern_atom(Connection(), 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// The 32-bit values of a property; empty when the window has none.
std::vector<std::uint32_t> Property(xcb_window_t window, const char* name) {
    auto* reply = xcb_get_property_reply(
        Connection(),
        xcb_get_property(Connection(), 0, window, Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
        nullptr);
    std::vector<std::uint32_t> values;
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

bool Holds(const std::vector<std::uint32_t>& values, const char* atom) {
    return std::find(values.begin(), values.end(), Atom(atom)) != values.end();
}

xcb_window_t Id(QWidget* window) { return static_cast<xcb_window_t>(window->winId()); }

xcb_window_t Root() {
    static QWidget probe;
    auto* tree = xcb_query_tree_reply(Connection(), xcb_query_tree(Connection(), Id(&probe)), nullptr);
    const xcb_window_t root = tree ? tree->root : xcb_window_t{XCB_WINDOW_NONE};
    std::free(tree);
    return root;
}

// Mapped and taken on by the window manager, which lists it on the root.
bool Listed(QWidget* window) {
    const std::vector<std::uint32_t> clients = Property(Root(), "_NET_CLIENT_LIST");
    return std::find(clients.begin(), clients.end(), Id(window)) != clients.end();
}

// Whether the window's _NET_WM_ICON holds the program's 16-pixel picture.
// Openbox writes an icon of its own onto a window that offers none, so an
// empty property is not what to look for.
bool ShowsProgramIcon(QWidget* window) {
    const std::vector<std::uint32_t> icons = Property(Id(window), "_NET_WM_ICON");
    const QImage own = trevalon::look::DrawIconImage(16).convertToFormat(QImage::Format_ARGB32);
    const auto* ownPixels = reinterpret_cast<const std::uint32_t*>(own.constBits());
    for (std::size_t at = 0; at + 2 <= icons.size(); at += 2 + std::size_t{icons[at]} * icons[at + 1]) {
        const std::size_t count = std::size_t{icons[at]} * icons[at + 1];
        if (icons[at] == 16 && icons[at + 1] == 16 && at + 2 + count <= icons.size() &&
            std::equal(ownPixels, ownPixels + count, icons.begin() + at + 2))
            return true;
    }
    return false;
}

// ICCCM's WM_STATE: 1 normal, 3 iconic (minimised).
std::uint32_t WmState(QWidget* window) {
    const std::vector<std::uint32_t> state = Property(Id(window), "WM_STATE");
    return state.empty() ? 0 : state.front();
}

// Minimises as a task bar or title bar button does: asks the window manager.
void MinimiseThroughWindowManager(QWidget* window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = Id(window);
    message.type = Atom("WM_CHANGE_STATE");
    message.data.data32[0] = 3;
    xcb_send_event(Connection(), 0, Root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(Connection());
}

bool StackedAbove(QWidget* upper, QWidget* lower) {
    const std::vector<std::uint32_t> stacking = Property(Root(), "_NET_CLIENT_LIST_STACKING");
    const auto up = std::find(stacking.begin(), stacking.end(), Id(upper));
    const auto low = std::find(stacking.begin(), stacking.end(), Id(lower));
    return up != stacking.end() && low != stacking.end() && up > low;
}

}  // namespace

class WindowHintsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server: run through with_window_manager.sh");
        if (Property(Root(), "_NET_SUPPORTING_WM_CHECK").empty())
            QSKIP("no EWMH window manager is running on this X server");
        basGeneral::SetUpApplication();  // as the program starts
        QCoreApplication::processEvents();
    }

    void aboutBoxHasNoTaskBarEntryAndNoIcon() {
        // Opened from the main window, as its help menu does.
        frmDriveSpeed window({{"/ [vda]"}, 0, {}});
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        frmAbout* box = frmAbout::ShowOrRaise();
        QTRY_VERIFY(Listed(box));
        QVERIFY(Holds(Property(Id(box), "_NET_WM_STATE"), "_NET_WM_STATE_SKIP_TASKBAR"));
        QTest::qWait(200);  // whatever icon comes, comes after the show
        QVERIFY(Property(Id(box), "_NET_WM_ICON").empty());
        // Shown again it gets none either.
        frmAbout::ShowOrRaise();
        QTest::qWait(200);
        QVERIFY(Property(Id(box), "_NET_WM_ICON").empty());
        box->close();
    }

    // Minimised through the window manager, the box comes back in front with either command.
    void minimisedAboutBoxComesBack_data() {
        QTest::addColumn<QKeyCombination>("key");
        QTest::newRow("Hel&p") << QKeyCombination(Qt::Key_F1);
        QTest::newRow("&About") << QKeyCombination(Qt::CTRL | Qt::Key_A);
    }

    void minimisedAboutBoxComesBack() {
        QFETCH(QKeyCombination, key);
        frmDriveSpeed window({{"/ [vda]"}, 0, {}});
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QPointer<frmAbout> box = frmAbout::ShowOrRaise();
        // Managed anew, not the state left from the row before.
        QTRY_VERIFY(Listed(box));
        QTRY_COMPARE(WmState(box), 1U);
        // A request that reaches openbox while it still sets the box up is
        // dropped, as a user's second click would not be: ask again.
        for (int i = 0; i < 20 && WmState(box) != 3U; ++i) {
            MinimiseThroughWindowManager(box);
            QTest::qWait(250);
        }
        QCOMPARE(WmState(box), 3U);
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, key.key(), key.keyboardModifiers());
        QTRY_COMPARE(WmState(box), 1U);
        QVERIFY(!Holds(Property(Id(box), "_NET_WM_STATE"), "_NET_WM_STATE_HIDDEN"));
        QTRY_VERIFY(StackedAbove(box, &window));
        QCOMPARE(frmAbout::Loaded(), box.data());
        box->close();
        QTRY_VERIFY(!Listed(box));
    }

    // The other windows carried the icon before the about box lost it, and keep it.
    void otherWindowsKeepTheProgramIcon_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("splash") << "frmSplash";
        QTest::newRow("error window") << "frmErrors";
        QTest::newRow("new-release notice") << "frmNewRelease";
    }

    void otherWindowsKeepTheProgramIcon() {
        QFETCH(QString, window);
        QWidget* shown = nullptr;
        if (window == "frmSplash") {
            basGeneral::Main();
            shown = SplashWindow();
            SplashWindow()->tmrInitializeApp->stop();
        } else if (window == "frmErrors") {
            shown = new trevalon::errors::frmErrors();
            shown->setAttribute(Qt::WA_DeleteOnClose);
        } else {
            shown = &trevalon::update::LoadNewRelease();
        }
        QCOMPARE(shown->objectName(), window);
        shown->show();
        QTRY_VERIFY(Listed(shown));
        QTest::qWait(200);
        QVERIFY(ShowsProgramIcon(shown));
        shown->close();
        basGeneral::UnloadAll();
    }

    void mainWindowKeepsItsTaskBarEntry() {
        frmDriveSpeed window({{"/ [vda]"}, 0, {}});
        window.show();
        QTRY_VERIFY(Listed(&window));
        QVERIFY(!Holds(Property(Id(&window), "_NET_WM_STATE"), "_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(ShowsProgramIcon(&window));
    }

    void splashIsASplashBehindTheNewVersionMessage() {
        basGeneral::Main();
        frmSplash* splash = SplashWindow();
        QVERIFY(splash != nullptr);
        splash->tmrInitializeApp->stop();
        QTRY_VERIFY(Listed(splash));
        QVERIFY(Holds(Property(Id(splash), "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE_SPLASH"));

        QMessageBox box(QMessageBox::Information, QStringLiteral("New Version Available"),
                        QStringLiteral("news"), QMessageBox::Ok);
        box.open();
        QTRY_VERIFY(Listed(&box));
        QTest::qWait(200);  // let the window manager settle the stacking order
        const std::vector<std::uint32_t> stacking = Property(Root(), "_NET_CLIENT_LIST_STACKING");
        const auto splashAt = std::find(stacking.begin(), stacking.end(), Id(splash));
        const auto boxAt = std::find(stacking.begin(), stacking.end(), Id(&box));
        QVERIFY(splashAt != stacking.end() && boxAt != stacking.end());
        QVERIFY2(boxAt > splashAt, "the message box is behind the splash");
        box.close();
        basGeneral::UnloadAll();
    }
};

QTEST_MAIN(WindowHintsTest)
#include "x11_window_hints_test.moc"
