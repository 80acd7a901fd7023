#include "log/WriteLog.h"

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/ProgramFolder.h"

#include <QFile>
#include <cstdio>
#include <sys/stat.h>
#include <utility>

namespace {
InformationSink& Sink() {
    static InformationSink sink;
    return sink;
}

bool& Mirrored() {
    static bool mirrored = false;
    return mirrored;
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
    const QString line = stamp + QLatin1Char('\t') + text;
    QFile file(OptionsFolder() + QStringLiteral("/main.log"));
    // A log an older version left readable to everyone is tightened at its next line.
    if (file.open(QIODevice::WriteOnly | QIODevice::Append) &&
        ::fchmod(file.handle(), S_IRUSR | S_IWUSR) == 0)
        file.write(ToCodePage932(line + QStringLiteral("\r\n")));
    if (Mirrored()) {
        // One write, so that lines of other writers never land inside it.
        const QByteArray bytes = (line + u'\n').toUtf8();
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    }
    SetInformation(stamp + QStringLiteral("  ") + text);
}

void MirrorLogToStandardError() {
    Mirrored() = true;
}

void SetInformation(const QString& text) {
    if (Sink())
        Sink()(text);
}

InformationSink SetInformationSink(InformationSink sink) {
    return std::exchange(Sink(), std::move(sink));
}
