#include "settings/OptionFile.h"

#include "settings/ProgramObjects.h"
#include "settings/SettingKeys.h"
#include "settings/WindowPlacement.h"
#include "settings/modFileAccess.h"

#include "platform/Screen.h"

#include <QDir>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace {

const QString FileName = QStringLiteral("main.opt");
constexpr int FallbackWidth = 160;
constexpr int FallbackHeight = 120;

// The number of key, or nothing when the key is absent or holds no number.
std::optional<int> NumberOf(const CParams& params, const QString& key) {
    const CParamItem* item = params.Item(key);
    int value = 0;
    if (!item || !ReadParamNumber(item->Text(), value))
        return std::nullopt;
    return value;
}

// n when it lies on the screen, otherwise the fallback; nothing when there is no number.
std::optional<int> OnScreenOr(std::optional<int> n, bool horizontal, int fallback) {
    if (!n)
        return std::nullopt;
    return IsOnScreen(*n, horizontal) ? *n : fallback;
}

// The reply limit of a value: a number clamped to 0 .. MaxRepliesPerSenderPerHourLimit, one
// too large for 32 bits included; nothing for a text that is no number.
std::optional<int> ReplyLimitOf(const CParamItem* item) {
    if (!item)
        return std::nullopt;
    int value = 0;
    if (ReadParamNumber(item->Text(), value))
        return std::clamp(value, 0, MaxRepliesPerSenderPerHourLimit);
    bool isNumber = false;
    const double large = item->Text().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(large))
        return std::nullopt;
    return large < 0 ? 0 : MaxRepliesPerSenderPerHourLimit;
}

// The number of item when range allows it; its default for an absent item, a text that is no
// number and a number out of range.
int NumberIn(const CParamItem* item, const OptionNumber& range) {
    int value = 0;
    if (item && ReadParamNumber(item->Text(), value) && range.Allows(value))
        return value;
    return range.Default;
}

// The keys of OptionalOptionKeys. Each is written only when it differs from its default, so an
// absent key gives the default; a sender option's value that is no number keeps the current
// one, a motion option's gives the default.
void LoadOptionalOptions(const CParams& params) {
    int keysRead = 0;
    auto item = [&](const char* key) {
        ++keysRead;
        return params.Item(QString::fromLatin1(key));
    };
    if (const CParamItem* require = item("RequireAuthenticatedSender")) {
        int value = 0;
        // Any number but 0 is on, so that a hand-edited value never turns the check off.
        if (ReadParamNumber(require->Text(), value))
            RequireAuthenticatedSender = value != 0;
    } else {
        RequireAuthenticatedSender = false;
    }
    const CParamItem* id = item("TrustedAuthServId");
    TrustedAuthServId = id ? id->Text() : QString();
    const CParamItem* limit = item("MaxRepliesPerSenderPerHour");
    MaxRepliesPerSenderPerHour =
        limit ? ReplyLimitOf(limit).value_or(MaxRepliesPerSenderPerHour) : 0;
    // An alert nobody asked for is worse than none: only a number but 0 turns it on.
    MotionAlert = NumberIn(item("MotionAlert"), {INT_MIN, INT_MAX, 0}) != 0;
    const CParamItem* setting = item("MotionAlertSetting");
    MotionAlertSetting = setting ? setting->Text() : QString();
    MotionSensitivity = NumberIn(item("MotionSensitivity"), MotionSensitivityRange);
    MotionAlertInterval = NumberIn(item("MotionAlertInterval"), MotionAlertIntervalRange);
    MotionIgnoreSeconds = NumberIn(item("MotionIgnoreSeconds"), MotionIgnoreSecondsRange);
    CheckKeyCount(keysRead, OptionalOptionKeys());
}

// Adds the keys of OptionalOptionKeys whose values differ from their defaults.
void AddOptionalOptions(CParams& params) {
    int keysConsidered = 0;
    auto addUnlessDefault = [&](const char* key, bool isDefault, const QString& value) {
        ++keysConsidered;
        if (!isDefault)
            params.Add(QString::fromLatin1(key), value);
    };
    addUnlessDefault("RequireAuthenticatedSender", !RequireAuthenticatedSender, ParamNumberText(1));
    addUnlessDefault("TrustedAuthServId", TrustedAuthServId.isEmpty(), TrustedAuthServId);
    addUnlessDefault("MaxRepliesPerSenderPerHour", MaxRepliesPerSenderPerHour == 0,
                     ParamNumberText(MaxRepliesPerSenderPerHour));
    addUnlessDefault("MotionAlert", !MotionAlert, ParamNumberText(1));
    addUnlessDefault("MotionAlertSetting", MotionAlertSetting.isEmpty(), MotionAlertSetting);
    const auto addNumber = [&](const char* key, int value, const OptionNumber& range) {
        addUnlessDefault(key, value == range.Default, ParamNumberText(value));
    };
    addNumber("MotionSensitivity", MotionSensitivity, MotionSensitivityRange);
    addNumber("MotionAlertInterval", MotionAlertInterval, MotionAlertIntervalRange);
    addNumber("MotionIgnoreSeconds", MotionIgnoreSeconds, MotionIgnoreSecondsRange);
    CheckKeyCount(keysConsidered, OptionalOptionKeys());
}

} // namespace

bool IsOnScreen(int pixels, bool horizontal) {
    const ScreenMetrics screen = GetScreenMetrics();
    return pixels >= 0 && pixels <= (horizontal ? screen.widthPixels : screen.heightPixels);
}

void LoadOptionFile(const QString& folder) {
    QString text;
    bool isDamaged = false; // a file too large to be one changes nothing, like a missing one
    if (!LoadSettingsFile(QDir(folder).filePath(FileName), text, isDamaged))
        return;
    const CParams params = TextToParams(text);
    int keysRead = 0;
    auto number = [&](const char* key) {
        ++keysRead;
        return NumberOf(params, QString::fromLatin1(key));
    };
    const std::optional<int> left = OnScreenOr(number("WindowLeft"), true, 0);
    const std::optional<int> top = OnScreenOr(number("WindowTop"), false, 0);
    const std::optional<int> width = OnScreenOr(number("WindowWidth"), true, FallbackWidth);
    const std::optional<int> height = OnScreenOr(number("WindowHeight"), false, FallbackHeight);
    const std::optional<int> state = number("WindowState");
    if (WindowPlacement* window = MainWindowPlacement()) {
        QRect bounds = window->NormalBounds();
        bounds.moveTo(left.value_or(bounds.x()), top.value_or(bounds.y()));
        bounds.setSize(QSize(width.value_or(bounds.width()), height.value_or(bounds.height())));
        window->SetNormalBounds(bounds);
        if (state)
            window->SetWindowState(*state);
    }
    MailCheckInterval = std::max(1, number("MailCheckInterval").value_or(MailCheckInterval));
    DeviceDriverIndex = std::max(0, number("DeviceDriverIndex").value_or(DeviceDriverIndex));
    ++keysRead;
    const CParamItem* subject = params.Item(QStringLiteral("AcceptedLeftSubject"));
    AcceptedLeftSubject = subject ? subject->Text() : QString();
    CheckKeyCount(keysRead, OptionKeys());
    LoadOptionalOptions(params);
}

bool SaveOptionFile(const QString& folder) {
    const WindowPlacement* window = MainWindowPlacement();
    const int state = window ? window->WindowState() : 0;
    const QRect bounds =
        window ? window->NormalBounds() : QRect(0, 0, FallbackWidth, FallbackHeight);
    CParams params;
    params.Add(QStringLiteral("WindowState"), ParamNumberText(state));
    params.Add(QStringLiteral("WindowLeft"), ParamNumberText(static_cast<float>(bounds.x())));
    params.Add(QStringLiteral("WindowTop"), ParamNumberText(static_cast<float>(bounds.y())));
    params.Add(QStringLiteral("WindowWidth"), ParamNumberText(static_cast<float>(bounds.width())));
    params.Add(QStringLiteral("WindowHeight"),
               ParamNumberText(static_cast<float>(bounds.height())));
    params.Add(QStringLiteral("MailCheckInterval"), ParamNumberText(MailCheckInterval));
    params.Add(QStringLiteral("DeviceDriverIndex"), ParamNumberText(DeviceDriverIndex));
    params.Add(QStringLiteral("AcceptedLeftSubject"), AcceptedLeftSubject);
    CheckKeyCount(params.Count(), OptionKeys());
    AddOptionalOptions(params);
    return SaveTextFile(
        QDir(folder).filePath(FileName),
        ParamsToText(QStringLiteral("Option"), params, OptionKeys() + OptionalOptionKeys()));
}
