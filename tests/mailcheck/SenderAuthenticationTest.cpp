#include "mailcheck/SenderAuthentication.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

const QString Trusted = QStringLiteral("mx.mailhost.example");
const QString NoResults = QStringLiteral("認証サーバー mx.mailhost.example の認証結果がありません");
const QString Damaged =
    QStringLiteral("認証サーバー mx.mailhost.example の認証結果を読み取れませんでした");
const QString DmarcFailed = QStringLiteral("DMARCの検証に失敗しました (dmarc=fail)");
const QString Below =
    QStringLiteral("認証サーバー mx.mailhost.example の認証結果がReceivedより後にあります");
const QString NoReceived = QStringLiteral("Receivedヘッダーがないため認証結果の出所が分かりません");
const QString NotOneMailbox =
    QStringLiteral("差出人のアドレスが一つのメールアドレスではありません");

// The receiving server's trace line, below the fields it prepends.
const char* const ReceivedLine =
    "Received: from mail-sor-f41.example.com (mail-sor-f41.example.com [192.0.2.41]) by "
    "mx.mailhost.example with ESMTPS id q7so; Tue, 05 Mar 2024 10:02:03 +0900";

// A header from its lines, CR LF after each, as the mail check has it after unfolding.
QString Header(std::initializer_list<const char*> lines) {
    QString header;
    for (const char* line : lines)
        header += QString::fromUtf8(line) + QStringLiteral("\r\n");
    return header;
}

// The lines every request carries around the server's fields, and the sender's own lines
// below the server's Received line.
QString Request(const char* from, std::initializer_list<const char*> fields,
                std::initializer_list<const char*> senderLines = {}) {
    QString header = Header({"Return-Path: <alice@example.com>"});
    header += Header(fields);
    header += Header({ReceivedLine});
    header += Header(senderLines);
    header += QStringLiteral("From: ") + QString::fromUtf8(from) + QStringLiteral("\r\n");
    header += Header({"To: camera@mailhost.example", "Subject: CAM",
                      "Date: Tue, 5 Mar 2024 10:02:00 +0900", "Message-ID: <x1@example.com>"});
    return header;
}

struct Case {
    const char* name;
    QString header;
    const char* from;
    QString trusted;
    QString reason; // empty: authenticated
};

void Check(const Case& c) {
    SCOPED_TRACE(c.name);
    QString reason = QStringLiteral("left over");
    const bool authenticated =
        IsAuthenticatedSender(c.header, QString::fromUtf8(c.from), c.trusted, reason);
    EXPECT_EQ(authenticated, c.reason.isEmpty());
    EXPECT_EQ(reason, c.reason);
}

} // namespace

TEST(SenderAuthentication, GenuineRequestsAsProvidersWriteThemPass) {
    const Case cases[] = {
        {"web mail: dkim with header.i only, spf, dmarc with policy comment",
         Request("Alice <alice@example.com>",
                 {"ARC-Seal: i=1; a=rsa-sha256; t=1709600523; cv=none; d=mailhost.example; "
                  "s=arc-20160816; b=Xq1...",
                  "Authentication-Results: mx.mailhost.example;       dkim=pass "
                  "header.i=@example.com header.s=20230601 header.b=Ab12Cd34;       spf=pass "
                  "(mailhost.example: domain of alice@example.com designates 192.0.2.41 as "
                  "permitted sender) smtp.mailfrom=alice@example.com;       dmarc=pass "
                  "(p=NONE sp=NONE dis=NONE) header.from=example.com"}),
         "alice@example.com",
         Trusted,
         {}},
        {"portal style: comments with ';' and '=', a non-standard property, a ';' at the end",
         Request("alice@example.com",
                 {"Authentication-Results: mx.mailhost.example; spf=pass (sender IP is "
                  "192.0.2.41; check=ok) smtp.mailfrom=example.com; dkim=pass (signature was "
                  "verified) header.d=example.com;dmarc=pass action=none "
                  "header.from=example.com;compauth=pass reason=100;"}),
         "alice@example.com",
         Trusted,
         {}},
        {"provider with a version; dkim of a parent domain, spf soft-failing",
         Request("Bob <bob@mail.example.org>",
                 {"Authentication-Results: mx.mailhost.example 1; spf=softfail "
                  "smtp.mailfrom=bob@mail.example.org; dkim=pass (1024-bit key) "
                  "header.d=example.org header.i=@mail.example.org header.a=rsa-sha256 "
                  "header.s=s1 header.b=\"kD8f+9Qx\""}),
         "bob@mail.example.org",
         Trusted,
         {}},
        {"one field per method, quoted id, upper-case names",
         Request("carol@example.co.jp",
                 {"authentication-results: \"mx.mailhost.example\"; SPF=Pass "
                  "smtp.mailfrom=carol@example.co.jp",
                  "AUTHENTICATION-RESULTS: mx.mailhost.example; DKIM=PASS "
                  "Header.D=EXAMPLE.CO.JP"}),
         "carol@example.co.jp",
         Trusted,
         {}},
        {"the trusted id set in another case, with spaces",
         Request("alice@example.com", {"Authentication-Results: mx.mailhost.example; dmarc=pass "
                                       "header.from=example.com"}),
         "alice@example.com",
         QStringLiteral("  MX.MailHost.Example "),
         {}},
        {"From domain in capitals, header.from with a final dot",
         Request("alice@EXAMPLE.com", {"Authentication-Results: mx.mailhost.example; dmarc=pass "
                                       "header.from=example.com."}),
         "alice@EXAMPLE.com",
         Trusted,
         {}},
        {"a foreign field that says fail is ignored",
         Request("alice@example.com",
                 {"Authentication-Results: mx.mailhost.example; dkim=pass header.d=example.com",
                  "Authentication-Results: relay.elsewhere.example; dmarc=fail "
                  "header.from=example.com"}),
         "alice@example.com",
         Trusted,
         {}},
        {"a dkim=pass for another domain beside one for the From domain",
         Request("alice@example.com",
                 {"Authentication-Results: mx.mailhost.example; dkim=pass header.d=esp.example; "
                  "dkim=pass header.d=example.com"}),
         "alice@example.com",
         Trusted,
         {}},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(SenderAuthentication, ForgedAndFailedRequestsAreRefusedWithTheirReason) {
    const Case cases[] = {
        {"no Authentication-Results at all", Request("alice@example.com", {}), "alice@example.com",
         Trusted, NoResults},
        {"a field from another authserv-id",
         Request("alice@example.com",
                 {"Authentication-Results: mx.forger.test; dmarc=pass header.from=example.com"}),
         "alice@example.com", Trusted, NoResults},
        {"the trusted id as a property value, not as the id",
         Request("alice@example.com", {"Authentication-Results: mx.forger.test; dmarc=pass "
                                       "reason=mx.mailhost.example header.from=example.com"}),
         "alice@example.com", Trusted, NoResults},
        {"another field name with the trusted id",
         Request("alice@example.com",
                 {"X-Authentication-Results: mx.mailhost.example; dmarc=pass",
                  "ARC-Authentication-Results: i=1; mx.mailhost.example; dmarc=pass",
                  "Authentication-Results-Original: mx.mailhost.example; dmarc=pass"}),
         "alice@example.com", Trusted, NoResults},
        {"a field in the body, after the empty line",
         Request("alice@example.com", {}) +
             QStringLiteral("\r\nAuthentication-Results: mx.mailhost.example; dmarc=pass\r\n"),
         "alice@example.com", Trusted, NoResults},
        {"a field without authserv-id, as some providers write it",
         Request("alice@example.com",
                 {"Authentication-Results: spf=pass (sender IP is 192.0.2.7) "
                  "smtp.mailfrom=example.com; dkim=pass (signature was verified) "
                  "header.d=example.com;dmarc=pass action=none header.from=example.com"}),
         "alice@example.com", Trusted, NoResults},
        {"dmarc=fail, even beside a dkim=pass of the From domain",
         Request("alice@example.com",
                 {"Authentication-Results: mx.mailhost.example; dkim=pass header.d=example.com; "
                  "spf=fail smtp.mailfrom=example.com; dmarc=fail (p=REJECT) "
                  "header.from=example.com"}),
         "alice@example.com", Trusted, DmarcFailed},
        {"dmarc=fail in a second trusted field",
         Request("alice@example.com", {"Authentication-Results: mx.mailhost.example; dmarc=pass",
                                       "Authentication-Results: mx.mailhost.example; DMARC=FAIL"}),
         "alice@example.com", Trusted, DmarcFailed},
        {"dkim=pass for an unrelated domain",
         Request("alice@example.com",
                 {"Authentication-Results: mx.mailhost.example; dkim=pass header.d=forger.test; "
                  "dmarc=none header.from=example.com"}),
         "alice@example.com", Trusted,
         QStringLiteral("DKIMの署名が差出人のドメインのものではありません (header.d=forger.test)")},
        {"dkim=pass for a domain that only ends in the same letters",
         Request("alice@example.com",
                 {"Authentication-Results: mx.mailhost.example; dkim=pass header.d=ample.com"}),
         "alice@example.com", Trusted,
         QStringLiteral("DKIMの署名が差出人のドメインのものではありません (header.d=ample.com)")},
        {"the From domain only ends in the letters of the signer",
         Request("alice@myexample.com", {"Authentication-Results: mx.mailhost.example; dkim=pass "
                                         "header.i=@example.com"}),
         "alice@myexample.com", Trusted,
         QStringLiteral(
             "DKIMの署名が差出人のドメインのものではありません (header.i=@example.com)")},
        {"dkim=pass for a subdomain of the From domain",
         Request("alice@example.com", {"Authentication-Results: mx.mailhost.example; dkim=pass "
                                       "header.d=news.example.com"}),
         "alice@example.com", Trusted,
         QStringLiteral(
             "DKIMの署名が差出人のドメインのものではありません (header.d=news.example.com)")},
        {"dkim=pass for a bare top-level name",
         Request("alice@example.com",
                 {"Authentication-Results: mx.mailhost.example; dkim=pass header.d=com"}),
         "alice@example.com", Trusted,
         QStringLiteral("DKIMの署名が差出人のドメインのものではありません (header.d=com)")},
        {"an odd signer is not copied into the log",
         Request("alice@example.com", {"Authentication-Results: mx.mailhost.example; dkim=pass "
                                       "header.d=\"evil\\\"\tname\""}),
         "alice@example.com", Trusted,
         QStringLiteral("DKIMの署名が差出人のドメインのものではありません (header.d=?)")},
        {"dmarc=pass for another From domain",
         Request("alice@example.com", {"Authentication-Results: mx.mailhost.example; dmarc=pass "
                                       "header.from=forger.test"}),
         "alice@example.com", Trusted,
         QStringLiteral(
             "DMARCの検証が差出人のドメインのものではありません (header.from=forger.test)")},
        {"only failures and neutral results",
         Request("alice@example.com",
                 {"Authentication-Results: mx.mailhost.example; spf=pass "
                  "smtp.mailfrom=example.com; dkim=fail header.d=example.com; dkim=neutral; "
                  "dmarc=none header.from=example.com"}),
         "alice@example.com", Trusted,
         QStringLiteral("DMARCにもDKIMにも合格していません (spf=pass, dkim=fail, dkim=neutral, "
                        "dmarc=none)")},
        {"a 'none' field",
         Request("alice@example.com", {"Authentication-Results: mx.mailhost.example; none"}),
         "alice@example.com", Trusted, QStringLiteral("DMARCにもDKIMにも合格していません (none)")},
        {"a damaged trusted field beside a good one",
         Request("alice@example.com",
                 {"Authentication-Results: mx.mailhost.example; dmarc=pass",
                  "Authentication-Results: mx.mailhost.example; dmarc=fail (unclosed"}),
         "alice@example.com", Trusted, Damaged},
        {"a second From line, which the check would read instead",
         Request("victim@example.com", {"Authentication-Results: mx.mailhost.example; dmarc=pass",
                                        "From: someone@forger.test"}),
         "victim@example.com", Trusted, QStringLiteral("Fromヘッダーが複数あります")},
        {"a second From in lower case", Request("alice@example.com", {"from : x@forger.test"}),
         "alice@example.com", Trusted, QStringLiteral("Fromヘッダーが複数あります")},
        {"the sender's pass below the server's none",
         Request("alice@example.com", {"Authentication-Results: mx.mailhost.example; dkim=none"},
                 {"Authentication-Results: mx.mailhost.example; dkim=pass header.d=example.com"}),
         "alice@example.com", Trusted, Below},
        {"a trusted field only below the Received line",
         Request("alice@example.com", {"Authentication-Results: mx.other.example; none"},
                 {"Authentication-Results: mx.mailhost.example; dmarc=pass "
                  "header.from=example.com"}),
         "alice@example.com", Trusted, Below},
        {"a damaged trusted field below the Received line",
         Request("alice@example.com", {}, {"Authentication-Results: mx.mailhost.example; ("}),
         "alice@example.com", Trusted, Below},
        {"no Received line, so no telling whose field it is",
         Header({"Authentication-Results: mx.mailhost.example; dmarc=pass header.from=example.com",
                 "From: alice@example.com", "Subject: CAM"}),
         "alice@example.com", Trusted, NoReceived},
        {"no trusted id set",
         Request("alice@example.com", {"Authentication-Results: ; dmarc=pass"}),
         "alice@example.com", QStringLiteral("  "),
         QStringLiteral("信頼する認証サーバーIDが設定されていません")},
        {"a From address without domain",
         Request("alice", {"Authentication-Results: mx.mailhost.example; dmarc=pass"}), "alice",
         Trusted, QStringLiteral("差出人のアドレスにドメインがありません")},
        {"a From address with an empty domain",
         Request("alice@", {"Authentication-Results: mx.mailhost.example; dmarc=pass"}), "alice@",
         Trusted, QStringLiteral("差出人のアドレスにドメインがありません")},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(SenderAuthentication, AFromLineThatIsNotOnePlainMailboxIsRefused) {
    const char* const field =
        "Authentication-Results: mx.mailhost.example; dmarc=pass header.from=example.com";
    const Case cases[] = {
        {"the victim in a comment after a bare address",
         Request("attacker@example.com (<victim@example.com>)", {field}), "victim@example.com",
         Trusted, NotOneMailbox},
        {"the victim in a comment after the angle address",
         Request("Mallory <attacker@example.com> (<victim@example.com>)", {field}),
         "victim@example.com", Trusted, NotOneMailbox},
        {"a list of two", Request("<attacker@example.com>, <victim@example.com>", {field}),
         "victim@example.com", Trusted, NotOneMailbox},
        {"a group", Request("Team: Mallory <attacker@example.com>, <victim@example.com>;", {field}),
         "victim@example.com", Trusted, NotOneMailbox},
        {"no From line", Header({field, ReceivedLine, "Subject: CAM"}), "alice@example.com",
         Trusted, NotOneMailbox},
        {"an answered address that the From line does not name",
         Request("alice@example.com", {field}), "victim@example.com", Trusted,
         QStringLiteral("返信先が差出人のアドレスと一致しません")},
        {"dmarc=pass without header.from, for any From domain",
         Request("mallory@forger.test",
                 {"Authentication-Results: mx.mailhost.example; dmarc=pass"}),
         "mallory@forger.test", Trusted,
         QStringLiteral(
             "DMARCの検証がどのドメインのものか分かりません (header.from がありません)")},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(SenderAuthentication, DisplayNamesOfEveryUsualFormPass) {
    const char* const froms[] = {
        "\"Alice, Sales (Tokyo) <x@y>\" <alice@example.com>",
        "alice@example.com",
        "=?UTF-8?B?44Ki44Oq44K5?= <alice@example.com>",
        "=?ISO-2022-JP?B?GyRCJSIlaiU5GyhC?= <alice@example.com>",
        "Alice Q. Public <alice@example.com> (Sales)",
        "<alice@example.com>",
    };
    for (const char* from : froms)
        Check({from,
               Request(from, {"Authentication-Results: mx.mailhost.example; dmarc=pass "
                              "header.from=example.com"}),
               "alice@example.com",
               Trusted,
               {}});
}

TEST(SenderAuthentication, LookalikeIdsAreOtherIds) {
    const char* lookalikes[] = {
        "mx.mailhost.example.forger.test",
        "forger.mx.mailhost.example",
        "mx.mai1host.example",
        "mx.mailhost.exampl",
        "mx.mailhost.example.",
        "mx.mailhost.example\\",
        "mx-mailhost.example",
        "mx.mailhost.ex\u0430mple", // Cyrillic a
        "mx.ma\u0131lhost.example", // dotless i, which upper-cases to I
        "\"mx.mailhost.example \"",
    };
    for (const char* id : lookalikes) {
        SCOPED_TRACE(id);
        const QString field = QStringLiteral("Authentication-Results: ") + QString::fromUtf8(id) +
                              QStringLiteral("; dmarc=pass header.from=example.com");
        const QString header = Request("alice@example.com", {}) + field + QStringLiteral("\r\n");
        QString reason;
        EXPECT_FALSE(
            IsAuthenticatedSender(header, QStringLiteral("alice@example.com"), Trusted, reason));
        EXPECT_EQ(reason, NoResults);
    }
}

TEST(SenderAuthentication, HugeAndHostileHeadersEndWithAnAnswer) {
    // 200 000 forged fields below the server's Received line: every one is read, none counts,
    // and the trusted one counts only above that line.
    QString header = QString::fromUtf8(ReceivedLine) + QStringLiteral("\r\n");
    for (int i = 0; i < 200'000; ++i)
        header += QStringLiteral("Authentication-Results: mx.forger.test; dmarc=pass\r\n");
    header += QStringLiteral("From: alice@example.com\r\n");
    QString reason;
    EXPECT_FALSE(
        IsAuthenticatedSender(header, QStringLiteral("alice@example.com"), Trusted, reason));
    EXPECT_EQ(reason, NoResults);
    const QString trustedField = QStringLiteral(
        "Authentication-Results: mx.mailhost.example; dmarc=pass header.from=example.com\r\n");
    EXPECT_TRUE(IsAuthenticatedSender(trustedField + header, QStringLiteral("alice@example.com"),
                                      Trusted, reason));
    EXPECT_FALSE(IsAuthenticatedSender(header + trustedField, QStringLiteral("alice@example.com"),
                                       Trusted, reason));
    EXPECT_EQ(reason, Below);

    // A trusted field whose comment never ends, and one of a million results.
    const QString endless = QStringLiteral("Authentication-Results: mx.mailhost.example; "
                                           "dmarc=pass ") +
                            QString(1'000'000, u'(') + QStringLiteral("\r\n");
    EXPECT_FALSE(
        IsAuthenticatedSender(endless, QStringLiteral("alice@example.com"), Trusted, reason));
    EXPECT_EQ(reason, Damaged);
    QString many = QStringLiteral("Authentication-Results: mx.mailhost.example");
    for (int i = 0; i < 1'000'000; ++i)
        many += QStringLiteral("; dkim=fail");
    many += QStringLiteral("\r\n") + QString::fromUtf8(ReceivedLine) +
            QStringLiteral("\r\nFrom: alice@example.com\r\n");
    EXPECT_FALSE(IsAuthenticatedSender(many, QStringLiteral("alice@example.com"), Trusted, reason));
    EXPECT_EQ(reason, QStringLiteral("DMARCにもDKIMにも合格していません (dkim=fail)"));

    // A header without line ends and one of bare LFs: a single line each, no field read.
    EXPECT_FALSE(IsAuthenticatedSender(QString(3'000'000, u'A'),
                                       QStringLiteral("alice@example.com"), Trusted, reason));
    EXPECT_FALSE(IsAuthenticatedSender(
        QStringLiteral("X: a\nAuthentication-Results: mx.mailhost.example; dmarc=pass\n"),
        QStringLiteral("alice@example.com"), Trusted, reason));
    EXPECT_EQ(reason, NoResults);
}
