// The machine's serial ports from SetupAPI: every present device of the "Ports" class whose port
// name contains "COM" (printer ports share the class), with its friendly name and, for a USB
// adapter, the serial number that ends its instance ID.
#include <windows.h>
#include <setupapi.h>

#include "link/port_source.h"
#include "settings/wide_text_win32.h"

namespace {

std::wstring RegistryText(HKEY key, const wchar_t* name)
{
    wchar_t buffer[256] {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS
        || type != REG_SZ)
        return {};
    return buffer;
}

std::wstring DeviceText(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property)
{
    wchar_t buffer[512] {};
    if (!SetupDiGetDeviceRegistryPropertyW(
            devices, &device, property, nullptr, reinterpret_cast<BYTE*>(buffer), sizeof buffer - sizeof(wchar_t), nullptr))
        return {};
    return buffer;
}

std::string UsbSerialOf(HDEVINFO devices, SP_DEVINFO_DATA& device)
{
    wchar_t id[512] {};
    if (!SetupDiGetDeviceInstanceIdW(devices, &device, id, 511, nullptr))
        return {};
    const std::wstring instance = id;
    if (instance.rfind(L"USB\\", 0) != 0)
        return {};
    const size_t slash = instance.rfind(L'\\');
    const std::wstring serial = instance.substr(slash + 1);
    // Windows makes up an ID with '&' for adapters without a serial number.
    return serial.find(L'&') == std::wstring::npos ? Utf8Of(serial) : std::string();
}

class CSystemPortSource final : public IPortSource {
public:
    std::vector<PortInfo> ListPorts() override
    {
        std::vector<PortInfo> ports;
        GUID classes[4] {};
        DWORD count = 0;
        if (!SetupDiClassGuidsFromNameW(L"Ports", classes, 4, &count) || count == 0)
            return ports; // no enumerator: an empty table, as when no port is present
        const HDEVINFO devices = SetupDiGetClassDevsW(&classes[0], nullptr, nullptr, DIGCF_PRESENT);
        if (devices == INVALID_HANDLE_VALUE)
            return ports;
        SP_DEVINFO_DATA device {};
        device.cbSize = sizeof device;
        for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
            const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
            if (key == INVALID_HANDLE_VALUE)
                continue;
            const std::wstring name = RegistryText(key, L"PortName");
            RegCloseKey(key);
            if (name.find(L"COM") == std::wstring::npos)
                continue;
            PortInfo info;
            info.PortName = Utf8Of(name);
            info.FriendlyName = Utf8Of(DeviceText(devices, device, SPDRP_FRIENDLYNAME));
            if (info.FriendlyName.empty())
                info.FriendlyName = info.PortName;
            info.UsbSerial = UsbSerialOf(devices, device);
            ports.push_back(std::move(info));
        }
        SetupDiDestroyDeviceInfoList(devices);
        return ports;
    }
};

} // namespace

std::unique_ptr<IPortSource> MakeSystemPortSource() { return std::make_unique<CSystemPortSource>(); }

bool IsSerialDevice(const std::string& path)
{
    // A port that answers as a character device (a COM port, a virtual one included).
    const HANDLE port = CreateFileW((L"\\\\.\\" + WideOf(path)).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_ACCESS_DENIED; // open in another program: still a port
    const bool character = GetFileType(port) == FILE_TYPE_CHAR;
    CloseHandle(port);
    return character;
}
