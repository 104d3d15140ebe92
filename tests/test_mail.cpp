#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu5.h"
#include "editor/pageedit.h"
#include "effects/fadekit.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "macroshop/mnu2.h"
#include "mail/frmbug.h"
#include "mail/frmemail.h"
#include "mail/frmrelay.h"
#include "mail/mailkit.h"
#include "mail/mailrelay.h"
#include "mail/mailwait.h"
#include "mail/wsksock.h"
#include "skin/pushlabel.h"
#include "support/smtpservers.h"

#include <QDir>
#include <QFile>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSslConfiguration>
#include <QSslCertificate>
#include <QTest>

#include <fstream>
#include <string>

using WSKSOCK::Step;

namespace {

// No keyring in the tests: a session bus that cannot be reached makes every keyring call fail at once.
const bool noKeyring = [] {
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorl-test-no-bus");
    return true;
}();

const QByteArray kHeaderTail = "Mime-Version: 1.0\r\n"
                               "Content-Type: multipart/mixed; boundary=\"NextMimePart\"\r\n"
                               "\r\n"
                               "This is a multi-part message in MIME format.\r\n"
                               "--NextMimePart\r\n"
                               "Content-Type: text/plain; charset=utf-8\r\n"
                               "Content-Transfer-Encoding: quoted-printable\r\n"
                               "\r\n";

// The shop's own ornament and the Windows-1252 letters past ASCII that readers used to garble.
const QString kOrnament = QString::fromUtf8("\u2039\u203a\u00bb \u00e9 \u20ac");

// The resident memory of this process, in KB.
long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    return -1;
}

// Types as a keyboard does; letters past ASCII come as key events that carry only their text,
// as an input method sends them.
void typeText(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x7f) {
            QTest::keyClicks(w, QString(c));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
}

// The text as typed, with the CR LF line ends the shop builds its mails with.
QString crlf(const QString& text) { return QString(text).replace("\n", "\r\n"); }

QWidget* mailWaitWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "mailwait" && w->isVisible())
            return w;
    return nullptr;
}

WSKSOCK::Mail mail(const QString& body = "hello\r\n")
{
    return {"from@shop.example", "to@example.net", "a subject", body};
}

WSKSOCK::Relay relayAt(quint16 port)
{
    WSKSOCK::Relay r;
    r.host = "127.0.0.1";
    r.port = port;
    return r;
}

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

// Sets the relay the shop uses through the environment, as the tests of every place do.
struct RelayEnv {
    RelayEnv(const QString& host, quint16 port)
    {
        qputenv("QUORL_SMTP_RELAY", host.toLatin1());
        qputenv("QUORL_SMTP_PORT", QByteArray::number(port));
    }
    ~RelayEnv()
    {
        qunsetenv("QUORL_SMTP_RELAY");
        qunsetenv("QUORL_SMTP_PORT");
    }
};

} // namespace

// The dialogue against a scripted relay, on a clock that only moves when the client waits.
class smtpDialogue : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        server = std::make_unique<ScriptedSmtp>(sclock);
        sclock.server = server.get();
        Clock::install(&sclock);
    }
    void TearDown() override
    {
        WSKSOCK::EndWinsock();
        sclock.settle();
        ShopTest::TearDown();
    }
    bool send(const WSKSOCK::Mail& m = mail(), WSKSOCK::Relay relay = {})
    {
        if (relay.host.isEmpty())
            relay = relayAt(server->port());
        return WSKSOCK::SendMail(m, relay, &failure);
    }
    ScriptClock sclock;
    std::unique_ptr<ScriptedSmtp> server;
    WSKSOCK::Failure failure;
};

TEST_F(smtpDialogue, AQuickRelayTakesTheMailWithoutAnyWaitRunningOut)
{
    ASSERT_TRUE(send()) << WSKSOCK::StepText(failure.step).toStdString() << ": " << failure.detail.toStdString() << " / " << server->received.toStdString() << " / " << server->commands.join("|").toStdString();
    EXPECT_EQ(server->commands,
              (QList<QByteArray>{"helo shop.quorl.example", "mail from: from@shop.example", "rcpt to: to@example.net",
                                 "data", "quit"}));
    // Every wait ended as soon as its reply was in.
    for (double span : sclock.spans)
        EXPECT_EQ(span, 0.0);
    EXPECT_EQ(sclock.mono, 1000.0);
    EXPECT_TRUE(server->clientClosed);
}

TEST_F(smtpDialogue, AGreetingAfterFiveSecondsIsCaughtByTheSecondWait)
{
    server->greeting.delay = 5;
    ASSERT_TRUE(send());
    // The connection, then the first wait runs out at 3 s and the second catches the greeting at 5 s.
    ASSERT_GE(sclock.spans.size(), 3);
    EXPECT_EQ(sclock.waits[1], 3.0);
    EXPECT_EQ(sclock.spans[1], 3.0);
    EXPECT_EQ(sclock.spans[2], 2.0);
    EXPECT_EQ(server->commands.first(), "helo shop.quorl.example");
}

TEST_F(smtpDialogue, AGreetingIsJudgedByTheCodeAnywhereInIt)
{
    server->greeting.text = "welcome, 220 is our number\r\n";
    EXPECT_TRUE(send());
}

TEST_F(smtpDialogue, AGreetingWithoutTheCodeEndsTheSendBeforeAnyCommand)
{
    server->greeting.text = "554 go away\r\n";
    EXPECT_FALSE(send());
    EXPECT_EQ(failure.step, Step::Greeting);
    EXPECT_EQ(failure.detail, "554 go away");
    EXPECT_TRUE(server->commands.isEmpty());
}

TEST_F(smtpDialogue, ARefusedRecipientReturnsFalseWithoutData)
{
    server->replies["RCPT"] = {"550 no such user here\r\n"};
    EXPECT_FALSE(send());
    EXPECT_EQ(failure.step, Step::Recipient);
    EXPECT_TRUE(failure.detail.contains("550 no such user"));
    EXPECT_FALSE(server->commands.contains("data"));
    // The connection does not linger after a failed send.
    sclock.settle();
    EXPECT_TRUE(server->clientClosed);
}

TEST_F(smtpDialogue, AnEmptyBodyGivesTheHeadersTheBoundaryAnEmptyPartAndTheClosingBoundary)
{
    ASSERT_TRUE(send(mail(QString())));
    EXPECT_TRUE(server->data.startsWith("From: from@shop.example\r\nTo: to@example.net\r\nSubject: a subject\r\nDate: "))
        << server->data.toStdString();
    EXPECT_TRUE(server->data.contains("\r\nMessage-ID: <"));
    // The part ends in a soft line break: it decodes to nothing at all.
    EXPECT_TRUE(server->data.endsWith(kHeaderTail + "=\r\n\r\n--NextMimePart--\r\n\r\n\r\n.\r\n"))
        << server->data.toStdString();
}

TEST_F(smtpDialogue, BodyLinesThatBeginWithAFullStopAreDoubledAndLineEndsMadeWhole)
{
    ASSERT_TRUE(send(mail("first\r\n.\r\n.hidden\nlone\rlast")));
    EXPECT_TRUE(server->data.contains("\r\n\r\nfirst\r\n..\r\n..hidden\r\nlone\r\nlast=\r\n\r\n--NextMimePart--"))
        << server->data.toStdString();
}

TEST_F(smtpDialogue, TheEndOfDataMustBeAnsweredWith250)
{
    server->replies["."] = {"554 message rejected as spam\r\n"};
    EXPECT_FALSE(send());
    EXPECT_EQ(failure.step, Step::EndOfData);
    EXPECT_FALSE(failure.mayHaveGone) << "a relay that said no does not deliver";
    // A relay that never answers the end gets the ten minutes relays are allowed, and then the
    // shop says the mail may have gone.
    server->replies["."] = {"", 0, true};
    const double before = sclock.mono;
    EXPECT_FALSE(send());
    EXPECT_EQ(failure.step, Step::EndOfData);
    EXPECT_EQ(failure.trouble, WSKSOCK::Trouble::TimedOut);
    EXPECT_TRUE(failure.mayHaveGone);
    EXPECT_EQ(sclock.mono - before, WSKSOCK::kEndOfDataWait);
    EXPECT_EQ(failure.detail, "No answer came within 600 seconds.");
}

TEST_F(smtpDialogue, ASendBegunAt235959FinishesAcrossMidnight)
{
    sclock.now = 86399;
    for (const char* word : {"HELO", "MAIL", "RCPT", "DATA", "."})
        server->replies[word].delay = 1.0;
    server->greeting.delay = 1.0;
    ASSERT_TRUE(send());
    EXPECT_LT(sclock.now, 10.0) << "the clock went past midnight";
    EXPECT_EQ(sclock.mono - 1000.0, 6.0);
    EXPECT_EQ(server->commands.last(), "quit");
}

TEST_F(smtpDialogue, ARelayThatHangsCostsTwoBoundWaitsAndSaysSo)
{
    server->greeting.silent = true;
    EXPECT_FALSE(send());
    EXPECT_EQ(failure.step, Step::Greeting);
    EXPECT_EQ(sclock.spans.mid(1), (QList<double>{3.0, 3.0}));
}

TEST_F(smtpDialogue, AGreetingOneByteASecondIsATimeOutNotARefusedHello)
{
    server->greeting = {"220 slow relay at your service\r\n"};
    server->greeting.perByte = 1.0;
    EXPECT_FALSE(send());
    EXPECT_EQ(failure.step, Step::Greeting);
    EXPECT_EQ(failure.trouble, WSKSOCK::Trouble::TimedOut);
    EXPECT_EQ(WSKSOCK::FailureText(failure), "the mail relay did not greet in time");
    EXPECT_TRUE(failure.detail.startsWith("The answer was not finished within 6 seconds; it began: 220 sl"))
        << failure.detail.toStdString();
    sclock.settle();
    EXPECT_TRUE(server->commands.isEmpty()) << "no hello goes to a greeting that is still coming";
}

TEST_F(smtpDialogue, AGreetingStalledBetweenItsLinesIsATimeOutNotARefusedHello)
{
    server->greeting = {"220-relay.example first line\r\n"};
    server->greeting.action = [this] { server->sendLater(20.0, "220 relay.example last line\r\n"); };
    EXPECT_FALSE(send());
    EXPECT_EQ(failure.step, Step::Greeting);
    EXPECT_EQ(failure.trouble, WSKSOCK::Trouble::TimedOut);
    EXPECT_EQ(WSKSOCK::FailureText(failure), "the mail relay did not greet in time");
    EXPECT_TRUE(failure.detail.startsWith("The answer was not finished within 6 seconds; it began: 220-relay"))
        << failure.detail.toStdString();
    sclock.settle();
    EXPECT_TRUE(server->commands.isEmpty()) << "no hello goes to a greeting that is still coming";
}

TEST_F(smtpDialogue, AGreetingWhoseLastLineComesLateStillGreets)
{
    server->greeting = {"220-relay.example first line\r\n"};
    server->greeting.action = [this] { server->sendLater(4.0, "220 relay.example last line\r\n"); };
    ASSERT_TRUE(send()) << WSKSOCK::FailureText(failure).toStdString();
    EXPECT_EQ(server->commands.first().left(4), "helo");
}

TEST_F(smtpDialogue, ARelayThatClosesMidDialogueFailsAtOnceAtThatStep)
{
    server->replies["MAIL"] = {"", 0, false, true};
    EXPECT_FALSE(send());
    EXPECT_EQ(failure.step, Step::Sender);
    EXPECT_EQ(failure.trouble, WSKSOCK::Trouble::Closed);
    EXPECT_EQ(sclock.mono, 1000.0) << "a closed connection has nothing more to wait for";
}

TEST_F(smtpDialogue, NonsenseAnswersEndTheDialogue)
{
    server->replies["HELO"] = {"what is this\r\n"};
    EXPECT_FALSE(send());
    EXPECT_EQ(failure.step, Step::Hello);
    EXPECT_EQ(failure.detail, "what is this");
    EXPECT_FALSE(server->commands.contains("data"));
}

TEST_F(smtpDialogue, LineBreaksNeverReachACommandOrAHeader)
{
    EXPECT_FALSE(send({"from@shop.example", "to@example.net\r\nrcpt to: victim@example.org", "s", "b"}));
    EXPECT_EQ(failure.step, Step::Address);
    EXPECT_FALSE(send({"from@shop.example\nx", "to@example.net", "s", "b"}));
    EXPECT_EQ(failure.step, Step::Address);
    sclock.settle();
    EXPECT_EQ(server->connections, 0) << "nothing is sent for a refused address";

    ASSERT_TRUE(send({"from@shop.example", "to@example.net", "two\r\nBcc: victim@example.org", "b"}));
    EXPECT_TRUE(server->data.contains("\r\nSubject: twoBcc: victim@example.org\r\n"));
    EXPECT_FALSE(server->data.contains("\r\nBcc:"));
}

TEST_F(smtpDialogue, AnAddressTooLongForARelayIsRefusedBeforeAnythingIsSent)
{
    const QString longOne = QString("a").repeated(250) + "@x.example";
    EXPECT_FALSE(send({"from@shop.example", longOne, "s", "b"}));
    EXPECT_EQ(failure.step, Step::Address);
    EXPECT_EQ(WSKSOCK::FailureText(failure), "an address is too long");
    EXPECT_EQ(failure.detail, "An address may hold at most 254 characters; this one holds 260. Nothing was sent.");
    EXPECT_FALSE(send({longOne, "to@example.net", "s", "b"}));
    EXPECT_EQ(WSKSOCK::FailureText(failure), "an address is too long");
    sclock.settle();
    EXPECT_EQ(server->connections, 0);

    const QString longest = QString("a").repeated(244) + "@x.example";
    ASSERT_TRUE(send({"from@shop.example", longest, "s", "b"}));
    for (const QByteArray& line : server->data.split('\n'))
        EXPECT_LE(line.size(), 999);
}

TEST_F(smtpDialogue, APasswordNeverGoesOverAPlainConnection)
{
    WSKSOCK::Relay relay = relayAt(server->port());
    relay.user = "artist";
    relay.password = "s3cret-pw";
    server->replies["EHLO"] = {"250-relay.example\r\n250 AUTH PLAIN LOGIN\r\n"};
    EXPECT_FALSE(send(mail(), relay));
    EXPECT_EQ(failure.step, Step::Login);

    relay.security = WSKSOCK::Security::StartTls;
    EXPECT_FALSE(send(mail(), relay));
    EXPECT_EQ(failure.step, Step::Secure);
    sclock.settle();
    EXPECT_FALSE(server->received.toLower().contains("auth"));
    EXPECT_FALSE(server->received.contains("s3cret-pw"));
    EXPECT_FALSE(server->received.contains(QByteArray("\0artist\0s3cret-pw", 17).toBase64()));
    EXPECT_FALSE(server->received.contains(QByteArray("s3cret-pw").toBase64()));
}

TEST(wsksock, WinsockFlagAndAddresses)
{
    WSKSOCK::EndWinsock();
    EXPECT_FALSE(WSKSOCK::Started());
    EXPECT_TRUE(WSKSOCK::StartWinsock());
    EXPECT_TRUE(WSKSOCK::StartWinsock());
    EXPECT_TRUE(WSKSOCK::Started());
    WSKSOCK::EndWinsock();
    EXPECT_FALSE(WSKSOCK::Started());

    EXPECT_EQ(WSKSOCK::ResolveHostAddress(" 127.0.0.1 "), "127.0.0.1");
    EXPECT_EQ(WSKSOCK::ResolveHostAddress("localhost"), "127.0.0.1");
    EXPECT_EQ(WSKSOCK::ResolveHostAddress("no-such-relay.invalid"), "255.255.255.255");
    EXPECT_EQ(WSKSOCK::ResolveHostAddress(""), "255.255.255.255");
    EXPECT_EQ(WSKSOCK::ConnectSocket("no-such-relay.invalid", 25), -1);
}

TEST(wsksock, AReplyIsCompleteOnlyWithItsLastLine)
{
    EXPECT_TRUE(WSKSOCK::CompleteReply("220 ready\r\n"));
    EXPECT_TRUE(WSKSOCK::CompleteReply("250\r\n"));
    EXPECT_TRUE(WSKSOCK::CompleteReply("250-one\r\n250 two\r\n"));
    EXPECT_FALSE(WSKSOCK::CompleteReply("250-one\r\n"));
    EXPECT_FALSE(WSKSOCK::CompleteReply("220 ready"));
    EXPECT_FALSE(WSKSOCK::CompleteReply("hello 220 x\r\n"));
    EXPECT_FALSE(WSKSOCK::CompleteReply("22\r\n"));
}

// The four places that mail, against a real SMTP server on loopback, on the real clock.
class mailPlaces : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        Clock::install(nullptr);
        MailRelay::ForgetPasswords();
        ASSERT_TRUE(server.start()) << server.error().toStdString();
        env = std::make_unique<RelayEnv>("127.0.0.1", server.port());
        writeSettings();
    }
    void TearDown() override
    {
        env.reset();
        ShopTest::TearDown();
    }
    // The relay the shop is sent to from now on.
    void relayTo(quint16 port)
    {
        env.reset();
        env = std::make_unique<RelayEnv>("127.0.0.1", port);
    }
    QJsonObject onlyMail()
    {
        EXPECT_TRUE(server.waitForMails(1));
        const auto mails = server.events("mail");
        return mails.isEmpty() ? QJsonObject() : mails.last();
    }
    static QByteArray body(const QJsonObject& m) { return SmtpServerProcess::bytesOf(m, "body"); }
    // The last mail as a mail reader shows it: subject and text decoded.
    QJsonObject onlyRead()
    {
        EXPECT_TRUE(server.waitForMails(1));
        const auto read = server.events("read");
        return read.isEmpty() ? QJsonObject() : read.last();
    }
    // What every mail must be: text declared as UTF-8 in quoted-printable, plain ASCII on the wire,
    // no line past 998 octets, a date a reader can parse and a message id.
    static void expectSound(const QJsonObject& r)
    {
        EXPECT_EQ(r.value("charset").toString(), "utf-8");
        EXPECT_EQ(r.value("cte").toString(), "quoted-printable");
        EXPECT_TRUE(r.value("ascii_only").toBool());
        EXPECT_LE(r.value("longest_line").toInt(), 998);
        EXPECT_TRUE(r.value("date_ok").toBool()) << r.value("date").toString().toStdString();
        EXPECT_TRUE(r.value("message_id").toString().contains(QRegularExpression("^<[^<>@\\s]+@[^<>@\\s]+>$")))
            << r.value("message_id").toString().toStdString();
    }

    SmtpServerProcess server;
    std::unique_ptr<RelayEnv> env;
};

TEST_F(mailPlaces, EmailMeSendsTheTypedTextsToTheMakers)
{
    Forms::get<menu5>().show();
    click(Forms::get<menu5>().item("&email me"));
    frmemail* form = Forms::loaded<frmemail>();
    ASSERT_TRUE(form && form->isVisible());
    form->Text1->selectAll();
    QTest::keyClicks(form->Text1, "me@example.org + im quorlfan");
    form->Text2->selectAll();
    typeText(form->Text2, "hi there " + kOrnament);
    form->Text3->selectAll();
    QTest::keyClicks(form->Text3, "line one");
    QTest::keyClick(form->Text3, Qt::Key_Return);
    QTest::keyClicks(form->Text3, ".");
    QTest::keyClick(form->Text3, Qt::Key_Return);
    QApplication::clipboard()->setText(QString::fromUtf8("caf\u00e9 end ") + kOrnament);
    QTest::keyClick(form->Text3, Qt::Key_V, Qt::ControlModifier);

    click(form->Label3);

    const QJsonObject r = onlyRead();
    expectSound(r);
    EXPECT_EQ(r.value("subject").toString(), "hi there " + kOrnament);
    EXPECT_EQ(r.value("text").toString(),
              crlf("me@example.org + im quorlfan\n\n\nline one\n.\n" + QString::fromUtf8("caf\u00e9 end ") + kOrnament));
    const QJsonObject m = onlyMail();
    EXPECT_EQ(m.value("mail_from").toString(), MailKit::kEmailMeSender);
    EXPECT_EQ(m.value("rcpt_tos").toArray().first().toString(), MailKit::kMakersAddress);
    EXPECT_EQ(m.value("from").toString(), MailKit::kEmailMeSender);
    EXPECT_EQ(m.value("to").toString(), MailKit::kMakersAddress);
    EXPECT_EQ(m.value("part_type").toString(), "text/plain");
    EXPECT_EQ(m.value("preamble").toString().trimmed(), "This is a multi-part message in MIME format.");
    ASSERT_GE(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages.first().text,
              "This shouldnt take over 35 seconds. Double click the titlebar to hide this form while it is sending.");
    EXPECT_EQ(prompts.messages.last().text, "Your message has been sent.");
    EXPECT_EQ(prompts.messages.last().title, "quorl ascii shop");
    QCoreApplication::processEvents();
    EXPECT_EQ(Forms::loaded<frmemail>(), nullptr) << "a sent dialog is unloaded";
}

TEST_F(mailPlaces, ReportBugSendsSubjectPartAndExplanation)
{
    Forms::get<menu5>().show();
    click(Forms::get<menu5>().item("&report bug"));
    frmbug* form = Forms::loaded<frmbug>();
    ASSERT_TRUE(form && form->isVisible());
    EXPECT_EQ(form->Text1->text(), "Subject");
    EXPECT_EQ(form->Text2->text(), "What part of this program has a bug.");
    form->Text1->clear();
    typeText(form->Text1, kOrnament + " crash on paste");
    form->Text2->clear();
    typeText(form->Text2, "the pages " + kOrnament);
    QTest::keyClick(form->Text3, Qt::Key_End, Qt::ControlModifier);
    typeText(form->Text3, kOrnament);

    click(form->Label3);

    const QJsonObject m = onlyMail();
    EXPECT_EQ(m.value("mail_from").toString(), MailKit::kBugReportSender);
    const QJsonObject r = onlyRead();
    expectSound(r);
    EXPECT_EQ(r.value("subject").toString(), kOrnament + " crash on paste");
    EXPECT_EQ(r.value("text").toString(), crlf("the pages " + kOrnament +
                                                   "\n\n\nExplain this problem or send a comment, Put your im or "
                                                   "email address here too.\n" +
                                                   kOrnament));
}

TEST_F(mailPlaces, MailAsciiSendsPagesOneAndThreeAndNeverAccumulates)
{
    frmmain& main = Forms::get<frmmain>();
    main.Text1->setText(QString::fromUtf8("\u00ab page one \u00bb ") + kOrnament);
    main.Text3->setText("page three");
    ops& panel = Forms::get<ops>();
    panel.show();
    prompts.inputs = {" art fan@exam ple.com ", "my art " + kOrnament, "look " + kOrnament};
    click(panel.Label5);
    prompts.inputs = {"artfan@example.com", "again", "twice"};
    click(panel.Label5);

    ASSERT_TRUE(server.waitForMails(2));
    const auto mails = server.events("mail");
    const QByteArray sig = QByteArray(MailKit::kSignature);
    EXPECT_EQ(mails[0].value("rcpt_tos").toArray().first().toString(), "artfan@example.com");
    EXPECT_EQ(mails[0].value("mail_from").toString(), MailKit::kMailAsciiSender);
    const auto read = server.events("read");
    ASSERT_EQ(read.size(), 2);
    const QString page1 = QString::fromUtf8("\u00ab page one \u00bb ") + kOrnament;
    EXPECT_EQ(read[0].value("subject").toString(), "my art " + kOrnament);
    EXPECT_EQ(read[0].value("text").toString(),
              crlf("\n\n" + page1 + "\npage three\n\n\nlook " + kOrnament + "\n\n\n\n\n" + sig + "\n\n\n"));
    EXPECT_EQ(read[1].value("text").toString(),
              crlf("\n\n" + page1 + "\npage three\n\n\ntwice\n\n\n\n\n" + sig + "\n\n\n"));
    for (const QJsonObject& r : read)
        expectSound(r);
    EXPECT_NE(read[0].value("message_id").toString(), read[1].value("message_id").toString())
        << "every mail has a message id of its own";
    ASSERT_EQ(prompts.inputPrompts.size(), 6);
    EXPECT_TRUE(prompts.inputPrompts[0].startsWith("Please enter email address in the text box below with out spaces EX: "));
    EXPECT_EQ(prompts.messages.last().text, "SENT!");
    EXPECT_EQ(prompts.messages.last().title, "Email Sent");
    EXPECT_EQ(prompts.messages.last().icon, Prompts::Icon::Critical);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(panel.isVisible() == Forms::get<frmrect>().optionsOpen());
}

TEST_F(mailPlaces, EmailMacrosSendsTheMacroAndBringsTheShopBack)
{
    frmdraw& shop = Forms::get<frmdraw>();
    shop.show();
    shop.Text1->clear();
    typeText(shop.Text1, "line 1 " + kOrnament);
    QTest::keyClick(shop.Text1, Qt::Key_Return);
    QTest::keyClicks(shop.Text1, ".");
    QTest::keyClick(shop.Text1, Qt::Key_Return);
    QTest::keyClicks(shop.Text1, "--NextMimePart");
    prompts.inputs = {"friend@example.com", "a macro " + kOrnament, "enjoy"};
    QTest::mousePress(shop.Label3, Qt::LeftButton, {}, shop.Label3->rect().center());
    QTest::mouseRelease(shop.Label3, Qt::LeftButton, {}, shop.Label3->rect().center());
    mnu2& options = Forms::get<mnu2>();
    ASSERT_TRUE(options.isVisible());
    click(options.item("&email macros"));

    const QJsonObject m = onlyMail();
    EXPECT_EQ(m.value("mail_from").toString(), MailKit::kEmailMacrosSender);
    EXPECT_EQ(m.value("parts").toInt(), 1) << "a macro line like the boundary does not split the mail";
    const QJsonObject r = onlyRead();
    expectSound(r);
    EXPECT_EQ(r.value("subject").toString(), "a macro " + kOrnament);
    EXPECT_EQ(r.value("text").toString(), crlf("\n\nline 1 " + kOrnament + "\n.\n--NextMimePart\n\nenjoy\n\n\n\n\n" +
                                                   QString::fromLatin1(MailKit::kSignature) + "\n\n\n"));
    EXPECT_TRUE(shop.isVisible());
    EXPECT_EQ(prompts.messages.last().text, "SENT!");
}

TEST_F(mailPlaces, LongAndFadedPagesArriveWholeThroughARelayThatRefusesLongLines)
{
    SmtpServerProcess strict;
    SmtpServerProcess::Options o;
    o.maxLine = 1000; // 998 octets and CR LF
    ASSERT_TRUE(strict.start(o)) << strict.error().toStdString();
    relayTo(strict.port());
    frmmain& main = Forms::get<frmmain>();
    QString long1200;
    for (int i = 0; long1200.size() < 1200; ++i)
        long1200 += QString::number(i % 10);
    long1200 += kOrnament;
    const QString faded = FadeKit::FadeTwoColors(255, 0, 0, 0, 0, 255, "a faded page of art, a faded page of art " + kOrnament, true);
    ASSERT_GT(faded.size(), 998);
    main.Text1->setText(long1200);
    main.Text2->setText(faded);
    const QString subject = QString(300, QChar(0x20ac)) + " long";
    prompts.inputs = {"artfan@example.com", subject, "m"};
    Forms::get<ops>().show();
    click(Forms::get<ops>().Label5);

    ASSERT_TRUE(strict.waitForMails(1)) << prompts.messages.last().text.toStdString();
    const QJsonObject r = strict.events("read").last();
    expectSound(r);
    const QString text = r.value("text").toString();
    EXPECT_TRUE(text.contains("\r\n" + long1200 + "\r\n" + faded + "\r\n")) << text.toStdString();
    EXPECT_EQ(r.value("subject").toString(), subject);
    EXPECT_EQ(prompts.messages.last().text, "SENT!");
}

TEST_F(mailPlaces, AFailedSendSaysWhereAndTheDialogKeepsItsTexts)
{
    relayTo(1); // nothing listens there
    frmemail& form = Forms::get<frmemail>();
    form.show();
    form.Text2->setText("keep me");
    click(form.Label3);
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[1].text.startsWith("Your mail was not sent: the mail relay could not be reached."));
    ASSERT_EQ(Forms::loaded<frmemail>(), &form);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Text2->text(), "keep me");
    EXPECT_TRUE(form.Label3->isEnabled());
    EXPECT_TRUE(form.Text3->isEnabled());
    EXPECT_EQ(form.Label1->caption(), "  &email me");

    // A second press, now with the relay up, sends what was kept.
    relayTo(server.port());
    click(form.Label3);
    EXPECT_EQ(onlyMail().value("subject").toString(), "keep me");
}

TEST_F(mailPlaces, MailAsciiThatFailsOffersToSendTheSameMailAgain)
{
    relayTo(1);
    prompts.inputs = {"artfan@example.com", "subject", "message"};
    prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::Yes, Prompts::Answer::No};
    Forms::get<frmmain>().Text1->setText("art");
    MailKit::MailAscii();
    ASSERT_EQ(prompts.messages.size(), 3);
    EXPECT_TRUE(prompts.messages[1].text.contains("Try again?"));
    EXPECT_EQ(prompts.messages[1].buttons, Prompts::Buttons::YesNo);
    EXPECT_TRUE(prompts.messages[2].text.contains("could not be reached"));
    EXPECT_TRUE(Forms::get<frmmain>().isVisible());
}

// The secure relay: STARTTLS with a throwaway certificate and a required log-in.
class mailSecure : public mailPlaces {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        Clock::install(nullptr);
        MailRelay::ForgetPasswords();
        writeSettings();
        // One authority and certificate serve the whole suite.
        static QTemporaryDir certificates;
        static const bool made = SmtpServerProcess::makeCertificate(certificates.path(), &cert, &key, &ca);
        ASSERT_TRUE(made);
        cert = certificates.filePath("cert.pem");
        key = certificates.filePath("key.pem");
        ca = certificates.filePath("ca.pem");
    }
    // The relay dialog, filled in as a user does; the CA file of the test's own authority
    // unless another is given.
    void setRelay(const QString& user, const QString& password, int security, const QString& caFile = "ca",
                  const QString& address = "artist@example.org")
    {
        frmemail& form = Forms::get<frmemail>();
        form.show();
        click(form.Label5);
        frmrelay* relay = Forms::loaded<frmrelay>();
        ASSERT_TRUE(relay && relay->isVisible());
        QTest::keyClicks(relay->Text1, "localhost");
        QTest::keyClicks(relay->Text2, QString::number(server.port()));
        QTest::keyClicks(relay->Text3, user);
        QTest::keyClicks(relay->Text4, password);
        relay->Combo1->setFocus();
        for (int i = 0; i < security; ++i)
            QTest::keyClick(relay->Combo1, Qt::Key_Down);
        QTest::keyClicks(relay->Text5, address);
        QTest::keyClicks(relay->Text6, caFile == "ca" ? ca : caFile);
        click(relay->Label3);
    }
    QString cert, key, ca;
};

TEST_F(mailSecure, StartTlsAndLogInDeliverTheMail)
{
    ASSERT_TRUE(server.start({cert, key, "artist", "pa55word"})) << server.error().toStdString();
    setRelay("artist", "pa55word", 1);
    EXPECT_EQ(CommonKit::Setting("SMTPHOST"), "localhost");
    EXPECT_EQ(CommonKit::Setting("SMTPTLS"), "starttls");
    EXPECT_EQ(CommonKit::Setting("SMTPUSER"), "artist");
    EXPECT_FALSE(readBytes("quorl.ini").contains("pa55word")) << "the password stays out of the settings file";
    EXPECT_EQ(CommonKit::Setting("SMTPCAFILE"), ca);
    EXPECT_EQ(CommonKit::Setting("SMTPFROM"), "artist@example.org");
    // No keyring here: the dialog says what is missing and what follows.
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_EQ(prompts.messages.last().text,
              "The password was not kept in a keyring. No Secret Service is running on this desktop, so there is no "
              "keyring to keep it in.\n\nThe shop keeps it until it closes; in each later run it asks for the "
              "password once, at the first mail.");

    frmemail& form = Forms::get<frmemail>();
    form.Text2->setText("secure hello");
    click(form.Label3);
    const QJsonObject m = onlyMail();
    EXPECT_EQ(m.value("subject").toString(), "secure hello");
    // After a log-in the mail goes out from the user's own address.
    EXPECT_EQ(m.value("mail_from").toString(), "artist@example.org");
    EXPECT_EQ(m.value("from").toString(), "artist@example.org");
    const auto auths = server.events("auth");
    ASSERT_EQ(auths.size(), 1);
    EXPECT_TRUE(auths[0].value("ok").toBool());
    EXPECT_TRUE(auths[0].value("tls").toBool());
    EXPECT_FALSE(server.received().contains("pa55word")) << "nothing of the log-in goes in the clear";
}

TEST_F(mailSecure, WithoutTheRelaysCaFileTheCertificateIsRefused)
{
    ASSERT_TRUE(server.start({cert, key, "artist", "pa55word"})) << server.error().toStdString();
    setRelay("artist", "pa55word", 1, "");
    click(Forms::get<frmemail>().Label3);
    EXPECT_TRUE(prompts.messages.last().text.startsWith("Your mail was not sent: the connection could not be made secure."))
        << prompts.messages.last().text.toStdString();
    EXPECT_TRUE(server.events("auth").isEmpty());

    // A file that holds no certificate is refused by the dialog itself.
    writeBytes("not-a-cert.pem", "hello");
    prompts.messages.clear();
    setRelay("artist", "", 1, path("not-a-cert.pem"));
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_TRUE(prompts.messages.last().text.startsWith("The CA file holds no certificate that can be read"));
    EXPECT_TRUE(Forms::loaded<frmrelay>()->isVisible());
}

TEST_F(mailSecure, AWrongPasswordIsAskedForAgainAndTheRightOneSends)
{
    ASSERT_TRUE(server.start({cert, key, "artist", "pa55word"})) << server.error().toStdString();
    setRelay("artist", "", 1);
    prompts.inputs = {"wrong-one", "pa55word"};
    click(Forms::get<frmemail>().Label3);
    ASSERT_TRUE(server.waitForMails(1)) << prompts.messages.last().text.toStdString();
    const auto auths = server.events("auth");
    ASSERT_EQ(auths.size(), 2);
    EXPECT_FALSE(auths[0].value("ok").toBool());
    EXPECT_TRUE(auths[1].value("ok").toBool());
    ASSERT_EQ(prompts.inputPrompts.size(), 2);
    EXPECT_TRUE(prompts.inputPrompts[1].startsWith("The mail relay refused the password."));
    EXPECT_EQ(prompts.messages.last().text, "Your message has been sent.");

    // The right one is what the run keeps: the next mail asks nothing.
    Forms::get<frmemail>().show();
    click(Forms::get<frmemail>().Label3);
    EXPECT_TRUE(server.waitForMails(2));
    EXPECT_EQ(prompts.inputPrompts.size(), 2);
}

TEST_F(mailSecure, WithoutAKeyringThePasswordIsAskedForAtTheSend)
{
    ASSERT_TRUE(server.start({cert, key, "artist", "pa55word"})) << server.error().toStdString();
    setRelay("artist", "", 1);
    prompts.inputs = {"pa55word"};
    frmemail& form = Forms::get<frmemail>();
    click(form.Label3);
    EXPECT_EQ(server.events("mail").size(), 1);
    ASSERT_EQ(prompts.inputPrompts.size(), 1);
    EXPECT_TRUE(prompts.inputPrompts[0].contains("artist"));
}

TEST_F(mailSecure, ARelayThatOffersNoStartTlsNeverSeesThePassword)
{
    ASSERT_TRUE(server.start({{}, {}, "artist", "pa55word"})) << server.error().toStdString();
    setRelay("artist", "pa55word", 1);
    frmemail& form = Forms::get<frmemail>();
    click(form.Label3);
    EXPECT_TRUE(prompts.messages.last().text.startsWith("Your mail was not sent: the connection could not be made secure."));
    EXPECT_TRUE(server.events("auth").isEmpty());
    EXPECT_TRUE(server.events("mail").isEmpty());
    const QByteArray seen = server.received();
    EXPECT_FALSE(seen.toLower().contains("auth"));
    EXPECT_FALSE(seen.contains(QByteArray("\0artist\0pa55word", 16).toBase64()));
    EXPECT_FALSE(seen.contains(QByteArray("pa55word").toBase64()));
}

// The dialogs themselves.
class mailDialogs : public ShopTest {};

TEST_F(mailDialogs, CancelSendsNothingAndTheNextOpeningStartsAfresh)
{
    frmmain& main = Forms::get<frmmain>();
    main.show();
    const QRect before = main.geometry();
    frmbug& form = Forms::get<frmbug>();
    form.show();
    form.Text1->setText("typed");
    click(form.Label4);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Forms::loaded<frmbug>(), nullptr);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(main.geometry(), before);
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(Forms::get<frmbug>().Text1->text(), "Subject");
}

TEST_F(mailDialogs, CtrlASelectsTheWholeTextOfTheFocusedBox)
{
    frmemail& form = Forms::get<frmemail>();
    form.show();
    for (QLineEdit* box : {form.Text1, form.Text2}) {
        box->setCursorPosition(2);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(box->selectedText(), box->text());
    }
    QTest::keyClick(form.Text3, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(form.Text3->textCursor().selectedText(), "Body\u2029");
}

TEST_F(mailDialogs, APasteIntoTheMessageKeepsOnlyWhatTheCodePageHolds)
{
    frmemail& form = Forms::get<frmemail>();
    form.show();
    form.Text3->clear();
    QApplication::clipboard()->setText(QString::fromUtf8("art \u2603 caf\u00e9\nnext"));
    QTest::keyClick(form.Text3, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form.Text3->toPlainText(), QString::fromUtf8("art  caf\u00e9\nnext"));
}

class mailDialogsScripted : public smtpDialogue {};

TEST_F(mailDialogsScripted, DoubleClickingTheTitleWhileSendingHidesTheDialogAndTheResultStillComes)
{
    RelayEnv env("127.0.0.1", server->port());
    frmmain& main = Forms::get<frmmain>();
    main.show();
    frmemail& form = Forms::get<frmemail>();
    form.show();
    bool hiddenWhileSending = false;
    server->greeting.delay = 1;
    server->greeting.action = [&] {
        EXPECT_FALSE(form.Label3->isEnabled());
        EXPECT_EQ(form.Label1->caption(), "  &please wait [sending email, this may take a minute.]");
        QTest::mouseDClick(form.Label1, Qt::LeftButton);
        hiddenWhileSending = !form.isVisible();
    };
    click(form.Label3);
    EXPECT_TRUE(hiddenWhileSending);
    EXPECT_EQ(prompts.messages.last().text, "Your message has been sent.");
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(server->commands.size(), 5);
}

TEST_F(mailDialogsScripted, ARelayThatTakesTwelveSecondsOverTheEndHoldsOneMailAndTheShopSaysSent)
{
    RelayEnv env("127.0.0.1", server->port());
    bool told = false;
    server->replies["."] = {"250 queued after a long look\r\n", 12};
    server->replies["."].action = [&] { told = mailWaitWindow() != nullptr; };
    prompts.inputs = {"artfan@example.com", "slow", "relay"};
    Forms::get<frmmain>().Text1->setText("art");
    Forms::get<ops>().show();
    click(Forms::get<ops>().Label5);
    EXPECT_EQ(prompts.messages.last().text, "SENT!");
    EXPECT_EQ(prompts.messages.size(), 2) << "no failure, no offer to send again";
    EXPECT_EQ(server->commands.count("data"), 1);
    EXPECT_EQ(server->data.count("\r\n.\r\n"), 1) << "the relay holds one mail";
    EXPECT_TRUE(told) << "a slow relay gets a window that says what is happening";
    EXPECT_EQ(mailWaitWindow(), nullptr);
}

TEST_F(mailDialogsScripted, ASecondMailAskedForDuringALongWaitIsToldToWait)
{
    RelayEnv env("127.0.0.1", server->port());
    server->replies["."] = {"250 queued after a long look\r\n", 12};
    WSKSOCK::Failure second;
    bool secondSent = true;
    ScriptedSmtp::Reply data = server->replies.value("DATA", {"354 go ahead\r\n"});
    data.action = [&] {
        server->later(5, [&] {
            secondSent = MailKit::Send({"from@shop.example", "to@example.net", "s", "b"}, &second);
        });
    };
    server->replies["DATA"] = data;
    prompts.inputs = {"artfan@example.com", "slow", "relay"};
    Forms::get<frmmain>().Text1->setText("art");
    Forms::get<ops>().show();
    click(Forms::get<ops>().Label5);
    EXPECT_FALSE(secondSent);
    EXPECT_EQ(WSKSOCK::FailureText(second), "another mail is still being sent");
    EXPECT_EQ(prompts.messages.last().text, "SENT!") << "the first mail's wait went on to its end";
    EXPECT_EQ(server->connections, 1);
}

TEST_F(mailDialogsScripted, StoppingTheWaitSaysTheMailMayHaveGoneBeforeOfferingToSendAgain)
{
    RelayEnv env("127.0.0.1", server->port());
    server->replies["."] = {"", 0, true};
    const double start = sclock.mono;
    bool clicked = false;
    server->later(8, [&] {
        QWidget* w = mailWaitWindow();
        ASSERT_NE(w, nullptr);
        QTest::mouseClick(w->findChild<QPushButton*>(), Qt::LeftButton);
        clicked = true;
    });
    prompts.inputs = {"artfan@example.com", "s", "m"};
    prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::No};
    MailKit::MailAscii();
    EXPECT_TRUE(clicked);
    EXPECT_LT(sclock.mono - start, 10.0) << "the stop ends the wait";
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[1].text.startsWith("Your mail may have been sent: the wait for the mail relay's answer "
                                                     "to the end of the message was stopped"))
        << prompts.messages[1].text.toStdString();
    EXPECT_TRUE(prompts.messages[1].text.endsWith("sent again, it may arrive twice. Send it again anyway?"));
    EXPECT_EQ(prompts.messages[1].buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(server->data.count("\r\n.\r\n"), 1);
}

TEST_F(mailDialogsScripted, ARelayThatCannotBeWrittenIsToldAndTheDialogStays)
{
    frmrelay& relay = Forms::get<frmrelay>();
    relay.show();
    QTest::keyClicks(relay.Text1, "mail.example.org");
    // The settings file is in the way: a folder stands where it would be written.
    QFile::remove(CommonKit::SettingsPath());
    ASSERT_TRUE(QDir().mkpath(CommonKit::SettingsPath()));
    click(relay.Label3);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "The relay could not be kept: " + CommonKit::SettingsPath() +
                                            " cannot be written. Make room or make it writable, then press Ok again.");
    EXPECT_TRUE(relay.isVisible()) << "what was typed is still there to try again";
    EXPECT_EQ(relay.Text1->text(), "mail.example.org");

    ASSERT_TRUE(QDir(CommonKit::SettingsPath()).removeRecursively());
    click(relay.Label3);
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(CommonKit::Setting("SMTPHOST"), "mail.example.org");
}

TEST_F(mailDialogsScripted, TheRelayDialogRefusesABadPortAndALineBreakInAOneLineBox)
{
    frmrelay& relay = Forms::get<frmrelay>();
    relay.show();
    QTest::keyClicks(relay.Text1, "mail.example.org");
    QTest::keyClicks(relay.Text2, "70000");
    click(relay.Label3);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "The port must be a number from 1 to 65535.");
    EXPECT_EQ(CommonKit::Setting("SMTPHOST"), "");

    relay.Text2->clear();
    relay.Text1->clear();
    QApplication::clipboard()->setText("mail.example.org\r\nrcpt to: x");
    QTest::keyClick(relay.Text1, Qt::Key_V, Qt::ControlModifier);
    click(relay.Label3);
    // The paste keeps its line break in the box; the dialog refuses it and stores nothing.
    ASSERT_TRUE(relay.Text1->text().contains('\n')) << relay.Text1->text().toStdString();
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[1].text, "The host and the user name may not hold blanks or line breaks.");
    EXPECT_EQ(CommonKit::Setting("SMTPHOST"), "");
    EXPECT_TRUE(relay.isVisible());
}

TEST_F(mailDialogsScripted, TheStoredRelayIsUsedAndTheEnvironmentOverridesIt)
{
    CommonKit::SetSetting("SMTPHOST", "127.0.0.1");
    CommonKit::SetSetting("SMTPPORT", QString::number(server->port()));
    EXPECT_EQ(MailRelay::Current().port, server->port());
    EXPECT_TRUE(MailKit::Send(mail()));
    {
        RelayEnv env("127.0.0.2", 2525);
        EXPECT_EQ(MailRelay::Current().host, "127.0.0.2");
        EXPECT_EQ(MailRelay::Current().port, 2525);
    }
    CommonKit::SetSetting("SMTPHOST", "");
    EXPECT_EQ(MailRelay::Current().host, "localhost");
    EXPECT_EQ(MailRelay::Current().port, 25);
}

TEST_F(mailDialogs, TheOptionsPanelAndTheSubmenuOpenTheirDialogs)
{
    ops& panel = Forms::get<ops>();
    panel.show();
    QTest::mousePress(panel.Label9, Qt::LeftButton);
    ASSERT_NE(Forms::loaded<frmemail>(), nullptr);
    EXPECT_TRUE(Forms::loaded<frmemail>()->isVisible());
    EXPECT_EQ(Forms::loaded<frmemail>()->Text1->text(), "Email address + IM.");

    menu5& more = Forms::get<menu5>();
    more.show();
    click(more.item("&report bug"));
    EXPECT_FALSE(more.isVisible());
    ASSERT_NE(Forms::loaded<frmbug>(), nullptr);
    EXPECT_TRUE(Forms::loaded<frmbug>()->isVisible());
    EXPECT_TRUE(prompts.messages.isEmpty()) << "opening sends nothing";
}

// Hostile relays of the test's own, as processes on loopback, on the real clock.
class mailHostile : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        Clock::install(nullptr);
        writeSettings();
    }
};

TEST_F(mailHostile, ARelayThatFloodsAnAnswerFailsThatStepAndTheShopStaysSmall)
{
    const QList<std::pair<QString, QString>> cases{
        {"GREETING", "Your mail was not sent: the mail relay's greeting was too long."},
        {"MAIL", "Your mail was not sent: the mail relay's answer to the sender was too long."}};
    for (const auto& [at, sentence] : cases) {
        HostileSmtpProcess hostile;
        ASSERT_TRUE(hostile.start(at)) << hostile.error().toStdString();
        RelayEnv env("127.0.0.1", hostile.port());
        const long before = residentKb();
        prompts.messages.clear();
        prompts.inputs = {"artfan@example.com", "s", "m"};
        prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::No};
        Forms::get<frmmain>().Text1->setText("art");
        Forms::get<ops>().show();
        Forms::get<ops>().show();
    click(Forms::get<ops>().Label5);
        ASSERT_EQ(prompts.messages.size(), 2) << at.toStdString();
        EXPECT_TRUE(prompts.messages[1].text.startsWith(sentence + "\n\nThe mail relay sent more than 8192 bytes"))
            << prompts.messages[1].text.toStdString();
#if defined(__SANITIZE_ADDRESS__)
        // Freed memory stays in the sanitizer's quarantine for a while.
        EXPECT_LT(residentKb() - before, 64 * 1024) << "the flood is not kept";
#else
        EXPECT_LT(residentKb() - before, 32 * 1024) << "the flood is not kept";
#endif
#if !defined(__SANITIZE_ADDRESS__)
        EXPECT_LT(residentKb(), 100 * 1024);
#endif
        EXPECT_TRUE(Forms::get<frmmain>().isVisible());
    }
}
