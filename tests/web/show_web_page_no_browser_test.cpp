// The web page opener on a desktop where nothing opens HTML files, or where
// only a program that needs a terminal does (TREVALON_TEST_HTML=terminal).
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <string_view>

#include "test_desktop.h"
#include "web/web_page_opener.h"

using trevalon::testing::MessageAnswerer;
using trevalon::testing::TestDesktop;

class TestShowWebPageNoBrowser : public QObject {
    Q_OBJECT
public:
    explicit TestShowWebPageNoBrowser(TestDesktop& desktop) : desktop_(desktop) {}

private slots:
    void onlyBrowserNotFoundIsShownAndNothingStarts() {
        QTemporaryDir program;
        QTemporaryDir temp;
        const QString placeholder = QDir(program.path()).filePath(QStringLiteral("temphtm.HTM"));
        {
            // Longer than the placeholder's line, to see that it is emptied first.
            QFile old(placeholder);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(100, 'x'));
        }
        QByteArray contentWhileAsked;
        MessageAnswerer answerer([&] {
            QFile f(placeholder);
            if (f.open(QIODevice::ReadOnly)) contentWhileAsked = f.readAll();
        });
        bool handedOff = false;

        trevalon::web::ShowWebPage(
            "http://www.mirrowin.example",
            {std::filesystem::path(program.path().toStdString()),
             std::filesystem::path(temp.path().toStdString())},
            [&](std::int32_t, std::int32_t, const std::string&) { handedOff = true; });

        QCOMPARE(answerer.messages().size(), 1);
        const MessageAnswerer::Message& m = answerer.messages().front();
        QCOMPARE(m.title, QStringLiteral("Browser Not Found"));
        QCOMPARE(m.text, QStringLiteral("Could not find associated Browser"));
        QCOMPARE(m.icon, QMessageBox::Warning);
        QCOMPARE(m.buttons, 1);
        QCOMPARE(contentWhileAsked, QByteArray("\"<HTML> <\\HTML>\"\r\n"));
        QCOMPARE(contentWhileAsked.size(), 18);
        QVERIFY(!handedOff);
        QVERIFY(!QFile::exists(placeholder));
        QCOMPARE(desktop_.WaitForCalls(0).size(), 0);
    }

private:
    TestDesktop& desktop_;
};

int main(int argc, char** argv) {
    const char* html = std::getenv("TREVALON_TEST_HTML");
    TestDesktop desktop(html != nullptr && std::string_view(html) == "terminal"
                            ? TestDesktop::Html::TerminalHandler
                            : TestDesktop::Html::NoHandler);
    QApplication app(argc, argv);
    TestShowWebPageNoBrowser test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "show_web_page_no_browser_test.moc"
