#include "settings/ResponseSettingFiles.h"

#include "settings/ProgramObjects.h"
#include "settings/RecordFields.h"
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
    bool noSecret = false;
    QString faultKey;
    return ParamsToRecord(params, ResponseSettingFields(), ResponseSettingKeys(), retSetting,
                          noSecret, faultKey);
}

CParams ResponseSettingToParams(const CResAccount& setting) {
    return RecordToParams(setting, ResponseSettingFields(), ResponseSettingKeys());
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

bool SaveResponseSettingFiles(const QString& folder, const std::vector<CResAccount>& collection) {
    const QDir dir(folder);
    QStringList written;
    for (const CResAccount& setting : collection) {
        const QString name = ResponseSettingFileName(static_cast<int>(written.size()) + 1);
        const QString text = ParamsToText(QStringLiteral("Responce Account"),
                                          ResponseSettingToParams(setting), ResponseSettingKeys());
        if (!SaveTextFile(dir.filePath(name), text))
            return false;
        written << name;
    }
    QStringList paths;
    ListFiles(folder, CspPattern, paths);
    for (const QString& path : paths)
        if (!written.contains(QFileInfo(path).fileName()))
            QFile::remove(path);
    return true;
}
