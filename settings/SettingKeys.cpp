#include "settings/SettingKeys.h"

#include "settings/RecordFields.h"

#include "platform/MsgBox.h"

#include <cstdlib>

void InitSettingKeys() {
    OptionKeys();
    OptionalOptionKeys();
    MailAccountKeys();
    OptionalMailAccountKeys();
    ResponseSettingKeys();
}

const QStringList& OptionKeys() {
    static const QStringList keys{"WindowLeft",        "WindowTop",          "WindowWidth",
                                  "WindowHeight",      "WindowState",        "MailCheckInterval",
                                  "DeviceDriverIndex", "AcceptedLeftSubject"};
    return keys;
}

const QStringList& OptionalOptionKeys() {
    static const QStringList keys{"RequireAuthenticatedSender", "TrustedAuthServId",
                                  "MaxRepliesPerSenderPerHour", "MotionAlert",
                                  "MotionAlertSetting",         "MotionSensitivity",
                                  "MotionAlertInterval",        "MotionIgnoreSeconds"};
    return keys;
}

std::span<const RecordField<CMailAccount>> MailAccountFields() {
    using A = CMailAccount;
    static const RecordField<A> fields[] = {
        {"Name", &A::Name},
        {"MailAddr", &A::MailAddr},
        {"UserName", &A::UserName},
        {"Password", RecordField<A>::Secret{&A::Password}},
        {"POPHost", &A::POPHost},
        {"POPPort", &A::POPPort},
        {"SMTPHost", &A::SMTPHost},
        {"SMTPPort", &A::SMTPPort},
        {"APOP", &A::APOP},
        {"POPSecurity", &A::POPSecurity, true},
        {"SMTPSecurity", &A::SMTPSecurity, true},
        {"SMTPAuth", &A::SMTPAuth, true},
        {"SMTPUserName", &A::SMTPUserName, true},
        {"SMTPPassword", RecordField<A>::Secret{&A::SMTPPassword}, true},
        {"SMTPAuthWithoutTLS", &A::SMTPAuthWithoutTLS, true},
        {"POPCertificate", &A::POPCertificate, true},
        {"SMTPCertificate", &A::SMTPCertificate, true},
        {"MailProtocol", &A::MailProtocol, true},
        {"IMAPFolder", &A::IMAPFolder, true},
    };
    return fields;
}

std::span<const RecordField<CResAccount>> ResponseSettingFields() {
    using R = CResAccount;
    static const RecordField<R> fields[] = {
        {"Name", &R::Name},
        {"DoReduction", &R::DoReduction},
        {"ReductionWidth", &R::ReductionWidth},
        {"ReductionType", &R::ReductionType},
        {"RotationType", &R::RotationType},
        {"ColorBit", &R::ColorBit},
        {"FormatType", &R::FormatType},
        {"JPEGProgressive", &R::JPEGProgressive},
        {"JPEGCompression", &R::JPEGCompression},
        {"AcceptedMailAddrs", &R::vAcceptedMailAddrs},
        {"SendMail_Subject", &R::SendMail_Subject},
        {"SendMail_Body", &R::SendMail_Body},
    };
    return fields;
}

const QStringList& MailAccountKeys() {
    static const QStringList keys = KeysOf(MailAccountFields());
    return keys;
}

const QStringList& OptionalMailAccountKeys() {
    static const QStringList keys = KeysOf(MailAccountFields(), true);
    return keys;
}

const QStringList& ResponseSettingKeys() {
    static const QStringList keys = KeysOf(ResponseSettingFields());
    return keys;
}

void CheckKeyCount(int count, const QStringList& keyTable) {
    if (count == keyTable.size())
        return;
    MsgBox(MsgIcon::Critical, AppTitle(), QStringLiteral("failed to count"));
    // Nothing is open or buffered (every file is written whole), so ending here loses nothing
    // that an orderly exit would keep, and it keeps the shutdown's saving from running.
    std::_Exit(EXIT_FAILURE);
}
