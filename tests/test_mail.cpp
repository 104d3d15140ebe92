#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu5.h"
#include "editor/pageedit.h"
#include "mail/frmbug.h"
#include "mail/frmemail.h"
#include "mail/frmrelay.h"
#include "mail/mailkit.h"
#include "mail/mailrelay.h"
#include "mail/wsksock.h"
#include "skin/pushlabel.h"
#include "support/smtpservers.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSslConfiguration>
#include <QSslCertificate>
#include <QTest>

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
                               "\r\n";

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
    EXPECT_EQ(server->data, "From: from@shop.example\r\nTo: to@example.net\r\nSubject: a subject\r\n" + kHeaderTail +
                                "\r\n\r\n--NextMimePart--\r\n\r\n\r\n.\r\n");
}

TEST_F(smtpDialogue, BodyLinesThatBeginWithAFullStopAreDoubledAndLineEndsMadeWhole)
{
    ASSERT_TRUE(send(mail("first\r\n.\r\n.hidden\nlone\rlast")));
    EXPECT_TRUE(server->data.contains("\r\n\r\nfirst\r\n..\r\n..hidden\r\nlone\r\nlast\r\n\r\n--NextMimePart--"))
        << server->data.toStdString();
}

TEST_F(smtpDialogue, TheEndOfDataMustBeAnsweredWith250)
{
    server->replies["."] = {"554 message rejected as spam\r\n"};
    EXPECT_FALSE(send());
    EXPECT_EQ(failure.step, Step::EndOfData);
    server->replies["."] = {"", 0, true};
    EXPECT_FALSE(send());
    EXPECT_EQ(failure.step, Step::EndOfData);
    EXPECT_TRUE(failure.detail.isEmpty());
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

TEST_F(smtpDialogue, ARelayThatClosesMidDialogueFailsAtOnceAtThatStep)
{
    server->replies["MAIL"] = {"", 0, false, true};
    EXPECT_FALSE(send());
    EXPECT_EQ(failure.step, Step::Sender);
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
    QTest::keyClicks(form->Text2, "hi there");
    form->Text3->selectAll();
    QTest::keyClicks(form->Text3, "line one");
    QTest::keyClick(form->Text3, Qt::Key_Return);
    QTest::keyClicks(form->Text3, ".");
    QTest::keyClick(form->Text3, Qt::Key_Return);
    QApplication::clipboard()->setText(QString::fromUtf8("caf\u00e9 end"));
    QTest::keyClick(form->Text3, Qt::Key_V, Qt::ControlModifier);

    click(form->Label3);

    const QJsonObject m = onlyMail();
    EXPECT_EQ(m.value("mail_from").toString(), MailKit::kEmailMeSender);
    EXPECT_EQ(m.value("rcpt_tos").toArray().first().toString(), MailKit::kMakersAddress);
    EXPECT_EQ(m.value("from").toString(), MailKit::kEmailMeSender);
    EXPECT_EQ(m.value("to").toString(), MailKit::kMakersAddress);
    EXPECT_EQ(m.value("subject").toString(), "hi there");
    EXPECT_EQ(m.value("part_type").toString(), "text/plain");
    EXPECT_EQ(m.value("preamble").toString().trimmed(), "This is a multi-part message in MIME format.");
    EXPECT_EQ(body(m), "me@example.org + im quorlfan\r\n\r\n\r\nline one\r\n.\r\ncaf\xe9 end\r\n");
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
    QTest::keyClicks(form->Text1, "crash on paste");
    form->Text2->clear();
    QTest::keyClicks(form->Text2, "the pages");

    click(form->Label3);

    const QJsonObject m = onlyMail();
    EXPECT_EQ(m.value("mail_from").toString(), MailKit::kBugReportSender);
    EXPECT_EQ(m.value("subject").toString(), "crash on paste");
    EXPECT_EQ(body(m), "the pages\r\n\r\n\r\nExplain this problem or send a comment, Put your im or email address here "
                       "too.\r\n\r\n");
}

TEST_F(mailPlaces, MailAsciiSendsPagesOneAndThreeAndNeverAccumulates)
{
    frmmain& main = Forms::get<frmmain>();
    main.Text1->setText(QString::fromUtf8("\u00ab page one \u00bb"));
    main.Text3->setText("page three");
    ops& panel = Forms::get<ops>();
    panel.show();
    prompts.inputs = {" art fan@exam ple.com ", "my art", "look"};
    click(panel.Label5);
    prompts.inputs = {"artfan@example.com", "again", "twice"};
    click(panel.Label5);

    ASSERT_TRUE(server.waitForMails(2));
    const auto mails = server.events("mail");
    const QByteArray sig = QByteArray(MailKit::kSignature);
    EXPECT_EQ(mails[0].value("rcpt_tos").toArray().first().toString(), "artfan@example.com");
    EXPECT_EQ(mails[0].value("mail_from").toString(), MailKit::kMailAsciiSender);
    EXPECT_EQ(mails[0].value("subject").toString(), "my art");
    EXPECT_EQ(body(mails[0]),
              "\r\n\r\n\xab page one \xbb\r\npage three\r\n\r\n\r\nlook\r\n\r\n\r\n\r\n\r\n" + sig + "\r\n\r\n\r\n\r\n");
    EXPECT_EQ(body(mails[1]),
              "\r\n\r\n\xab page one \xbb\r\npage three\r\n\r\n\r\ntwice\r\n\r\n\r\n\r\n\r\n" + sig + "\r\n\r\n\r\n\r\n");
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
    QWidget shop;
    shop.show();
    prompts.inputs = {"friend@example.com", "a macro", "enjoy"};
    MailKit::EmailMacros("line 1\r\n.\r\nline 3", {&shop});
    const QJsonObject m = onlyMail();
    EXPECT_EQ(m.value("mail_from").toString(), MailKit::kEmailMacrosSender);
    EXPECT_EQ(body(m), "\r\n\r\nline 1\r\n.\r\nline 3\r\n\r\nenjoy\r\n\r\n\r\n\r\n\r\n" + QByteArray(MailKit::kSignature) +
                           "\r\n\r\n\r\n\r\n");
    EXPECT_TRUE(shop.isVisible());
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
        ASSERT_TRUE(SmtpServerProcess::makeCertificate(dir.path(), &cert, &key));
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        saved = conf;
        conf.addCaCertificates(cert);
        QSslConfiguration::setDefaultConfiguration(conf);
    }
    void TearDown() override
    {
        QSslConfiguration::setDefaultConfiguration(saved);
        mailPlaces::TearDown();
    }
    // The relay dialog, filled in as a user does.
    void setRelay(const QString& user, const QString& password, int security)
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
        relay->Combo1->setCurrentIndex(security);
        click(relay->Label3);
    }
    QString cert, key;
    QSslConfiguration saved;
};

TEST_F(mailSecure, StartTlsAndLogInDeliverTheMail)
{
    ASSERT_TRUE(server.start({cert, key, "artist", "pa55word"})) << server.error().toStdString();
    setRelay("artist", "pa55word", 1);
    EXPECT_EQ(CommonKit::Setting("SMTPHOST"), "localhost");
    EXPECT_EQ(CommonKit::Setting("SMTPTLS"), "starttls");
    EXPECT_EQ(CommonKit::Setting("SMTPUSER"), "artist");
    EXPECT_FALSE(readBytes("quorl.ini").contains("pa55word")) << "the password stays out of the settings file";
    // No keyring here: the dialog says the password is kept for this run only.
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_TRUE(prompts.messages.last().text.startsWith("No keyring took the password"));

    frmemail& form = Forms::get<frmemail>();
    form.Text2->setText("secure hello");
    click(form.Label3);
    const QJsonObject m = onlyMail();
    EXPECT_EQ(m.value("subject").toString(), "secure hello");
    const auto auths = server.events("auth");
    ASSERT_EQ(auths.size(), 1);
    EXPECT_TRUE(auths[0].value("ok").toBool());
    EXPECT_TRUE(auths[0].value("tls").toBool());
    EXPECT_FALSE(server.received().contains("pa55word")) << "nothing of the log-in goes in the clear";
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
