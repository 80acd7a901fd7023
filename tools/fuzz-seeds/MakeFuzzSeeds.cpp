// vistrel_fuzz_seeds OUT: writes the raw seed inputs of every fuzz target into OUT/<target>/.
// Images come from the image library's own writers (and, for the kinds they do not write, from
// libpng or a byte-exact rearrangement of a written GIF); protocol replies are what a private
// Dovecot and aiosmtpd answered on 127.0.0.1 to the commands the clients send; headers come from
// the tests' request corpus; settings texts from the settings code. tools/make-fuzz-seeds then
// keeps only the inputs that add coverage.
#include "pelimage.h"
#include "platform/CodePage.h"
#include "settings/AllSettings.h"
#include "settings/PasswordCipher.h"
#include "settings/ProgramObjects.h"
#include "tests/support/BitmapSamples.h"
#include "tests/support/DovecotServer.h"
#include "tests/support/HostileRequests.h"
#include "tests/support/ScratchProgramFolder.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestMailAccount.h"
#include "textenc/MailJis.h"
#include "textenc/modConvXJIS.h"

#include <QCoreApplication>
#include <QDir>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <cstdio>
#include <png.h>

namespace {

// Seeds larger than this only slow the fuzzers down; the parsers' size limits are reached
// by mutation anyway.
constexpr qsizetype MaxSeedBytes = 16 * 1024;

QString out;
QTemporaryDir scratch;
int written = 0;

void Seed(const char* target, const QString& name, const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > MaxSeedBytes)
        return;
    QDir().mkpath(out + u'/' + QLatin1String(target));
    WriteWholeFile(out + u'/' + QLatin1String(target) + u'/' + name, bytes);
    ++written;
}

QString Scratch(const QString& name) {
    return scratch.filePath(name);
}

QByteArray Converted(int (*writer)(const char*, const char*), const QString& source,
                     const QString& name) {
    const QString dest = Scratch(name);
    if (writer(source.toUtf8().constData(), dest.toUtf8().constData()) != 1)
        return {};
    return ReadWholeFile(dest);
}

// A 24-bit sample turned into a 32-bit or a top-down file by rewriting its header and rows.
QByteArray Bitmap32(int width, int height) {
    const QByteArray sample = MakeBitmap(width, height);
    const int stride = (width * 3 + 3) & ~3;
    QByteArray file = sample.left(54);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            file += sample.mid(54 + y * stride + x * 3, 3) + char(0xff);
    auto put = [&](int at, quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file[at + i] = char(value >> (8 * i));
    };
    put(2, quint32(file.size()), 4);
    put(28, 32, 2);
    put(34, quint32(file.size() - 54), 4);
    return file;
}

QByteArray TopDown(const QByteArray& bitmap, int height) {
    QByteArray file = bitmap;
    const qint32 negative = -height;
    for (int i = 0; i < 4; ++i)
        file[22 + i] = char(quint32(negative) >> (8 * i));
    return file;
}

// A PNG of the given colour type and bit depth written by libpng itself: the library's own
// writer makes only 8-bit palette and true-colour files, not interlaced ones.
QByteArray LibpngFile(int colourType, int depth, bool interlaced) {
    const QString path = Scratch(QStringLiteral("libpng.png"));
    FILE* file = std::fopen(path.toUtf8().constData(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return {};
    }
    constexpr int Size = 9; // odd, so that every interlace pass has a partial row
    png_init_io(png, file);
    png_set_IHDR(png, info, Size, Size, depth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        png_set_PLTE(png, info, palette, 4);
        png_byte alpha[2] = {0, 128};
        png_set_tRNS(png, info, alpha, 2, nullptr);
    }
    png_write_info(png, info);
    const int channels = png_get_channels(png, info);
    const size_t rowBytes = (size_t(Size) * channels * depth + 7) / 8;
    std::vector<png_byte> row(rowBytes);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < Size; ++y) {
            for (size_t i = 0; i < rowBytes; ++i)
                row[i] = png_byte((i * 37 + y * 11) & (depth < 8 ? 0x55 : 0xff));
            png_write_row(png, row.data());
        }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return ReadWholeFile(path);
}

// Where the image descriptor of a GIF written by the library starts: after the header, the
// global colour table and any extensions. -1 when there is none.
qsizetype ImageDescriptorAt(const QByteArray& gif) {
    if (gif.size() < 13)
        return -1;
    const auto flags = quint8(gif[10]);
    qsizetype at = 13 + ((flags & 0x80) ? 3 << ((flags & 7) + 1) : 0);
    while (at < gif.size() && gif[at] == '!') {
        at += 2;
        while (at < gif.size() && gif[at] != 0)
            at += quint8(gif[at]) + 1;
        ++at;
    }
    return at + 10 <= gif.size() && gif[at] == ',' ? at : -1;
}

// The same GIF with its global colour table moved into the image as a local one.
QByteArray WithLocalPalette(const QByteArray& gif) {
    const qsizetype at = ImageDescriptorAt(gif);
    const auto flags = quint8(gif[10]);
    if (at < 0 || !(flags & 0x80))
        return {};
    const int tableBytes = 3 << ((flags & 7) + 1);
    QByteArray file = gif.left(13) + gif.mid(13 + tableBytes, at - 13 - tableBytes);
    file[10] = char(flags & 0x70);
    QByteArray descriptor = gif.mid(at, 10);
    descriptor[9] = char(0x80 | (flags & 7));
    return file + descriptor + gif.mid(13, tableBytes) + gif.mid(at + 10);
}

// The same GIF as version 89a with a transparent colour, a comment and interlaced rows.
QByteArray WithExtensions(const QByteArray& gif) {
    const qsizetype at = ImageDescriptorAt(gif);
    if (at < 0)
        return {};
    QByteArray file = gif;
    file.replace(0, 6, "GIF89a");
    file[at + 9] = char(quint8(file[at + 9]) | 0x40);
    return file.insert(at, QByteArray("!\xf9\x04\x01\x00\x00\x03\x00!\xfe\x04seed\x00", 16));
}

void ImageSeeds() {
    const QString bmp24 = Scratch(QStringLiteral("s24.bmp"));
    WriteWholeFile(bmp24, MakeBitmap(17, 13));
    const QByteArray palette = Converted(bmp2color256, bmp24, QStringLiteral("s8.bmp"));
    const QString bmp8 = Scratch(QStringLiteral("s8.bmp"));

    for (auto [quality, progressive] : {std::pair{75, 0}, {20, 0}, {95, 1}, {50, 1}}) {
        const QString dest = Scratch(QStringLiteral("seed.jpg"));
        if (bmp2jpeg(bmp24.toUtf8().constData(), dest.toUtf8().constData(), quality, progressive) ==
            1)
            Seed("fuzz_jpeg2bmp",
                 QStringLiteral("%1-q%2.jpg")
                     .arg(progressive ? "progressive" : "baseline")
                     .arg(quality),
                 ReadWholeFile(dest));
    }
    Seed("fuzz_png2bmp", QStringLiteral("truecolour.png"),
         Converted(bmp2png, bmp24, QStringLiteral("t.png")));
    Seed("fuzz_png2bmp", QStringLiteral("palette.png"),
         Converted(bmp2png, bmp8, QStringLiteral("p.png")));
    const struct {
        int type, depth;
        const char* name;
    } kinds[] = {
        {PNG_COLOR_TYPE_GRAY, 1, "grey1"},           {PNG_COLOR_TYPE_GRAY, 16, "grey16"},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 8, "greyalpha"}, {PNG_COLOR_TYPE_RGB, 16, "rgb16"},
        {PNG_COLOR_TYPE_RGB_ALPHA, 8, "rgba"},       {PNG_COLOR_TYPE_PALETTE, 2, "palette2"}};
    for (const auto& kind : kinds)
        for (bool interlaced : {false, true})
            Seed("fuzz_png2bmp",
                 QStringLiteral("%1%2.png").arg(kind.name, interlaced ? "-interlaced" : ""),
                 LibpngFile(kind.type, kind.depth, interlaced));
    const QByteArray gif = Converted(bmp2gif, bmp24, QStringLiteral("t.gif"));
    Seed("fuzz_gif2bmp", QStringLiteral("global-palette.gif"), gif);
    Seed("fuzz_gif2bmp", QStringLiteral("extensions.gif"), WithExtensions(gif));
    Seed("fuzz_gif2bmp", QStringLiteral("local-palette.gif"), WithLocalPalette(gif));

    // The first two bytes choose the reduction and the rotation.
    const QByteArray choices("\x05\xc2", 2);
    Seed("fuzz_bmp_primitives", QStringLiteral("bottom-up-24.bmp"), choices + MakeBitmap(17, 13));
    Seed("fuzz_bmp_primitives", QStringLiteral("top-down-24.bmp"),
         choices + TopDown(MakeBitmap(17, 13), 13));
    Seed("fuzz_bmp_primitives", QStringLiteral("bottom-up-32.bmp"), choices + Bitmap32(9, 7));
    Seed("fuzz_bmp_primitives", QStringLiteral("palette-8.bmp"), choices + palette);
    Seed("fuzz_b64decode", QStringLiteral("gif.b64"), gif.toBase64());
    Seed("fuzz_b64decode", QStringLiteral("lines.b64"),
         QByteArray(palette.toBase64()).insert(76, "\r\n").insert(154, "\r\n"));
}

// Sends each command on a fresh session at port and keeps every reply the server gave, each
// as read: the seeds of a reply parser.
std::vector<QByteArray> Replies(int port, const std::vector<QByteArray>& commands) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(port));
    std::vector<QByteArray> replies;
    auto read = [&] {
        QByteArray reply;
        // A reply is what comes before the line goes quiet.
        while (socket.waitForReadyRead(reply.isEmpty() ? 3000 : 300))
            reply += socket.readAll();
        replies.push_back(reply);
    };
    if (!socket.waitForConnected(3000))
        return replies;
    read();
    for (const QByteArray& command : commands) {
        socket.write(command);
        socket.flush();
        read();
    }
    return replies;
}

void ReplySeeds(const char* target, const char* protocol, const std::vector<QByteArray>& replies) {
    int number = 0;
    for (const QByteArray& reply : replies)
        Seed(target,
             QStringLiteral("%1-%2").arg(QLatin1String(protocol)).arg(++number, 2, 10, QChar(u'0')),
             reply);
}

bool ServerSeeds() {
    DovecotServer dovecot;
    dovecot.OfferImap();
    QString problem;
    if (!dovecot.Start({{QStringLiteral("cam"), QStringLiteral("secret")}}, problem)) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return false;
    }
    dovecot.Deliver(QStringLiteral("cam"), GoodRequest("CAM 640"));
    dovecot.Deliver(QStringLiteral("cam"),
                    GoodRequest("=?ISO-2022-JP?B?GyRCJDMkcyRLJEEkTxsoQg==?="));
    ReplySeeds("fuzz_pop3_reply", "pop3",
               Replies(dovecot.Port(), {"CAPA\r\n", "USER cam\r\n", "PASS secret\r\n", "STAT\r\n",
                                        "LIST\r\n", "UIDL\r\n", "UIDL 1\r\n", "TOP 1 0\r\n",
                                        "RETR 2\r\n", "DELE 1\r\n", "NOOP x\r\n", "QUIT\r\n"}));
    ReplySeeds("fuzz_imap_response", "imap",
               Replies(dovecot.ImapPort(),
                       {"a1 CAPABILITY\r\n", "a2 LOGIN {3+}\r\ncam \"secret\"\r\n",
                        "a3 SELECT INBOX\r\n", "a4 UID SEARCH UNANSWERED UNDELETED\r\n",
                        "a5 UID FETCH 1:* (FLAGS BODY.PEEK[HEADER.FIELDS (FROM SUBJECT)])\r\n",
                        "a6 UID STORE 1 +FLAGS.SILENT (\\Answered $VistrelSkipped)\r\n",
                        "a7 UID FETCH 2 (UID RFC822.SIZE BODY.PEEK[HEADER])\r\n", "a8 IDLE\r\n",
                        "DONE\r\n", "a9 UID EXPUNGE 9\r\n", "a10 BAD\r\n", "a11 LOGOUT\r\n"}));

    SmtpServer smtp;
    SmtpServer::Offer offer;
    offer.Users = {QStringLiteral("cam:secret")};
    offer.AuthWithoutTls = true;
    offer.RefusedRecipients = {QStringLiteral("nobody@example.net")};
    if (!smtp.StartOffering(problem, offer)) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return false;
    }
    ReplySeeds(
        "fuzz_smtp_reply", "smtp",
        Replies(smtp.Port(), {"EHLO camera.example.com\r\n", "AUTH PLAIN AGNhbQBzZWNyZXQ=\r\n",
                              "MAIL FROM:<cam@example.com>\r\n", "RCPT TO:<nobody@example.net>\r\n",
                              "RCPT TO:<bob@example.net>\r\n", "DATA\r\n",
                              "Subject: x\r\n\r\n..dot\r\n.\r\n", "VRFY\r\n", "QUIT\r\n"}));
    return true;
}

QByteArray HeaderOf(const QByteArray& message) {
    const qsizetype end = message.indexOf("\r\n\r\n");
    return end < 0 ? message : message.left(end + 2);
}

void TextSeeds() {
    int number = 0;
    for (const HostileRequest& request : HostileRequests())
        Seed("fuzz_request_header", QStringLiteral("hostile-%1").arg(++number),
             HeaderOf(request.Message));
    for (const QByteArray& subject :
         {QByteArray("CAM"), QByteArray("Re: CAM 320x240"),
          QByteArray("=?ISO-2022-JP?B?GyRCJDMkcyRLJEEkTxsoQg==?="),
          QByteArray("=?UTF-8?Q?CAM_=E5=86=99=E7=9C=9F?=\r\n =?UTF-8?B?44GC?=")})
        Seed("fuzz_request_header", QStringLiteral("good-%1").arg(++number),
             HeaderOf(GoodRequest(subject)));

    // Method results as RFC 8601 and RFC 7489 write them.
    const QByteArray results[] = {
        "Authentication-Results: mx.example.jp; spf=pass smtp.mailfrom=bob@example.net; "
        "dkim=pass header.d=example.net header.s=sel; dmarc=pass header.from=example.net",
        "Authentication-Results: mx.example.jp (comment); auth=pass smtp.auth=bob",
        "Authentication-Results: mx.example.jp 1; none",
        "Authentication-Results: mx.example.jp;\r\n\tdkim=fail reason=\"bad \\\"sig\\\"\" "
        "header.i=@example.net;\r\n\tspf=softfail; iprev=pass policy.iprev=192.0.2.1"};
    for (const QByteArray& field : results)
        Seed("fuzz_auth_results", QStringLiteral("field-%1").arg(++number), field);

    const QString texts[] = {QStringLiteral("カメラの画像です。"),
                             QStringLiteral("Re: CAM 画像 ①ｶﾒﾗ"),
                             QStringLiteral("長い本文の行は折り返されます。").repeated(6)};
    for (const QString& text : texts) {
        Seed("fuzz_reply_text", QStringLiteral("cp932-%1").arg(++number), ToCodePage932(text));
        Seed("fuzz_reply_text", QStringLiteral("utf8-%1").arg(number), text.toUtf8());
        const QByteArray jis = TextToJis(text);
        Seed("fuzz_textenc", QStringLiteral("jis-%1").arg(number), jis);
        Seed("fuzz_textenc", QStringLiteral("sjis-%1").arg(number), JisToSjis(jis));
        Seed("fuzz_textenc", QStringLiteral("word-%1").arg(number),
             "=?ISO-2022-JP?B?" + jis.toBase64() + "?=");
        Seed("fuzz_decrypt_password", QStringLiteral("password-%1").arg(number),
             EncryptPassword(text).toLatin1());
    }
    Seed("fuzz_decrypt_password", QStringLiteral("ascii"),
         EncryptPassword(QStringLiteral("secret")).toLatin1());
}

void SettingsSeeds() {
    ScratchProgramFolder folder;
    UseTestMailAccount(110, 25, {QStringLiteral("bob@example.net")});
    // Japanese texts and optional keys, so that the files hold what a user's may hold.
    CurrentMailAccount.Name = QStringLiteral("カメラ");
    CurrentMailAccount.MailProtocol = 1;
    ResponseSettings[0].SendMail_Subject = QStringLiteral("カメラの画像");
    ResponseSettings[0].SendMail_Body = QStringLiteral("一行目\n二行目");
    ReceivedUidlList = QStringList{QStringLiteral("1.abc"), QStringLiteral("2.def")};
    MotionAlert = true;
    MotionAlertSetting = ResponseSettings[0].Name;
    if (!SaveAllSettings())
        return;
    const QDir options(folder.Path() + QStringLiteral("/options"));
    for (const QString& name : options.entryList(QDir::Files))
        Seed("fuzz_settings_text", name, ReadWholeFile(options.filePath(name)));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vistrel_fuzz_seeds OUT\n");
        return 2;
    }
    out = QString::fromLocal8Bit(argv[1]);
    ImageSeeds();
    TextSeeds();
    SettingsSeeds();
    if (!ServerSeeds())
        return 1;
    std::printf("%d seeds in %s\n", written, qPrintable(out));
    return 0;
}
