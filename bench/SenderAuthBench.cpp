// The sender check on headers of growing size: a provider's real-looking header padded with
// forged Authentication-Results fields below the server's Received line, and one trusted field
// whose comments nest as deep as the size allows. Google Benchmark fits the time to the size,
// which shows the check linear.
#include "mailcheck/SenderAuthentication.h"

#include <benchmark/benchmark.h>

namespace {

const QString Trusted = QStringLiteral("mx.mailhost.example");
const QString From = QStringLiteral("alice@example.com");
const QString ReceivedLine = QStringLiteral(
    "Received: from mail.example.com ([192.0.2.41]) by mx.mailhost.example; Tue, 5 Mar 2024 "
    "10:02:03 +0900\r\n");

QString ForgedFields(qsizetype characters) {
    const QString forged = QStringLiteral(
        "Authentication-Results: mx.forger.test; dkim=pass (good; signature) header.d=example.com; "
        "spf=pass smtp.mailfrom=alice@example.com; dmarc=pass header.from=example.com\r\n");
    QString header =
        QStringLiteral("Authentication-Results: mx.mailhost.example; dkim=pass "
                       "header.i=@example.com; dmarc=pass header.from=example.com\r\n") +
        ReceivedLine;
    header.reserve(characters + forged.size());
    while (header.size() < characters)
        header += forged;
    return header + QStringLiteral("From: Alice <alice@example.com>\r\nSubject: CAM\r\n");
}

QString NestedComment(qsizetype characters) {
    return QStringLiteral("Authentication-Results: mx.mailhost.example; dmarc=pass ") +
           QString(characters / 2, u'(') + QString(characters / 2, u')') +
           QStringLiteral(" header.from=example.com\r\n") + ReceivedLine +
           QStringLiteral("From: alice@example.com\r\n");
}

void Run(benchmark::State& state, const QString& header, bool expected) {
    for (auto _ : state) {
        QString reason;
        const bool authenticated = IsAuthenticatedSender(header, From, Trusted, reason);
        if (authenticated != expected)
            state.SkipWithError("unexpected answer");
        benchmark::DoNotOptimize(reason);
    }
    state.SetBytesProcessed(state.iterations() * header.size() * 2);
    state.SetComplexityN(header.size());
}

void BM_ForgedFields(benchmark::State& state) {
    Run(state, ForgedFields(state.range(0)), true);
}

void BM_NestedComment(benchmark::State& state) {
    Run(state, NestedComment(state.range(0)), true);
}

} // namespace

BENCHMARK(BM_ForgedFields)->RangeMultiplier(16)->Range(4 << 10, 16 << 20)->Complexity();
BENCHMARK(BM_NestedComment)->RangeMultiplier(16)->Range(4 << 10, 16 << 20)->Complexity();
BENCHMARK_MAIN();
