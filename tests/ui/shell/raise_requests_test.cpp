// A later start of the program brings the running copy to the front. In this process: the
// window a request raises (the open modal window, else the window used last), minimised windows
// shown again, a request that is no request refused while the next is served. With the program
// itself: a copy started over a running one ends at once, silently and successfully, and the
// running copy brings its login forward for it.
//
// The program's name is per user; the test runs in a network namespace of its own, where the
// abstract socket names are its own, so that a copy of the program running elsewhere on the
// machine neither answers nor is disturbed.

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "core/single_instance.h"
#include "sample_installation.h"
#include "support.h"
#include "ui/shell/raise_requests.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::ReadBytes;
using dyd::test::TempDir;

namespace {

bool g_isolated = false;

// A private set of abstract socket names: a new network namespace (in a new user namespace
// when the test may not make one by itself). Done before any thread starts.
bool Isolate() {
    if (::unshare(CLONE_NEWNET) == 0) {
        return true;
    }
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
        return false;
    }
    const auto write = [](const char* file, const std::string& text) {
        const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
        const bool ok =
            fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        if (fd >= 0) {
            ::close(fd);
        }
        return ok;
    };
    write("/proc/self/setgroups", "deny");
    return write("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1") &&
           write("/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1");
}

std::string UniqueName(const char* what) {
    return "DydaktorRaiseTest." + std::to_string(::getpid()) + "." + what;
}

// Asks from another thread, so that this one's event loop serves the request meanwhile.
std::optional<std::string> AskWhileServing(const std::string& name) {
    auto answer =
        std::async(std::launch::async, [name] { return SingleInstance::AskToRaise(name, 10000); });
    while (answer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        QTest::qWait(5);
    }
    return answer.get();
}

struct Spawned {
    pid_t pid = -1;
    std::string errFile;
};

// Starts the program with its standard error in a file.
Spawned Spawn(const std::string& program, const std::string& errFile) {
    Spawned run;
    run.errFile = errFile;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int out = ::open("/dev/null", O_WRONLY);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("DYD_TIMING", "1", 1);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    run.pid = pid;
    return run;
}

// Waits for the process to end, at most limit; -1 when it had to be killed.
int WaitEnd(pid_t pid, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

}  // namespace

class RaiseRequestsTest : public QObject {
    Q_OBJECT

  private slots:
    void theOpenModalWindowOrTheLastUsedComesForward() {
        const std::string name = UniqueName("windows");
        std::unique_ptr<SingleInstance> holder;
        QCOMPARE(SingleInstance::TryAcquire(name, holder), SingleInstance::Result::Acquired);
        RaiseRequests requests(holder->DuplicateRequestSocket());
        QVERIFY(requests.listening());
        QSignalSpy raised(&requests, &RaiseRequests::raised);

        // Nothing shows yet.
        QCOMPARE(AskWhileServing(name), std::optional<std::string>("-"));

        QWidget backdrop;
        backdrop.setObjectName(QStringLiteral("TForm22"));
        requests.SetBackdrop(&backdrop);
        QWidget menu;
        menu.setObjectName(QStringLiteral("TForm1"));
        QWidget chooser;
        chooser.setObjectName(QStringLiteral("TForm32"));
        for (QWidget* window : {&backdrop, &menu, &chooser}) {
            window->resize(200, 100);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
        }
        // The backdrop alone is never the window brought forward.
        chooser.hide();
        menu.hide();
        QCOMPARE(AskWhileServing(name), std::optional<std::string>("-"));
        menu.show();
        chooser.show();

        // Another program's window (a tool window is none of the program's own) takes the
        // keys meanwhile.
        QWidget elsewhere(nullptr, Qt::Tool);
        elsewhere.resize(100, 50);
        struct Case {
            QWidget* usedLast;
            const char* expected;
        };
        for (const Case& c : {Case{&chooser, "TForm32"}, Case{&menu, "TForm1"}}) {
            c.usedLast->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), c.usedLast);
            // The learner went to another program and minimised this one.
            for (QWidget* window : {&backdrop, &menu, &chooser}) {
                window->showMinimized();
            }
            elsewhere.show();
            elsewhere.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &elsewhere);
            QCOMPARE(AskWhileServing(name), std::optional<std::string>(c.expected));
            QTRY_COMPARE(QApplication::activeWindow(), c.usedLast);
            for (QWidget* window : {&backdrop, &menu, &chooser}) {
                QVERIFY2(window->isVisible() && !window->isMinimized(),
                         qPrintable(window->objectName()));
            }
            elsewhere.hide();
        }

        // A modal window is the one on top, whichever was used last.
        QDialog dialog(&menu);
        dialog.setObjectName(QStringLiteral("TForm9"));
        std::optional<std::string> answer;
        bool activeAfter = false;
        QTimer::singleShot(0, &dialog, [&] {
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            chooser.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &chooser);
            answer = AskWhileServing(name);
            QTRY_VERIFY(QApplication::activeWindow() == &dialog);
            activeAfter = true;
            dialog.reject();
        });
        dialog.exec();
        QCOMPARE(answer, std::optional<std::string>("TForm9"));
        QVERIFY(activeAfter);
        QCOMPARE(raised.count(), 5);
        QCOMPARE(raised.back().front().value<QWidget*>(), &dialog);
    }

    void aRequestThatIsNoRequestIsRefused() {
        const std::string name = UniqueName("refused");
        std::unique_ptr<SingleInstance> holder;
        QCOMPARE(SingleInstance::TryAcquire(name, holder), SingleInstance::Result::Acquired);
        RaiseRequests requests(holder->DuplicateRequestSocket());
        QSignalSpy raised(&requests, &RaiseRequests::raised);

        // Other bytes: the connection is closed without an answer and nothing is raised.
        auto other = std::async(std::launch::async, [name] {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const std::string full = name + "." + std::to_string(::getuid());
            std::memcpy(address.sun_path + 1, full.data(), full.size());
            const auto size =
                static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + full.size());
            std::string got = "no connection";
            if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0) {
                const std::string junk(200, 'x');
                (void)!::send(fd, junk.data(), junk.size(), MSG_NOSIGNAL);
                char buffer[64];
                got.clear();
                ssize_t n = 0;
                while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
                    got.append(buffer, static_cast<std::size_t>(n));
                }
            }
            ::close(fd);
            return got;
        });
        while (other.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
            QTest::qWait(5);
        }
        QCOMPARE(other.get(), std::string());
        QCOMPARE(raised.count(), 0);
        // The next start is served.
        QCOMPARE(AskWhileServing(name), std::optional<std::string>("-"));
        QCOMPARE(raised.count(), 1);

        // Nobody holds a name: no answer, at once.
        QCOMPARE(SingleInstance::AskToRaise(UniqueName("free"), 10000), std::nullopt);
    }

    void aSecondStartOfTheProgramBringsTheFirstForward() {
        if (!g_isolated) {
            std::unique_ptr<SingleInstance> probe;
            if (SingleInstance::TryAcquire(kInstanceName, probe) !=
                SingleInstance::Result::Acquired) {
                QSKIP("a copy of the program runs for this user and no namespace of our own");
            }
        }
        TempDir dir;
        dyd::test::LinkInstallation(DYD_SAMPLE, dir.path());
        // The program finds its installation beside its own file.
        const std::string program = dir.path() + "dydaktor";
        std::error_code linked;
        std::filesystem::create_hard_link(DYD_SAMPLE "/dydaktor", program, linked);
        if (linked) {
            std::filesystem::copy_file(DYD_SAMPLE "/dydaktor", program);
        }
        const Spawned first = Spawn(program, dir.path() + "first.err");
        const auto stop = qScopeGuard([&first] {
            ::kill(first.pid, SIGKILL);
            ::waitpid(first.pid, nullptr, 0);
        });
        // The login is shown: the first copy serves requests from its event loop.
        QTRY_VERIFY_WITH_TIMEOUT(
            ReadBytes(first.errFile).find("dyd-timing TForm9-painted") != std::string::npos, 60000);

        const Spawned second = Spawn(program, dir.path() + "second.err");
        QCOMPARE(WaitEnd(second.pid, std::chrono::seconds(30)), 0);
        QCOMPARE(ReadBytes(second.errFile), std::string());
        QTRY_COMPARE_WITH_TIMEOUT(Occurrences(ReadBytes(first.errFile), "dyd-timing raised-TForm9"),
                                  1, 30000);
        // The same request made here gets the running copy's answer: its login.
        QCOMPARE(SingleInstance::AskToRaise(kInstanceName, 30000),
                 std::optional<std::string>("TForm9"));
        QCOMPARE(Occurrences(ReadBytes(first.errFile), "dyd-timing raised-TForm9"), 2);
        int status = 0;
        QCOMPARE(::waitpid(first.pid, &status, WNOHANG), 0);  // still running
    }
};

int main(int argc, char** argv) {
    g_isolated = Isolate();
    QApplication application(argc, argv);
    RaiseRequestsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "raise_requests_test.moc"
