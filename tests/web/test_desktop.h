// A desktop of the test's own for the web page opener: XDG folders in a
// temporary folder, and a browser that records every start in a file.
// GLib reads the XDG folders once per process, so make it before anything
// asks GIO about applications (in main, before the QApplication).
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <utility>

namespace trevalon::testing {

class TestDesktop {
public:
    // TerminalHandler: the default for HTML is a program that needs a terminal.
    enum class Html { DefaultBrowser, NoHandler, TerminalHandler };

    explicit TestDesktop(Html html) {
        QDir root(root_.path());
        for (const char* sub : {"data/applications", "config", "sys", "sysconfig", "calls"}) {
            root.mkpath(QString::fromLatin1(sub));
        }
        // The mime database must stay reachable; the desktop's own applications must not.
        QFile::link(QStringLiteral("/usr/share/mime"), root.filePath(QStringLiteral("sys/mime")));
        browser_ = root.filePath(QStringLiteral("browser"));
        calls_ = root.filePath(QStringLiteral("calls"));
        MakeBrowserRecord();

        const bool handlesHtml = html != Html::NoHandler;
        const QByteArray types = handlesHtml ? "text/html;" : "image/png;";
        const QByteArray terminal = html == Html::TerminalHandler ? "true" : "false";
        Write(root.filePath(QStringLiteral("data/applications/trevalon-test-browser.desktop")),
              "[Desktop Entry]\nType=Application\nName=Trevalon Test Browser\nExec=" +
                  browser_.toLocal8Bit() + " %u\nMimeType=" + types + "\nTerminal=" + terminal +
                  "\nNoDisplay=true\n");
        if (handlesHtml) {
            Write(root.filePath(QStringLiteral("config/mimeapps.list")),
                  "[Default Applications]\ntext/html=trevalon-test-browser.desktop\n");
        }
        setenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toLocal8Bit().constData(), 1);
        setenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toLocal8Bit().constData(), 1);
        setenv("XDG_DATA_DIRS", root.filePath(QStringLiteral("sys")).toLocal8Bit().constData(), 1);
        setenv("XDG_CONFIG_DIRS", root.filePath(QStringLiteral("sysconfig")).toLocal8Bit().constData(),
               1);
    }

    // Each start leaves one file holding its argument count and arguments, each ended by a NUL.
    void MakeBrowserRecord() {
        Write(browser_, "#!/bin/sh\nprintf '%s\\0' \"$#\" \"$@\" > '" + calls_.toLocal8Bit() +
                            "/.part.'$$ && mv '" + calls_.toLocal8Bit() + "/.part.'$$ '" +
                            calls_.toLocal8Bit() + "/call.'$$\n");
        QFile::setPermissions(browser_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ExeGroup | QFile::ExeOther);
    }
    // Still there and executable, but exec fails: its interpreter does not exist.
    void MakeBrowserUnstartable() { Write(browser_, "#!/nonexistent/interpreter\n"); }

    // The argument lists of the starts so far, in no particular order.
    QList<QStringList> Calls() const {
        QList<QStringList> calls;
        const QStringList files =
            QDir(calls_).entryList({QStringLiteral("call.*")}, QDir::Files | QDir::Hidden);
        for (const QString& name : files) {
            QFile f(QDir(calls_).filePath(name));
            if (!f.open(QIODevice::ReadOnly)) continue;
            QStringList args;
            QByteArray data = f.readAll();
            qsizetype start = 0;
            for (qsizetype i = 0; i < data.size(); ++i) {
                if (data[i] == '\0') {
                    args << QString::fromLocal8Bit(data.mid(start, i - start));
                    start = i + 1;
                }
            }
            // The count comes first; a list that disagrees with it shows as its own oddity.
            const QString count = args.isEmpty() ? QString() : args.takeFirst();
            if (count != QString::number(args.size())) args << QStringLiteral("<count %1>").arg(count);
            calls << args;
        }
        return calls;
    }

    // Waits until there are `count` starts, then a little longer to see no more come.
    QList<QStringList> WaitForCalls(int count) const {
        static_cast<void>(QTest::qWaitFor([&] { return Calls().size() >= count; }, 5000));
        QTest::qWait(250);
        return Calls();
    }

    void ForgetCalls() const {
        QDir dir(calls_);
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) dir.remove(name);
    }

    QString browserPath() const { return browser_; }

private:
    static void Write(const QString& path, const QByteArray& content) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
        f.write(content);
    }

    QTemporaryDir root_;
    QString browser_;
    QString calls_;
};

// Answers every message box that comes up with OK and remembers what it said.
// `whileOpen` runs with the box still open (the opener's placeholder still exists then).
class MessageAnswerer {
public:
    struct Message {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        int buttons;
    };

    explicit MessageAnswerer(std::function<void()> whileOpen = {}) : whileOpen_(std::move(whileOpen)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            messages_.append({box->windowTitle(), box->text(), box->icon(),
                              static_cast<int>(box->buttons().size())});
            if (whileOpen_) whileOpen_();
            box->done(QMessageBox::Ok);
        });
        timer_.start(10);
    }

    const QList<Message>& messages() const { return messages_; }

private:
    std::function<void()> whileOpen_;
    QList<Message> messages_;
    QTimer timer_;
};

}  // namespace trevalon::testing
