// A run on its own thread reaches the panel only through the forwarding view:
// every operation a panel implements must arrive, on the window thread.
#include <QCoreApplication>
#include <QThread>
#include <QtTest>
#include <string>
#include <vector>

#include "shell/run_thread.h"

namespace {

using trevalon::bench::ResultRecord;
using trevalon::bench::ResultUnit;
using trevalon::bench::TestKind;

// Notes each call with the thread it came on.
class NotingView final : public trevalon::bench::ViewOperations {
public:
    void SetStatusText(const std::string&) override { Note("status"); }
    void SetResultText(int, const std::string&) override { Note("result"); }
    void SetBarWidth(int, float) override { Note("bar"); }
    std::string GetDriveEntry(int) override { return Note("entry"), "/x [x]"; }
    bool YieldToWindow() override { return Note("yield"), true; }
    void ShowDriveMessage(const std::string&) override { Note("message"); }
    void HandOffError(std::int32_t, std::int32_t, const std::string&) override { Note("handoff"); }
    void SetTestButtonEnabled(bool) override { Note("button"); }
    trevalon::bench::NumberSeparators GetNumberSeparators() override {
        return Note("separators"), trevalon::bench::NumberSeparators{};
    }
    std::optional<std::uint64_t> GetDriveVolume(int) override { return Note("volume"), 42U; }
    void RecordResult(const ResultRecord&) override { Note("record"); }
    void RecordDrive(int, const std::string&) override { Note("drive"); }

    std::vector<std::string> calls;
    bool allOnWindowThread = true;

private:
    void Note(const char* call) {
        calls.emplace_back(call);
        allOnWindowThread = allOnWindowThread && QThread::currentThread() == qApp->thread();
    }
};

}  // namespace

class RunThreadTest : public QObject {
    Q_OBJECT
private slots:
    void everyOperationReachesThePanelOnTheWindowThread() {
        NotingView panel;
        QObject context;
        trevalon::shell::WindowThreadView forwarding(panel, context);
        std::optional<std::uint64_t> volume;
        const auto error = trevalon::shell::RunOffWindowThread(context, [&] {
            forwarding.SetStatusText("s");
            forwarding.SetResultText(0, "r");
            forwarding.SetBarWidth(0, 15);
            (void)forwarding.GetDriveEntry(0);
            (void)forwarding.YieldToWindow();
            forwarding.ShowDriveMessage("m");
            forwarding.HandOffError(1, 2, "d");
            forwarding.SetTestButtonEnabled(true);
            (void)forwarding.GetNumberSeparators();
            volume = forwarding.GetDriveVolume(0);
            forwarding.RecordResult({TestKind::kSingleDriveCheck, 0, 1.0, ResultUnit::kSeconds});
            forwarding.RecordDrive(0, "/x/");
        });
        QVERIFY(!error);
        const std::vector<std::string> expected{"status",  "result", "bar",        "entry",
                                                "yield",   "message", "handoff",   "button",
                                                "separators", "volume", "record",  "drive"};
        QCOMPARE(panel.calls, expected);
        QVERIFY(panel.allOnWindowThread);
        QCOMPARE(volume, std::optional<std::uint64_t>(42U));
    }
};

QTEST_MAIN(RunThreadTest)
#include "run_thread_test.moc"
