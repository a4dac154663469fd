// The file chooser's play button with real sound: a recording clicked in the file list is played
// through the desktop's audio output into the test server's null sink and heard on its monitor.

#include <QAbstractButton>
#include <QListView>
#include <QTest>
#include <cmath>

#include "core/clock.h"
#include "find_control.h"
#include "modal_steps.h"
#include "sound/qt_audio_device.h"
#include "sound/qt_waiter.h"
#include "sound/sound_player.h"
#include "sound_support.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/shell/file_chooser_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::ModalSteps;

class FileChooserPulseTest : public QObject {
    Q_OBJECT

  private slots:
    void theClickedRecordingIsHeard() {
        QVERIFY2(test::HaveTestServer(), "run through with-pulse.sh");
        test::TempDir dir;
        test::WriteBytes(dir.path() + "wav/inny.wav", "");  // listed, not played
        test::ToneSpec tone;
        tone.seconds = 0.8;
        tone.frequency = 900;
        QVERIFY(test::WriteTone(dir.path() + "wav/glos.wav", test::ToneFile::Wav, tone));

        FixedClock clock{45000.0};
        AppContext context(clock);
        context.programPaths.programDir = dir.path() + "wav/";
        QtAudioDevice oggDevice;
        QtAudioDevice fileDevice;
        QtWaiter waiter;
        SoundPlayer player(oggDevice, fileDevice, waiter);
        context.sound = &player;

        test::MonitorCapture monitor;
        QVERIFY(monitor.Start());
        FileChooserWindow window(context);
        ModalSteps steps(QStringLiteral("TForm34"), {[&](QDialog* d) {
                             auto* files = Find<QListView>(d, "LB_Pliki");
                             auto* model = files->model();
                             QTRY_COMPARE(model->rowCount(files->rootIndex()), 2);
                             QModelIndex glos;
                             for (int row = 0; row < 2; ++row) {
                                 const QModelIndex index = model->index(row, 0, files->rootIndex());
                                 if (index.data().toString() == QStringLiteral("glos.wav")) {
                                     glos = index;
                                 }
                             }
                             QVERIFY(glos.isValid());
                             QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                                               files->visualRect(glos).center());
                             auto* play = Find<QAbstractButton>(d, "k_graj");
                             QVERIFY(play->isVisible());
                             QTest::mouseClick(play, Qt::LeftButton);
                             QVERIFY(test::PumpUntil([&] { return player.file().playing(); }, 3000));
                             QVERIFY(test::PumpUntil([&] { return !player.file().playing(); },
                                                     10000));
                             test::PumpUntil([] { return false; }, 200);  // the tail
                             QTest::keyClick(d, Qt::Key_Escape);
                         }});
        QVERIFY(!window.Choose(FileChooserMode::Recording).has_value());
        QVERIFY(steps.done());
        const test::Tone heard =
            test::ToneAt(test::FindTones(monitor.Stop(), test::MonitorCapture::kRate), 900);
        QVERIFY2(std::abs(heard.lengthMs - 800) < 80, qPrintable(QString::number(heard.lengthMs)));
        // Closing the chooser leaves no file open in the player.
        QVERIFY(!player.file().playing());
    }
};

QTEST_MAIN(FileChooserPulseTest)
#include "file_chooser_pulse_test.moc"
