// The learner's comment through the program's own windows, from the comment dialog to the
// comments file and back: a comment with "=" shows with "=" in the runner's pane and in the
// dialog, before and after the file is read again, while the file holds "#" for it.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <string>

#include "core/clock.h"
#include "core/codepage.h"
#include "core/learner_files.h"
#include "core/login.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "program_trainer.h"
#include "sample_installation.h"
#include "support.h"
#include "ui/runner/runner_window.h"
#include "ui/shell/startup.h"
#include "ui/widgets/markup_view.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::ReadBytes;
using dyd::test::TempDir;

namespace {

constexpr double kToday = 45000.0;
const QString kComment = QStringLiteral("źle, Nachbar = sąsiad");

// Answers the comment dialog whenever it opens: keeps the text it showed, then types the reply
// and confirms, or closes it when there is no reply.
class CommentWatch {
  public:
    CommentWatch() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    QStringList shown;
    std::optional<QString> reply;

  private:
    void Poll() {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr || modal->objectName() != QStringLiteral("TForm27")) {
            return;
        }
        auto* edit = Find<QLineEdit>(modal, "Edit1");
        shown.append(edit->text());
        if (reply) {
            edit->setText(*reply);
            QTest::mouseClick(Find<QAbstractButton>(modal, "B_OK"), Qt::LeftButton);
        } else {
            QTest::mouseClick(Find<QAbstractButton>(modal, "B_Zamknij"), Qt::LeftButton);
        }
        reply.reset();
    }

    QTimer timer_;
};

// The program with a learner logged in, the statistics off.
struct Trainer : dyd::test::ProgramTrainer {
    Trainer() : ProgramTrainer(kToday) { session().settings.showStatistics = false; }

    bool LogIn() {
        const bool in = ProgramTrainer::LogIn();
        session().settings.showStatistics = false;
        return in;
    }

    // The unit alone, needing one answer in kind.
    void Plan(int kind, int unit) { ProgramTrainer::Plan(kind, {unit}); }

    // The pane's text as the learner reads it.
    QString Pane() {
        auto* pane = Find<MarkupView>(runner(), "L_przyklad_pb");
        QString text;
        if (!pane->isVisible()) {
            return text;
        }
        for (const std::string& token : pane->tokens()) {
            text += QString::fromStdString(ToUtf8(token, CodePage::Cp1250)) + QLatin1Char(' ');
        }
        return text;
    }
};

}  // namespace

class RunnerCommentTest : public QObject {
    Q_OBJECT

  private slots:
    void commentWithEqualsShowsWithEqualsAndIsStoredWithHash() {
        Trainer p;
        QVERIFY2(p.ok, qPrintable(p.boxes.join(QLatin1Char('\n'))));
        const int unit = p.session().db.units.IndexOfUnitId(10103);
        QVERIFY(unit > 0);
        const std::string file =
            p.session().paths.userDir + CommentsFileName(p.session().paths.databaseCode);
        CommentWatch watch;

        // Written in the dialog of a judged step, shown at once in the pane.
        p.Plan(kSelfAssessment, unit);
        QVERIFY(p.Start(kSelfAssessment));
        p.Press(Qt::Key_Return);  // the answer shows, and with it the pane
        watch.reply = kComment;
        p.Press(Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(watch.shown, QStringList{QString()});
        QVERIFY2(p.Pane().contains(QStringLiteral("Nachbar = sąsiad")), qPrintable(p.Pane()));
        QVERIFY2(!p.Pane().contains(QLatin1Char('#')), qPrintable(p.Pane()));
        p.Press(Qt::Key_Escape);
        QVERIFY(!p.runner()->isVisible());

        // The file holds "#" for the "=", which separates its fields.
        const std::string written = ReadBytes(file);
        QCOMPARE(written, std::to_string(p.session().db.units.unit(unit).unitId) + "=" +
                              *FromUtf8("źle, Nachbar # sąsiad", CodePage::Cp1250) + "=0=\r\n");

        // Read again at the next login: the pane and the dialog show "=" again.
        QVERIFY(p.LogIn());
        QCOMPARE(QString::fromStdString(
                     ToUtf8(p.session().db.units.unit(unit).userComment, CodePage::Cp1250)),
                 kComment);
        p.Plan(kSelfAssessment, unit);
        QVERIFY(p.Start(kSelfAssessment));
        p.Press(Qt::Key_Return);
        QVERIFY2(p.Pane().contains(QStringLiteral("Nachbar = sąsiad")), qPrintable(p.Pane()));
        QVERIFY2(!p.Pane().contains(QLatin1Char('#')), qPrintable(p.Pane()));
        p.Press(Qt::Key_K, Qt::ControlModifier);  // closed without a change
        QCOMPARE(watch.shown.size(), 2);
        QCOMPARE(watch.shown[1], kComment);
        p.Press(Qt::Key_Escape);
        QCOMPARE(ReadBytes(file), written);
    }
};

QTEST_MAIN(RunnerCommentTest)
#include "runner_comment_test.moc"
