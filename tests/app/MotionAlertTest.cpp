// Motion alerts: the test camera's scenes through the detector, the interval, the mail checks
// beside them and the retry, on a clock the tests move; the mails stored by aiosmtpd and read
// by Python's email package and Pillow.
#include "app/MotionAlert.h"
#include "app/Form1.h"
#include "app/MailCheckSchedule.h"
#include "app/MotionWatch.h"
#include "platform/ui/CaptureDrivers.h"
#include "platform/ui/TestCaptureDriver.h"
#include "settings/ProgramObjects.h"
#include "tests/reply/ReplyFixture.h"
#include "tests/support/LogLines.h"
#include "tests/support/LoopbackPort.h"
#include "tests/support/ProgramObjectsReset.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ShiftedClock.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestMailAccount.h"
#include "tests/support/WiredClients.h"

#include <QJsonObject>
#include <QTimer>
#include <map>
#include <utility>

namespace {

const QString Bob = QStringLiteral("bob@example.net");
const QString Alice = QStringLiteral("alice@example.org");
const QString AlertSent = QStringLiteral("通知メールを送信しました");
const QString SendFailed = QStringLiteral("メールの送信に失敗しました");
const QString Retrying = QStringLiteral("通知メールをもう一度送ります");
const QSize FrameSize(320, 240);
constexpr int Minute = 60'000;

class MotionAlerts : public ReplyFixture {
  protected:
    void SetUp() override {
        ReplyFixture::SetUp();
        UseAlertSettings(FreeLoopbackPort());
        schedule.ClientsBound();
    }
    // Alerts on, every minute at most, through the test account's setting (JPEG reduced to
    // 160 pixels) to Bob and Alice; smtpPort is the SMTP server's.
    static void UseAlertSettings(int smtpPort) {
        UseTestMailAccount(110, smtpPort, {Bob, Alice});
        CurrentMailAccount.Timeout = 10;
        MotionAlert = true;
        MotionAlertSetting = ResponseSettings[0].Name;
        MotionAlertInterval = 1;
        MotionIgnoreSeconds = 0;
    }
    void TearDown() override {
        StopWindow();
        ResetProgramObjects();
    }

    // The program's window, never shown, as in a run without one, with alerts on through the
    // SMTP server started before, its test camera playing the crossing from its first frame.
    void StartWindowOnCrossing() {
        camera = std::make_shared<TestCaptureDriver>("test camera", "1.0",
                                                     std::vector<QSize>{{640, 480}});
        SetCaptureDriversForTest({camera});
        form = std::make_unique<Form1>([] {});
        ASSERT_TRUE(form->Form_Load());
        UseAlertSettings(smtp.Port()); // the scratch folder had none
        camera->State().settings.scene = TestSceneObjectCrossing;
        camera->State().nextFrame = 0;
    }
    void StopWindow() {
        form.reset();
        SetCaptureDriversForTest({});
    }

    void StartSmtp() {
        QString problem;
        ASSERT_TRUE(smtp.Start(problem)) << problem.toStdString();
        CurrentMailAccount.SMTPPort = smtp.Port();
    }

    // Records each alert and the frames played outside the checks by then; answers the
    // recipients in refused as the ones to try again.
    MotionWatch::Sender Recorder() {
        return [this](const QImage&, const CResAccount&, const QStringList& recipients) {
            trace << QStringLiteral("send@%1").arg(outsideFrames);
            sentMs.push_back(qint64(SteadySeconds() * 1000));
            sentTo.push_back(recipients);
            if (duringSend)
                duringSend();
            QStringList again;
            for (const QString& recipient : recipients)
                if (refused.contains(recipient))
                    again << recipient;
            return again;
        };
    }
    // Frame n of scene, of the loop of its first period frames when period is not 0.
    const QImage& SceneFrame(int scene, int n, int period) {
        const std::pair<int, int> key(scene, period ? n % period : n);
        auto found = frames.find(key);
        if (found == frames.end())
            found = frames.emplace(key, TestScenePicture(FrameSize, key.second, scene)).first;
        return found->second;
    }
    // Plays frames first to last - 1 of scene to watch at 30 a second of the clock.
    void Play(MotionWatch& watch, int scene, int first, int last, int period = 0) {
        for (int n = first; n < last; ++n) {
            clock.Shift((n + 1) * 1000 / 30 - n * 1000 / 30);
            if (!schedule.Checking())
                ++outsideFrames;
            watch.Frame(SceneFrame(scene, n, period));
        }
    }
    qsizetype Logged(const QString& line) const { return LoggedMessages(folder).count(line); }

    // The alert stored for recipient, read by the independent reader.
    MailReport StoredAlert(const QString& recipient) {
        const std::vector<SmtpServer::StoredMail> mails = smtp.Mails(recipient);
        EXPECT_EQ(mails.size(), 1u) << recipient.toStdString();
        if (mails.empty())
            return {};
        const QString stored = folder.Path() + QStringLiteral("/stored.eml");
        WriteWholeFile(stored, mails[0].Message);
        ExpectSoundReply(stored, QByteArray(), QString::fromUtf8("写真です\n"),
                         QStringLiteral("JPEG"), 160, 120);
        return Probe(stored);
    }

    ShiftedClock clock;
    SmtpServer smtp;
    std::shared_ptr<TestCaptureDriver> camera;
    std::unique_ptr<Form1> form;
    WiredProgramClients clients;
    QStringList trace;
    int outsideFrames = 0;
    std::vector<qint64> sentMs;
    std::vector<QStringList> sentTo;
    QStringList refused;
    std::function<void()> duringCheck, duringSend;
    MailCheckSchedule schedule{[this] {
        trace << QStringLiteral("check@%1").arg(outsideFrames);
        if (const auto check = std::exchange(duringCheck, nullptr))
            check();
    }};
    std::map<std::pair<int, int>, QImage> frames;
};

} // namespace

TEST_F(MotionAlerts, TheCameraSeesAnObjectCrossAndMailsOnePictureToEachAddress) {
    StartSmtp();
    StartWindowOnCrossing();
    EXPECT_TRUE(PumpUntil([&] { return smtp.Mails(Alice).size() == 1; }, 30000));
    // Once the interval has passed, the quiet room after the crossing sends nothing more.
    clock.Shift(MotionAlertInterval * Minute);
    const int after = camera->State().lastFrame + 180;
    ASSERT_TRUE(PumpUntil([&] { return camera->State().lastFrame >= after; }, 30000));
    StopWindow();

    for (const QString& recipient : {Bob, Alice}) {
        SCOPED_TRACE(recipient.toStdString());
        const MailReport alert = StoredAlert(recipient);
        EXPECT_EQ(alert.json[QStringLiteral("subject")].toString(),
                  QStringLiteral("動きを検知しました"));
        EXPECT_EQ(alert.json[QStringLiteral("to")].toString(), recipient);
        EXPECT_EQ(alert.json[QStringLiteral("from")].toString(), CurrentMailAccount.MailAddr);
        EXPECT_EQ(smtp.Mails(recipient)[0].MailFrom, CurrentMailAccount.MailAddr);
    }
    EXPECT_EQ(Logged(MotionDetectedText), 1);
    EXPECT_EQ(Logged(AlertSent), 2);
}

TEST_F(MotionAlerts, TheCameraWindowMayBeRebuiltWhileAnAlertIsSent) {
    QString problem;
    SmtpServer::Offer holdRcpt;
    holdRcpt.Hold = QStringLiteral("rcpt");
    ASSERT_TRUE(smtp.StartOffering(problem, holdRcpt)) << problem.toStdString();
    StartWindowOnCrossing();
    CurrentMailAccount.Timeout = 2;
    // A resize rebuilds the capture window while the send waits for the server: from a timer,
    // as the send's wait runs the events.
    bool rebuilt = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!rebuilt && smtp.Holding()) {
            rebuilt = true;
            form->Capture_Resize();
        }
    });
    watch.start(20);
    EXPECT_TRUE(PumpUntil([&] { return Logged(SendFailed) >= 1; }, 30000));
    EXPECT_TRUE(rebuilt);
    const int shown = camera->State().lastFrame;
    EXPECT_TRUE(PumpUntil([&] { return camera->State().lastFrame > shown + 30; }, 30000));
    StopWindow();
}

TEST_F(MotionAlerts, AnObjectCrossingAlertsOnceAndTheLightNever) {
    const struct {
        int scene;
        int frames;
        int period; // 0: played through
        size_t alerts;
    } scenes[] = {
        {TestSceneObjectCrossing, 2 * TestSceneObjectLeaves, 0, 1},
        {TestSceneLight, 8 * TestSceneLightSwitchFrames, 2 * TestSceneLightSwitchFrames, 0},
        {TestSceneStillRoom, 300, 0, 0},
    };
    for (const auto& s : scenes) {
        SCOPED_TRACE(s.scene);
        sentMs.clear();
        MotionWatch watch(schedule, Recorder());
        Play(watch, s.scene, 0, s.frames, s.period);
        // An interval later the scene has nothing more to tell.
        clock.Shift(MotionAlertInterval * Minute);
        Play(watch, s.scene, s.frames, s.frames + 300, s.period);
        EXPECT_EQ(sentMs.size(), s.alerts);
    }
}

TEST_F(MotionAlerts, ContinuousMotionAlertsOncePerInterval) {
    MotionWatch watch(schedule, Recorder());
    // Two and a half minutes of a shape walking to and fro.
    Play(watch, TestSceneMotion, 0, 150 * 30, 2 * TestSceneMotionFrames);
    ASSERT_EQ(sentMs.size(), 3u);
    for (size_t i = 1; i < sentMs.size(); ++i) {
        // The first report of the motion once the interval has passed.
        EXPECT_GE(sentMs[i] - sentMs[i - 1], Minute);
        EXPECT_LE(sentMs[i] - sentMs[i - 1], Minute + LongestEventMs + 1000);
    }
}

TEST_F(MotionAlerts, AnAlertWaitsForARunningCheckAndACheckDueDuringItWaitsOnlyForTheSend) {
    MotionWatch watch(schedule, Recorder());
    // The crossing happens while a check runs: its alert waits for the check's end.
    duringCheck = [&] { Play(watch, TestSceneObjectCrossing, 0, 2 * TestSceneObjectLeaves); };
    schedule.RunNow();
    EXPECT_EQ(trace, QStringList{"check@0"});
    // A tick completes the interval while the alert is sent: the check follows the send at
    // once, before any further frame.
    duringSend = [&] { schedule.Tick(1); };
    Play(watch, TestSceneStillRoom, 0, 10);
    EXPECT_EQ(trace, (QStringList{"check@0", "send@1", "check@1"}));
    EXPECT_FALSE(schedule.Busy());
}

TEST_F(MotionAlerts, AFailedAlertIsTriedOnceMoreAtTheNextIntervalOnlyForItsFailedAddresses) {
    refused = {Alice};
    MotionWatch watch(schedule, Recorder());
    Play(watch, TestSceneObjectCrossing, 0, 2 * TestSceneObjectLeaves);
    for (int interval = 0; interval < 3; ++interval) {
        clock.Shift(MotionAlertInterval * Minute);
        Play(watch, TestSceneStillRoom, 0, 30);
    }
    EXPECT_EQ(sentTo, (std::vector<QStringList>{{Bob, Alice}, {Alice}}));
    ASSERT_EQ(sentMs.size(), 2u);
    EXPECT_GE(sentMs[1] - sentMs[0], Minute);
}

TEST_F(MotionAlerts, AnAlertTheSmtpServerMissedGoesOutOnceAtTheNextInterval) {
    const struct {
        bool serverBackForRetry;
        size_t mails;
        qsizetype failures;
    } cases[] = {{false, 0, 2}, {true, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.serverBackForRetry);
        ResponseSettings[0].vAcceptedMailAddrs = QStringList{Bob};
        MotionWatch watch(schedule, [](const QImage& picture, const CResAccount& setting,
                                       const QStringList& recipients) {
            return SendMotionAlert(CurrentMailAccount, setting, picture, recipients);
        });
        const qsizetype failuresBefore = Logged(SendFailed);
        Play(watch, TestSceneObjectCrossing, 0, 2 * TestSceneObjectLeaves);
        EXPECT_EQ(Logged(SendFailed), failuresBefore + 1);
        if (c.serverBackForRetry)
            StartSmtp();
        for (int interval = 0; interval < 3; ++interval) {
            clock.Shift(MotionAlertInterval * Minute);
            Play(watch, TestSceneStillRoom, 0, 30);
        }
        EXPECT_EQ(Logged(SendFailed), failuresBefore + c.failures);
        EXPECT_EQ(smtp.Mails(Bob).size(), c.mails);
        if (c.mails == 1)
            StoredAlert(Bob);
    }
    EXPECT_EQ(Logged(Retrying), 2);
}
