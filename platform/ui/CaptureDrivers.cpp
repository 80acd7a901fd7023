#include "platform/ui/CaptureDrivers.h"

#include "platform/ui/V4l2Devices.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

struct DriverTable {
    std::vector<std::shared_ptr<CaptureDriver>> fixed;
    std::shared_ptr<CaptureDriver> test;
    std::optional<std::vector<std::shared_ptr<CaptureDriver>>> listed;
};

DriverTable& Table() {
    static DriverTable table;
    return table;
}

// Copies text with its terminating NUL into a buffer of size bytes, cut to fit.
void CopyTerminated(const QByteArray& text, char* buffer, int size) {
    const int length = std::min(static_cast<int>(text.size()), size - 1);
    std::memcpy(buffer, text.constData(), static_cast<size_t>(length));
    buffer[length] = '\0';
}

} // namespace

void ScanCaptureDrivers() {
    DriverTable& table = Table();
    table.listed = V4l2CaptureDrivers();
    if (table.test)
        table.listed->push_back(table.test);
}

std::shared_ptr<CaptureDriver> CaptureDriverAt(int index) {
    if (index < 0 || index >= MaxCaptureDrivers)
        return nullptr;
    DriverTable& table = Table();
    if (!table.fixed.empty())
        return index < static_cast<int>(table.fixed.size()) ? table.fixed[index] : nullptr;
    if (!table.listed)
        ScanCaptureDrivers();
    return index < static_cast<int>(table.listed->size()) ? (*table.listed)[index] : nullptr;
}

bool capGetDriverDescriptionA(UINT wDriverIndex, char* lpszName, int cbName, char* lpszVer,
                              int cbVer) {
    if (!lpszName || !lpszVer || cbName < 1 || cbVer < 1 || wDriverIndex >= MaxCaptureDrivers)
        return false;
    const std::shared_ptr<CaptureDriver> driver = CaptureDriverAt(static_cast<int>(wDriverIndex));
    if (!driver)
        return false;
    CopyTerminated(driver->Description(), lpszName, cbName);
    CopyTerminated(driver->Version(), lpszVer, cbVer);
    return true;
}

void EnableTestCaptureDriver(std::shared_ptr<CaptureDriver> driver) {
    Table().test = std::move(driver);
    Table().listed.reset();
}

void SetCaptureDriversForTest(std::vector<std::shared_ptr<CaptureDriver>> drivers) {
    Table().fixed = std::move(drivers);
    Table().listed.reset();
}
