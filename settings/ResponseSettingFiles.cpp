#include "settings/ResponseSettingFiles.h"

#include "settings/ParamReader.h"
#include "settings/ProgramObjects.h"
#include "settings/ResponseSettingCollection.h"
#include "settings/SettingKeys.h"
#include "settings/modFileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString CspPattern = QStringLiteral("*.csp");

// "001.csp" for position 1, "1000.csp" for position 1000.
QString ResponseSettingFileName(int position) {
    return QStringLiteral("%1.csp").arg(position, 3, 10, QLatin1Char('0'));
}

} // namespace

bool ParamsToResponseSetting(const CParams& params, CResAccount& retSetting) {
    CResAccount setting;
    ParamReader reader(params);
    reader.Text(QStringLiteral("Name"), setting.Name);
    reader.Number(QStringLiteral("DoReduction"), setting.DoReduction);
    reader.Number(QStringLiteral("ReductionWidth"), setting.ReductionWidth);
    reader.Number(QStringLiteral("ReductionType"), setting.ReductionType);
    reader.Number(QStringLiteral("RotationType"), setting.RotationType);
    reader.Number(QStringLiteral("ColorBit"), setting.ColorBit);
    reader.Number(QStringLiteral("FormatType"), setting.FormatType);
    reader.Number(QStringLiteral("JPEGProgressive"), setting.JPEGProgressive);
    reader.Number(QStringLiteral("JPEGCompression"), setting.JPEGCompression);
    reader.Value(QStringLiteral("AcceptedMailAddrs"), setting.vAcceptedMailAddrs);
    reader.Text(QStringLiteral("SendMail_Subject"), setting.SendMail_Subject);
    reader.Text(QStringLiteral("SendMail_Body"), setting.SendMail_Body);
    CheckKeyCount(reader.KeysAsked(), ResponseSettingKeys());
    retSetting = setting;
    return reader.Complete();
}

CParams ResponseSettingToParams(const CResAccount& setting) {
    CParams params;
    params.Add(QStringLiteral("Name"), setting.Name);
    params.Add(QStringLiteral("DoReduction"), ParamNumberText(setting.DoReduction));
    params.Add(QStringLiteral("ReductionWidth"), ParamNumberText(setting.ReductionWidth));
    params.Add(QStringLiteral("ReductionType"), ParamNumberText(setting.ReductionType));
    params.Add(QStringLiteral("RotationType"), ParamNumberText(setting.RotationType));
    params.Add(QStringLiteral("ColorBit"), ParamNumberText(setting.ColorBit));
    params.Add(QStringLiteral("FormatType"), ParamNumberText(setting.FormatType));
    params.Add(QStringLiteral("JPEGProgressive"), ParamNumberText(setting.JPEGProgressive));
    params.Add(QStringLiteral("JPEGCompression"), ParamNumberText(setting.JPEGCompression));
    std::visit([&](const auto& value) { params.Add(QStringLiteral("AcceptedMailAddrs"), value); },
               setting.vAcceptedMailAddrs);
    params.Add(QStringLiteral("SendMail_Subject"), setting.SendMail_Subject);
    params.Add(QStringLiteral("SendMail_Body"), setting.SendMail_Body);
    CheckKeyCount(params.Count(), ResponseSettingKeys());
    return params;
}

void LoadResponseSettingFiles(const QString& folder, int& retCount, bool& retIsError) {
    retCount = 0;
    retIsError = false;
    ResponseSettings.clear();
    QStringList paths;
    if (!ListFiles(folder, CspPattern, paths))
        return;
    for (const QString& path : paths) {
        QString text;
        bool isDamaged = false;
        if (!LoadSettingsFile(path, text, isDamaged)) {
            retIsError = retIsError || isDamaged;
            continue;
        }
        CResAccount setting;
        if (ParamsToResponseSetting(TextToParams(text), setting) && !setting.Name.isEmpty()) {
            AddResponseSetting(setting);
            ++retCount;
        } else {
            retIsError = true;
        }
    }
}

void SaveResponseSettingFiles(const QString& folder, const std::vector<CResAccount>& collection) {
    const QDir dir(folder);
    QStringList written;
    for (const CResAccount& setting : collection) {
        const QString name = ResponseSettingFileName(static_cast<int>(written.size()) + 1);
        const QString text = ParamsToText(QStringLiteral("Responce Account"),
                                          ResponseSettingToParams(setting), ResponseSettingKeys());
        if (!SaveTextFile(dir.filePath(name), text))
            return;
        written << name;
    }
    QStringList paths;
    ListFiles(folder, CspPattern, paths);
    for (const QString& path : paths)
        if (!written.contains(QFileInfo(path).fileName()))
            QFile::remove(path);
}
