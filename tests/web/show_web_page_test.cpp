// The web page opener against a default browser of the test's own.
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "errors/frm_errors.h"
#include "errors/hand_off.h"
#include "test_desktop.h"
#include "web/show_web_page.h"
#include "web/web_page_opener.h"

using trevalon::testing::MessageAnswerer;
using trevalon::testing::TestDesktop;

namespace {

struct HandOff {
    std::int32_t number;
    std::int32_t location;
    std::string description;
};

QString ProgramPlaceholder() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("temphtm.HTM"));
}

std::filesystem::path Path(const QString& s) { return std::filesystem::path(s.toStdString()); }

}  // namespace

class TestShowWebPage : public QObject {
    Q_OBJECT
public:
    explicit TestShowWebPage(TestDesktop& desktop) : desktop_(desktop) {}

private slots:
    void init() {
        desktop_.MakeBrowserRecord();
        desktop_.ForgetCalls();
    }

    void startsTheBrowserOncePerCallWithTheAddress() {
        const std::string url = "http://www.mirrowin.example";
        MessageAnswerer answerer;

        trevalon::web::ShowWebPage(url);
        QCOMPARE(desktop_.WaitForCalls(1), QList<QStringList>{{QString::fromStdString(url)}});
        QVERIFY(!QFile::exists(ProgramPlaceholder()));

        trevalon::web::ShowWebPage(url);
        const QList<QStringList> calls = desktop_.WaitForCalls(2);
        QCOMPARE(calls.size(), 2);
        for (const QStringList& args : calls) QCOMPARE(args, QStringList{QString::fromStdString(url)});
        QVERIFY(!QFile::exists(ProgramPlaceholder()));
        QCOMPARE(answerer.messages().size(), 0);
    }

    void addressArrivesAsOneUnchangedArgument() {
        const QString url = QStringLiteral("http://www.mirrowin.example/a b  c?q=\"x y\"&r='z' ");
        MessageAnswerer answerer;
        trevalon::web::ShowWebPage(url.toStdString());
        QCOMPARE(desktop_.WaitForCalls(1), QList<QStringList>{{url}});
        QCOMPARE(answerer.messages().size(), 0);
    }

    void browserThatCannotStartShowsUrlFailed() {
        desktop_.MakeBrowserUnstartable();
        MessageAnswerer answerer;
        trevalon::web::ShowWebPage("http://www.mirrowin.example");

        QCOMPARE(answerer.messages().size(), 1);
        const MessageAnswerer::Message& m = answerer.messages().front();
        QCOMPARE(m.title, QStringLiteral("URL Failed"));
        QCOMPARE(m.text, QStringLiteral("Web Page not Opened"));
        QCOMPARE(m.icon, QMessageBox::Warning);
        QCOMPARE(m.buttons, 1);
        QVERIFY(!QFile::exists(ProgramPlaceholder()));
    }

    // Installed programs' folders are seldom writable by their users.
    void unwritableProgramFolderFallsBackToTheTemporaryFolder_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a file where the folder should be") << "file";
        QTest::newRow("a folder that is not there") << "missing";
        QTest::newRow("a FIFO under the placeholder's name") << "fifo";
    }
    void unwritableProgramFolderFallsBackToTheTemporaryFolder() {
        QFETCH(QString, kind);
        QTemporaryDir scratch;
        QTemporaryDir temp;
        QDir dir(scratch.path());
        QString program = dir.filePath(QStringLiteral("program"));
        if (kind == "file") {
            QFile f(program);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (kind == "fifo") {
            QVERIFY(dir.mkdir(QStringLiteral("program")));
            const QString fifo = QDir(program).filePath(QStringLiteral("temphtm.HTM"));
            QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0644), 0);
        }
        std::optional<HandOff> handOff;
        MessageAnswerer answerer;

        trevalon::web::ShowWebPage(
            "http://www.mirrowin.example", {Path(program), Path(temp.path())},
            [&](std::int32_t n, std::int32_t l, const std::string& d) { handOff = HandOff{n, l, d}; });

        QVERIFY(!handOff);
        QCOMPARE(answerer.messages().size(), 0);
        QCOMPARE(desktop_.WaitForCalls(1),
                 QList<QStringList>{{QStringLiteral("http://www.mirrowin.example")}});
        QVERIFY2(QDir(temp.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 "the temporary folder keeps something");
    }

    void neitherFolderWritableHandsOffWithLocation45() {
        QTemporaryDir scratch;
        const QString blocker = QDir(scratch.path()).filePath(QStringLiteral("not-a-folder"));
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        std::optional<HandOff> handOff;
        MessageAnswerer answerer;

        trevalon::web::ShowWebPage(
            "http://www.mirrowin.example", {Path(blocker), Path(blocker)},
            [&](std::int32_t n, std::int32_t l, const std::string& d) { handOff = HandOff{n, l, d}; });

        QVERIFY(handOff);
        QCOMPARE(handOff->location, 45);
        QCOMPARE(handOff->number, 75);
        QCOMPARE(handOff->description, std::string("Path/File access error"));
        QCOMPARE(answerer.messages().size(), 0);
        QCOMPARE(desktop_.WaitForCalls(0).size(), 0);
        QCOMPARE(QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("not-a-folder")});

        // And through the real hand-off, the error window shows it.
        trevalon::web::ShowWebPage("http://www.mirrowin.example", {Path(blocker), Path(blocker)},
                                   &trevalon::errors::HandOffError);
        trevalon::errors::frmErrors* window = trevalon::errors::ExistingErrorWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->ErrorLocation, 45);
        QCOMPARE(window->ErrorNumber, 75);
        QCOMPARE(window->ErrorDescription, handOff->description);
        QCOMPARE(answerer.messages().size(), 0);
    }

private:
    TestDesktop& desktop_;
};

int main(int argc, char** argv) {
    TestDesktop desktop(TestDesktop::Html::DefaultBrowser);
    QApplication app(argc, argv);
    TestShowWebPage test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "show_web_page_test.moc"
