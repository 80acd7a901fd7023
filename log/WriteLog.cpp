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

QString LogLineText(const QString& message) {
    QString text = message.left(MaxLogMessageLength);
    for (QChar& c : text)
        if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7f)
            c = u'?';
    if (message.size() > MaxLogMessageLength)
        text += QStringLiteral("…(全%1文字)").arg(message.size());
    return text;
}

void WriteLog(const QString& message) {
    const QString stamp = LocalNow().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    const QString text = LogLineText(message);
    QFile file(OptionsFolder() + QStringLiteral("/main.log"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(ToCodePage932(stamp + QLatin1Char('\t') + text + QStringLiteral("\r\n")));
    SetInformation(stamp + QStringLiteral("  ") + text);
}

void SetInformation(const QString& text) {
    if (Sink())
        Sink()(text);
}

InformationSink SetInformationSink(InformationSink sink) {
    return std::exchange(Sink(), std::move(sink));
}
