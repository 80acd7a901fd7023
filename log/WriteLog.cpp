#include "log/WriteLog.h"

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/ProgramFolder.h"

#include <QFile>
#include <utility>

namespace {
InformationSink& Sink() {
    static InformationSink sink;
    return sink;
}
} // namespace

void WriteLog(const QString& message) {
    const QString stamp = LocalNow().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    QFile file(OptionsFolder() + QStringLiteral("/main.log"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(ToCodePage932(stamp + QLatin1Char('\t') + message + QStringLiteral("\r\n")));
    SetInformation(stamp + QStringLiteral("  ") + message);
}

void SetInformation(const QString& text) {
    if (Sink())
        Sink()(text);
}

InformationSink SetInformationSink(InformationSink sink) {
    return std::exchange(Sink(), std::move(sink));
}
